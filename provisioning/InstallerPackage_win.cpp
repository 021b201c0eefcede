#include <windows.h>
#include <msi.h>

#include "platform/TextConversion.h"
#include "provisioning/InstallerPackage.h"

namespace orvane {

bool InstallerVerifiesPackage(const std::string& file) {
  return MsiVerifyPackageW(Utf8ToWide(file).c_str()) == ERROR_SUCCESS;
}

}  // namespace orvane
