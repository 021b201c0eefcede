#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "provisioning/AjustementCleRegistreSM.h"
#include "provisioning/registry/RegistryAccessor.h"
#include "provisioning/registry/store/RegistryFile.h"
#include "tests/support/LogCapture.h"
#include "tests/provisioning/registry/store/StoreTestSupport_posix.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ScopedRegistryStore;
using testing::ScratchFolder;

TEST(RegistryStore, KeepsWhatIsWrittenInTheExportFormatWithoutLeftovers) {
  ScratchFolder folder;
  const std::string store = folder / "sub/registry.reg";
  ScopedRegistryStore scoped(store);
  {
    TRegistryAccessor registry;
    ASSERT_TRUE(registry.OpenKey("\\Control Panel\\Philips Speech\\3000\\Default", true));
    registry.WriteInteger("SequenceEnabled", 0);
    registry.WriteString("KALDInstallation", "09/12/2026 10:15:00");
  }
  const TRegistryFile file = TRegistryFile::Parse(ScratchFolder::Read(store));
  const auto value = file.FindValue(TRootKey::CurrentUser, "Control Panel\\Philips Speech\\3000\\Default",
                                          "SequenceEnabled");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, kRegDword);
  EXPECT_EQ(value->dword, 0u);
  // Only the store remains: the temporary file took its name, and the store is its own lock.
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path() / "sub")) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, std::vector<std::string>{"registry.reg"});

  TRegistryAccessor again;
  ASSERT_TRUE(again.OpenKeyReadOnly("\\Control Panel\\Philips Speech\\3000\\Default"));
  EXPECT_EQ(again.ReadInteger("SequenceEnabled"), 0);
}

TEST(RegistryStore, AStoreThatIsNoExportIsUnreadableAndNeverOverwritten) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScratchFolder::Write(store, "not a registry");
  ScopedRegistryStore scoped(store);
  TRegistryAccessor registry;
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\"));
  EXPECT_FALSE(registry.CreateKey("KALD_TEST"));
  EXPECT_EQ(ScratchFolder::Read(store), "not a registry");
}

const char* const kModel = testing::kModelKey;

TEST(RegistryStore, AnAnsiStoreStaysAnsiAndKeysItDoesNotTouchKeepTheirText) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  const std::string societe =
      "[HKEY_CURRENT_USER\\Software\\Soci\xE9t\xE9]\r\n"
      "\"Dossier\"=\"C:\\\\Donn\xE9" "es\"\r\n"
      "\r\n";
  ScratchFolder::Write(store, "REGEDIT4\r\n\r\n" + societe);
  ScopedRegistryStore scoped(store);
  ASSERT_EQ(testing::WriteSequence(0), 0);

  const std::string written = ScratchFolder::Read(store);
  EXPECT_EQ(written.substr(0, 10), "REGEDIT4\r\n");
  EXPECT_NE(written.find(societe), std::string::npos) << written;
  EXPECT_NE(written.find("\"SequenceEnabled\"=dword:00000000\r\n"), std::string::npos) << written;
}

TEST(RegistryStore, ADwordOfAnotherSizeIsStampedAndOthersKeepTheirBytes) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScratchFolder::Write(store,
                       "REGEDIT4\r\n\r\n"
                       "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\r\n"
                       "\"SequenceEnabled\"=hex(4):01,00\r\n"
                       "\r\n"
                       "[HKEY_CURRENT_USER\\Software\\Autre]\r\n"
                       "\"Taille\"=hex(4):10,27\r\n"
                       "\r\n");
  ScopedRegistryStore scoped(store);
  testing::LogCapture capture;
  AjustementCleRegistreSM();

  const std::string written = ScratchFolder::Read(store);
  EXPECT_NE(written.find("\"Taille\"=hex(4):10,27\r\n"), std::string::npos) << written;
  TRegistryAccessor registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly(kModel));
  EXPECT_EQ(registry.ReadInteger("SequenceEnabled"), 0);
  EXPECT_TRUE(registry.ValueExists("KALDInstallation"));
}

