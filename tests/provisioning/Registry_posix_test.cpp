#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "provisioning/Registry.h"
#include "provisioning/RegistryFile.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ScratchFolder;

// Points the store at a file of the test's own.
class ScopedRegistryStore {
 public:
  explicit ScopedRegistryStore(const std::string& file) {
    if (const char* old = std::getenv("ORVANE_REGISTRY")) previous_ = old, hadPrevious_ = true;
    ::setenv("ORVANE_REGISTRY", file.c_str(), 1);
  }
  ~ScopedRegistryStore() {
    if (hadPrevious_) {
      ::setenv("ORVANE_REGISTRY", previous_.c_str(), 1);
    } else {
      ::unsetenv("ORVANE_REGISTRY");
    }
  }

 private:
  std::string previous_;
  bool hadPrevious_ = false;
};

TEST(RegistryStore, KeepsWhatIsWrittenInTheExportFormatWithoutLeftovers) {
  ScratchFolder folder;
  const std::string store = folder / "sub/registry.reg";
  ScopedRegistryStore scoped(store);
  {
    TRegistry registry;
    ASSERT_TRUE(registry.OpenKey("\\Control Panel\\Philips Speech\\3000\\Default", true));
    registry.WriteInteger("SequenceEnabled", 0);
    registry.WriteString("KALDInstallation", "09/12/2026 10:15:00");
  }
  const TRegistryFile file = TRegistryFile::Parse(ScratchFolder::Read(store));
  const TRegValue* value = file.FindValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\3000\\Default",
                                          "SequenceEnabled");
  ASSERT_NE(value, nullptr);
  EXPECT_EQ(value->type, kRegDword);
  EXPECT_EQ(value->dword, 0u);
  // Only the store and its lock remain: the temporary file was renamed over the store.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path() / "sub")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));

  TRegistry again;
  ASSERT_TRUE(again.OpenKeyReadOnly("\\Control Panel\\Philips Speech\\3000\\Default"));
  EXPECT_EQ(again.ReadInteger("SequenceEnabled"), 0);
}

TEST(RegistryStore, AStoreThatIsNoExportIsUnreadableAndNeverOverwritten) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScratchFolder::Write(store, "not a registry");
  ScopedRegistryStore scoped(store);
  TRegistry registry;
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\"));
  EXPECT_FALSE(registry.CreateKey("KALD_TEST"));
  EXPECT_EQ(ScratchFolder::Read(store), "not a registry");
}

}  // namespace
}  // namespace orvane
