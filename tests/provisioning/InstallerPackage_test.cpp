#include "provisioning/InstallerPackage.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ScratchFolder;

TEST(InstallerPackage, OnlyTheWholePackageIsOneWhereverItIsCut) {
  const std::string package = ScratchFolder::Read(ORVANE_TEST_PACKAGE);
  ScratchFolder folder;
  const std::string file = folder / "SpMikeCtrl.msi";
  ScratchFolder::Write(file, package);
  EXPECT_TRUE(IsWholeInstallerPackage(file));
  // At every sector's end, where the size alone looks like a package's, and within sectors.
  for (size_t size = 0; size < package.size(); size += 512) {
    for (size_t cut : {size, size + 1, size + 511}) {
      ScratchFolder::Write(file, package.substr(0, cut));
      EXPECT_FALSE(IsWholeInstallerPackage(file)) << cut;
    }
  }
  for (const std::string& other : {std::string("<html><body>Maintenance</body></html>"),
                                   std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(300000, 'A')}) {
    ScratchFolder::Write(file, other);
    EXPECT_FALSE(IsWholeInstallerPackage(file)) << other.size();
  }
  EXPECT_FALSE(IsWholeInstallerPackage(folder / "absent.msi"));
}

}  // namespace
}  // namespace orvane