TEST(RegistryStore, AStoreReachedThroughALinkIsWrittenToItsTargetWithItsModeAndOwner) {
  ScratchFolder folder;
  const std::string target = folder / "shared/registry.reg";
  const std::string link = folder / "registry.reg";
  std::filesystem::create_directories(folder.Path() / "shared");
  ScratchFolder::Write(target, "Windows Registry Editor Version 5.00\r\n\r\n");
  ASSERT_EQ(::chmod(target.c_str(), 0644), 0);
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::chown(target.c_str(), 4321, 4322), 0);
  std::filesystem::create_symlink("shared/registry.reg", link);
  ScopedRegistryStore scoped(link);
  ASSERT_EQ(testing::WriteSequence(0), 0);

  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_NE(ScratchFolder::Read(target).find("SequenceEnabled"), std::string::npos);
  struct stat status {};
  ASSERT_EQ(::stat(target.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0644u);
  if (root) {
    EXPECT_EQ(status.st_uid, 4321u);
    EXPECT_EQ(status.st_gid, 4322u);
  }
}

// Counts the openings of the store's file by anyone, from a watch on its folder. Closings are
// watched too, since the system merges an event into an identical one still unread.
class OpeningCounter {
 public:
  OpeningCounter(const std::filesystem::path& folder, std::string name) : name_(std::move(name)) {
    fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ::inotify_add_watch(fd_, folder.c_str(), IN_OPEN | IN_CLOSE);
  }
  ~OpeningCounter() { ::close(fd_); }
  int Count() {
    alignas(inotify_event) char buffer[65536];
    ssize_t length;
    while ((length = ::read(fd_, buffer, sizeof buffer)) > 0) {
      for (ssize_t pos = 0; pos < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + pos);
        if ((event->mask & IN_OPEN) && event->len > 0 && name_ == event->name) ++count_;
        pos += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return count_;
  }

 private:
  int fd_ = -1;
  int count_ = 0;
  std::string name_;
};

TEST(RegistryStore, IsReadOnceAndAgainOnlyWhenAnotherProgramChangedIt) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScratchFolder::Write(store,
                       "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\n"
                       "\"SequenceEnabled\"=dword:00000001\n");
  ScopedRegistryStore scoped(store);
  OpeningCounter openings(folder.Path(), "registry.reg");
  TRegistryAccessor registry;
  ASSERT_TRUE(registry.OpenKeyReadOnly(kModel));
  for (int i = 0; i < 20; ++i) EXPECT_EQ(registry.ReadInteger("SequenceEnabled"), 1);
  EXPECT_EQ(openings.Count(), 1);

  // Another program edits the store between two calls.
  ScratchFolder::Write(store,
                       "Windows Registry Editor Version 5.00\n\n"
                       "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\n"
                       "\"SequenceEnabled\"=dword:00000002\n\"Other\"=dword:00000003\n");
  EXPECT_EQ(registry.ReadInteger("SequenceEnabled"), 2);
  EXPECT_EQ(registry.ReadInteger("Other"), 3);
}

