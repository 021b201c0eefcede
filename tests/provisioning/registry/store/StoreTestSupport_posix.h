#pragma once
// What the Linux store's tests share: a store file of the test's own, and work run in a process
// of its own, killed or run as another user, as a second program or a technician would.

#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "provisioning/registry/RegistryAccessor.h"

namespace orvane::testing {

// Points the store at a file of the test's own.
class ScopedRegistryStore {
 public:
  explicit ScopedRegistryStore(const std::string& file) {
    if (const char* old = std::getenv("ORVANE_REGISTRY")) previous_ = old;
    ::setenv("ORVANE_REGISTRY", file.c_str(), 1);
  }
  ~ScopedRegistryStore() {
    if (previous_) {
      ::setenv("ORVANE_REGISTRY", previous_->c_str(), 1);
    } else {
      ::unsetenv("ORVANE_REGISTRY");
    }
  }
  ScopedRegistryStore(const ScopedRegistryStore&) = delete;
  ScopedRegistryStore& operator=(const ScopedRegistryStore&) = delete;

 private:
  std::optional<std::string> previous_;
};

struct ProcessUser {
  uid_t uid;
  gid_t gid;
  std::vector<gid_t> groups;
};

// Work run in a child process, whose result is its exit status; it never returns into the test.
class ChildProcess {
 public:
  explicit ChildProcess(const std::function<int()>& work, const std::optional<ProcessUser>& user = {}) {
    pid_ = ::fork();
    if (pid_ != 0) return;
    // As a program of its own: none of the test's files open, none of its locks held.
    ::close_range(3, ~0U, 0);
    if (user && (::setgroups(user->groups.size(), user->groups.data()) != 0 || ::setgid(user->gid) != 0 ||
                 ::setuid(user->uid) != 0)) {
      ::_exit(126);
    }
    int status = 125;
    try {
      status = work();
    } catch (...) {
    }
    ::_exit(status);
  }
  ~ChildProcess() {
    if (pid_ <= 0 || waited_) return;
    ::kill(pid_, SIGKILL);
    Wait();
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  // The exit status, or 128 and the signal that ended it.
  int Wait() {
    int status = 0;
    while (!waited_ && ::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    return Note(status);
  }
  // Whether it ended, without waiting for it.
  bool Ended() {
    int status = 0;
    if (!waited_ && ::waitpid(pid_, &status, WNOHANG) == pid_) Note(status);
    return waited_;
  }

 private:
  int Note(int status) {
    if (!waited_) result_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    waited_ = true;
    return result_;
  }

  pid_t pid_ = -1;
  bool waited_ = false;
  int result_ = 0;
};

inline const char kModelKey[] = "\\Control Panel\\Philips Speech\\3000\\Default";

// A write of the adjustment, saved at once; 0 when saved, 2 when the key does not open for
// writing, 1 when the write or the save is refused.
inline int WriteSequence(int32_t value) {
  try {
    TRegistryAccessor registry;
    if (!registry.OpenKey(kModelKey, true)) return 2;
    registry.WriteInteger("SequenceEnabled", value);
    registry.Flush();
    return 0;
  } catch (const ERegistryException&) {
    return 1;
  }
}

}  // namespace orvane::testing
