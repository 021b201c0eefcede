// Saves of the Linux store as the system sees them: killed at any point, and on their way to disk.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/registry/store/RegistryFile.h"
#include "tests/provisioning/registry/store/StoreTestSupport_posix.h"
#include "tests/support/HangLimit.h"
#include "tests/support/ScratchFolder.h"

extern char** environ;

namespace orvane {
namespace {

using testing::ChildProcess;
using testing::ScopedRegistryStore;
using testing::ScratchFolder;

// A store large enough that a save takes many writes: a site's keys and the models.
std::string LargeStore(int keys) {
  std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
  char line[160];
  for (int key = 0; key < keys; ++key) {
    std::snprintf(line, sizeof line, "[HKEY_CURRENT_USER\\Software\\Vendor%03d\\Item%06d]\r\n\"Value\"=dword:%08x\r\n\r\n",
                  key % 97, key, key);
    text += line;
  }
  return text + "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\r\n\r\n";
}

std::vector<std::filesystem::path> TemporaryFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("registry.reg.tmp", 0) == 0) files.push_back(entry.path());
  }
  return files;
}

// The changes of the files in a folder, one by one, as the system reports them.
class FolderEvents {
 public:
  explicit FolderEvents(const std::filesystem::path& folder) {
    fd_ = ::inotify_init1(IN_CLOEXEC);
    ::inotify_add_watch(fd_, folder.c_str(), IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO);
  }
  ~FolderEvents() { ::close(fd_); }
  // False when none came before the hang limit.
  bool Next() {
    if (pending_ == 0) {
      pollfd ready{fd_, POLLIN, 0};
      if (::poll(&ready, 1, static_cast<int>(testing::kHangLimit.count())) != 1) return false;
      alignas(inotify_event) char buffer[65536];
      const ssize_t length = ::read(fd_, buffer, sizeof buffer);
      for (ssize_t pos = 0; pos < length; ++pending_) {
        pos += static_cast<ssize_t>(sizeof(inotify_event) + reinterpret_cast<const inotify_event*>(buffer + pos)->len);
      }
    }
    --pending_;
    return true;
  }

 private:
  int fd_ = -1;
  int pending_ = 0;
};

// Processes that save the store again and again are killed at random points of a save (its
// temporary file made, written in part or whole, renamed), until a killed save left its
// temporary file behind. The next save removes what is left and the store is whole.
TEST(RegistryStoreSaves, SavesKilledMidWriteLeaveNoTemporaryFileAfterTheNextSave) {
  ScratchFolder folder;
  const std::string store = folder / "registry.reg";
  ScratchFolder::Write(store, LargeStore(20000));
  ScopedRegistryStore scoped(store);
  FolderEvents events(folder.Path());
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> killPoint(1, 12);
  int kills = 0;
  while (kills < 8 || (TemporaryFiles(folder.Path()).empty() && kills < 200)) {
    ChildProcess saver([] {
      for (int32_t value = 0; testing::WriteSequence(value) == 0; ++value) {
      }
      return 1;
    });
    for (int point = killPoint(random); point > 0; --point) ASSERT_TRUE(events.Next()) << "no save seen";
    ::kill(saver.Pid(), SIGKILL);
    ASSERT_EQ(saver.Wait(), 128 + SIGKILL) << "the saver stopped on its own";
    ++kills;
  }
  uintmax_t bytes = 0;
  const auto leftovers = TemporaryFiles(folder.Path());
  for (const auto& file : leftovers) bytes += std::filesystem::file_size(file);
  ASSERT_FALSE(leftovers.empty()) << "no save killed before its end in " << kills << " kills";

  ASSERT_EQ(testing::WriteSequence(-1), 0);
  EXPECT_EQ(TemporaryFiles(folder.Path()).size(), 0u)
      << kills << " kills left " << leftovers.size() << " temporary files, " << bytes << " bytes";
  const TRegistryFile file = TRegistryFile::Parse(ScratchFolder::Read(store));
  EXPECT_EQ(file.FindValue(TRootKey::CurrentUser, testing::kModelKey + 1, "SequenceEnabled")->dword, UINT32_MAX);
}

