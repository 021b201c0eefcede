#include <cstdlib>
#include <fstream>

#include <gtest/gtest.h>

#include "provisioning/InstallationPilotesSM.h"
#include "tests/support/FakeCommandLine.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

// On Linux the site's setting is read from the registry store, as a site would export it.
TEST(DriverPackageUrlStore, TheSiteSettingIsReadFromTheRegistryStore) {
  testing::ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  std::ofstream(store) << "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane]\r\n"
                          "\"DriverPackageUrl\"=\"https://deploy.site.example/SpMikeCtrl.msi\"\r\n";
  const char* previous = std::getenv("ORVANE_REGISTRY");
  const std::string kept = previous ? previous : "";
  ::setenv("ORVANE_REGISTRY", store.c_str(), 1);
  testing::ScopedFakeCommandLine commandLine(std::vector<std::string>{});
  const std::string url = DriverPackageUrl();
  if (previous) ::setenv("ORVANE_REGISTRY", kept.c_str(), 1);
  else ::unsetenv("ORVANE_REGISTRY");
  EXPECT_EQ(url, "https://deploy.site.example/SpMikeCtrl.msi");
}

}  // namespace
}  // namespace orvane
