#include "provisioning/InstallerPackage.h"

namespace orvane {

// Linux has no Windows Installer: the compound file's structure is all there is to check.
bool InstallerVerifiesPackage(const std::string&) { return true; }

}  // namespace orvane