// Runs strace on a process until it ends; the calls it made, one a line.
class SystemCallTrace {
 public:
  SystemCallTrace(pid_t traced, const std::string& log) : log_(log) {
    int attached[2];
    ::pipe2(attached, O_CLOEXEC);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, attached[1], STDERR_FILENO);
    const std::string pid = std::to_string(traced);
    const char* argv[] = {"strace", "-p", pid.c_str(), "-o", log.c_str(), "-e",
                          "trace=openat,fsync,fdatasync,rename,renameat,renameat2,link,linkat", nullptr};
    spawned_ = posix_spawnp(&strace_, "strace", &actions, nullptr, const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(attached[1]);
    // strace says on its error output when it holds the process.
    std::string said;
    char buffer[256];
    ssize_t length;
    while (spawned_ && said.find("attached") == std::string::npos &&
           (length = ::read(attached[0], buffer, sizeof buffer)) > 0) {
      said.append(buffer, static_cast<size_t>(length));
    }
    attached_ = said.find("attached") != std::string::npos;
    ::close(attached[0]);
  }
  bool Attached() const { return attached_; }
  std::vector<std::string> Calls() {
    int status = 0;
    if (spawned_) ::waitpid(strace_, &status, 0);
    spawned_ = false;
    std::vector<std::string> lines;
    std::ifstream in(log_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string log_;
  pid_t strace_ = -1;
  bool spawned_ = false;
  bool attached_ = false;
};

// After a new file takes the store's name, the folder is synced, so that the name survives a
// power cut: for the store replaced, and for the store created and then replaced.
TEST(RegistryStoreSaves, TheFolderIsSyncedAfterTheNewFileTakesTheStoresName) {
  for (const bool existing : {true, false}) {
    ScratchFolder folder;
    const std::string store = folder / "registry.reg";
    if (existing) ScratchFolder::Write(store, LargeStore(10));
    ScopedRegistryStore scoped(store);
    ChildProcess saver([] {
      ::raise(SIGSTOP);
      return testing::WriteSequence(0);
    });
    int status = 0;
    ASSERT_EQ(::waitpid(saver.Pid(), &status, WUNTRACED), saver.Pid());
    SystemCallTrace trace(saver.Pid(), folder / "calls.txt");
    ASSERT_TRUE(trace.Attached());
    ::kill(saver.Pid(), SIGCONT);
    ASSERT_EQ(saver.Wait(), 0);

    // Each call that gives the store's name to a new file, and whether a sync of the folder
    // follows it before the next.
    const std::vector<std::string> calls = trace.Calls();
    const std::regex named(R"(^(rename|link)\w*\(.*"[^"]*registry\.reg\.tmp\d+".*"[^"]*registry\.reg"(, \w+)?\) += 0$)");
    const std::regex folderOpened("^openat\\(AT_FDCWD, \"" + folder.Path().string() + "/?\", .*O_DIRECTORY.*\\) += (\\d+)$");
    const std::regex sync(R"(^fsync\((\d+)\) += 0$)");
    std::vector<bool> synced;
    std::vector<std::string> folderFds;
    for (const std::string& call : calls) {
      std::smatch match;
      if (std::regex_search(call, named)) synced.push_back(false);
      if (std::regex_search(call, match, folderOpened)) folderFds.push_back(match[1]);
      if (!synced.empty() && std::regex_search(call, match, sync) &&
          std::find(folderFds.begin(), folderFds.end(), match[1]) != folderFds.end()) {
        synced.back() = true;
      }
    }
    EXPECT_EQ(synced, std::vector<bool>(existing ? 1 : 2, true)) << ::testing::PrintToString(calls);
  }
}

}  // namespace
}  // namespace orvane