TEST(RegistryStore, AMissingStoreIsCreatedAsAWorkstationsRegistryHoldsIt) {
  ScratchFolder folder;
  const std::string store = folder / "config/orvane/registry.reg";
  ScopedRegistryStore scoped(store);
  TRegistryAccessor registry;
  registry.SetRootKey(TRootKey::ClassesRoot);
  ASSERT_TRUE(registry.OpenKeyReadOnly("\\Installer\\Features\\777D4C2D1DBB5204A8655A0CBF18D267\\"));
  EXPECT_TRUE(registry.ValueExists("SpMikeCtrl"));
  registry.SetRootKey(TRootKey::LocalMachine);
  EXPECT_TRUE(registry.OpenKeyReadOnly("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\"));
  const TRegistryFile file = TRegistryFile::Parse(ScratchFolder::Read(store));
  EXPECT_TRUE(file.KeyExists(TRootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
}

TEST(RegistryStore, BadStoresAreRefusedAndKeptAsTheyAre) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  const std::string header = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\A]\r\n";
  std::string bigEndian = "\xFE\xFF", noMark;
  for (char c : header) bigEndian += std::string(1, '\0') + c, noMark += std::string(1, c) + '\0';
  for (const std::string& bytes : {std::string("\x01\x02rubbish"), bigEndian, noMark,
                                   header + "\"x\"=\"cut short", header + "\"x\"=hex:01,\\",
                                   header + "\"x\"=dword:123456789\r\n",
                                   std::string("Windows Registry Editor Version 5.00\r\n; Donn\xE9" "es\r\n")}) {
    ScratchFolder::Write(store, bytes);
    ScopedRegistryStore scoped(store);
    TRegistryAccessor registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly("\\"));
    EXPECT_FALSE(registry.CreateKey("KALD_TEST"));
    EXPECT_EQ(ScratchFolder::Read(store), bytes);
  }
  std::filesystem::remove(store);
  std::filesystem::create_directory(store);
  ScopedRegistryStore scoped(store);
  TRegistryAccessor registry;
  EXPECT_FALSE(registry.OpenKeyReadOnly("\\"));
  EXPECT_FALSE(registry.CreateKey("KALD_TEST"));
  EXPECT_TRUE(std::filesystem::is_directory(store));
}

// What the store could not read back never reaches it, whatever comes after: every later start
// still reads it.
TEST(RegistryStore, AWriteTheStoreCouldNotReadBackIsRefusedNamingTheValue) {
  const std::string section = std::string("[HKEY_CURRENT_USER") + kModel + "]\r\n\"Autre\"=dword:00000001\r\n\r\n";
  const struct {
    std::string store, name, text;
  } refused[] = {
      {"Windows Registry Editor Version 5.00\r\n\r\n" + section, "KALDInstallation", "\xBF\xC0\xC0\xFC 10:15"},
      {"REGEDIT4\r\n\r\n" + section, "KALDInstallation", "午前 10:15"},
      {"Windows Registry Editor Version 5.00\r\n\r\n" + section, "KALD\r\nInstallation", "10:15"},
  };
  for (const auto& write : refused) {
    ScratchFolder folder;
    const std::string store = folder / "registry.reg";
    ScratchFolder::Write(store, write.store);
    ScopedRegistryStore scoped(store);
    {
      TRegistryAccessor registry;
      ASSERT_TRUE(registry.OpenKey(kModel, true));
      try {
        registry.WriteString(write.name, write.text);
        ADD_FAILURE() << "written: " << write.name;
      } catch (const ERegistryException& e) {
        EXPECT_NE(e.Message().find("'" + write.name + "'"), std::string::npos) << e.Message();
      }
      registry.Flush();
      EXPECT_EQ(ScratchFolder::Read(store), write.store) << write.name;
      registry.WriteInteger("SequenceEnabled", 0);
    }
    const TRegistryFile file = TRegistryFile::Parse(ScratchFolder::Read(store));
    EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, kModel + 1, "SequenceEnabled")->dword, 0u);
    EXPECT_FALSE(file.FindValue(TRootKey::CurrentUser, kModel + 1, write.name));
  }
}

// At every start that installs the drivers, on a workstation's registry as the store begins.
TEST(RegistryStore, TheRightsProbeLeavesTheStoresBytesAsTheyWere) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScopedRegistryStore scoped(store);
  TRegistryAccessor registry;
  registry.SetRootKey(TRootKey::LocalMachine);
  ASSERT_TRUE(registry.OpenKey("\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\", false));
  const std::string before = ScratchFolder::Read(store);
  ASSERT_TRUE(registry.CreateKey("KALD_TEST"));
  ASSERT_TRUE(registry.DeleteKey("KALD_TEST"));
  registry.Flush();
  const std::string after = ScratchFolder::Read(store);
  EXPECT_EQ(after, before) << before.size() << " bytes became " << after.size();
}

}  // namespace
}  // namespace orvane
