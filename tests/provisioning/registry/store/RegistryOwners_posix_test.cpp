// A store that several users of a workstation share: an administrator owns it, the technicians'
// group may write it. Each test acts as those users from processes of their own, so it needs root.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "provisioning/registry/store/RegistryFile.h"
#include "tests/provisioning/registry/store/StoreTestSupport_posix.h"
#include "tests/support/HangLimit.h"
#include "tests/support/ScratchFolder.h"

namespace orvane {
namespace {

using testing::ChildProcess;
using testing::ProcessUser;
using testing::ScopedRegistryStore;
using testing::ScratchFolder;

const uid_t kAdministrator = 4321;
const gid_t kTechnicians = 4400;
const ProcessUser kAdministratorUser{kAdministrator, kAdministrator, {kAdministrator, kTechnicians}};
const ProcessUser kTechnician{4322, 4322, {kTechnicians}};

const char kShared[] =
    "Windows Registry Editor Version 5.00\r\n\r\n"
    "[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\r\n\"SequenceEnabled\"=dword:00000001\r\n\r\n";

// The store in a folder of its own, with the owner, group and modes given.
std::string SharedStore(const ScratchFolder& scratch, mode_t folderMode, mode_t storeMode) {
  const std::filesystem::path folder = scratch.Path() / "partage";
  std::filesystem::create_directory(folder);
  const std::string store = (folder / "registry.reg").string();
  ScratchFolder::Write(store, kShared);
  EXPECT_EQ(::chown(folder.c_str(), kAdministrator, kTechnicians), 0);
  EXPECT_EQ(::chmod(folder.c_str(), folderMode), 0);
  EXPECT_EQ(::chown(store.c_str(), kAdministrator, kTechnicians), 0);
  EXPECT_EQ(::chmod(store.c_str(), storeMode), 0);
  return store;
}

uint32_t SequenceIn(const std::string& store) {
  return TRegistryFile::Parse(ScratchFolder::Read(store))
      .FindValue(TRootKey::CurrentUser, testing::kModelKey + 1, "SequenceEnabled")
      ->dword;
}

class RegistryStoreOwners : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "acting as other users needs root";
  }
};

// Whether the technicians' folder lets them make files in it or not, a save keeps the store
// its administrator's, with its group and mode, and leaves nothing beside it.
TEST_F(RegistryStoreOwners, ATechnicianSavesTheStoreInPlaceKeepingItsOwner) {
  for (const mode_t folderMode : {0775, 0755}) {
    ScratchFolder scratch;
    const std::string store = SharedStore(scratch, folderMode, 0664);
    ScopedRegistryStore scoped(store);
    ChildProcess technician([] { return testing::WriteSequence(0); }, kTechnician);
    EXPECT_EQ(technician.Wait(), 0) << std::oct << folderMode;

    struct stat status {};
    ASSERT_EQ(::stat(store.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, kAdministrator);
    EXPECT_EQ(status.st_gid, kTechnicians);
    EXPECT_EQ(status.st_mode & 07777, 0664u);
    EXPECT_EQ(SequenceIn(store), 0u) << std::oct << folderMode;
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path() / "partage")) {
      names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"registry.reg"});
  }
}

bool WaitsForALock(pid_t process) {
  std::ifstream locks("/proc/locks");
  const std::string waiting = " " + std::to_string(process) + " ";
  for (std::string line; std::getline(locks, line);) {
    if (line.find("->") != std::string::npos && line.find(waiting) != std::string::npos) return true;
  }
  return false;
}

// After the administrator saved the store, a technician's save waits while a program holds the
// store's lock, as every writer of the store does, and goes on once it is free.
TEST_F(RegistryStoreOwners, EveryUserWhoMayWriteTheStoreHonoursItsLock) {
  ScratchFolder scratch;
  const std::string store = SharedStore(scratch, 0775, 0660);
  ScopedRegistryStore scoped(store);
  ChildProcess administrator([] { return testing::WriteSequence(2); }, kAdministratorUser);
  ASSERT_EQ(administrator.Wait(), 0);

  const int held = ::open(store.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  ChildProcess technician([] { return testing::WriteSequence(0); }, kTechnician);
  // Until it waits for the lock or, wrongly, ends without it.
  const auto limit = std::chrono::steady_clock::now() + testing::kHangLimit;
  while (!WaitsForALock(technician.Pid()) && !technician.Ended() && std::chrono::steady_clock::now() < limit) {
    std::this_thread::yield();
  }
  EXPECT_FALSE(technician.Ended()) << "saved while the lock was held";
  EXPECT_EQ(SequenceIn(store), 2u);
  ::close(held);
  EXPECT_EQ(technician.Wait(), 0);
  EXPECT_EQ(SequenceIn(store), 0u);
}

}  // namespace
}  // namespace orvane
