#include "provisioning/InstallerPackage.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ScratchFolder;

// A whole compound file that is no installer database: its root entry no longer names the class
// of one. Only Windows Installer's own verification tells.
TEST(InstallerPackage, AWholeCompoundFileThatIsNoDatabaseIsNoPackage) {
  std::string package = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  ScratchFolder folder;
  const std::string file = folder / "SpMikeCtrl.msi";
  const auto directory = static_cast<unsigned char>(package[0x30]) | static_cast<unsigned char>(package[0x31]) << 8;
  const size_t rootClass = (static_cast<size_t>(directory) + 1) * 512 + 0x50;
  package.replace(rootClass, 16, std::string(16, '\0'));
  ScratchFolder::Write(file, package);
  EXPECT_FALSE(IsWholeInstallerPackage(file));
}

}  // namespace
}  // namespace orvane
