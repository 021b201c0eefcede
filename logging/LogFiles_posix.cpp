#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Port.h"
#include "logging/LogFiles.h"

namespace orvane {
namespace {

[[noreturn]] void Fail(const std::string& name, int error) {
  throw EInOutError(std::string(std::strerror(error)) + " (" + name + ")");
}

class PosixLogFile : public LogFile {
 public:
  PosixLogFile(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
  ~PosixLogFile() override {
    if (fd_ >= 0) ::close(fd_);
  }
  void Write(const std::string& bytes) override {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        Fail(name_, errno);
      }
      done += static_cast<size_t>(n);
    }
  }
  void Close() override {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) Fail(name_, errno);
  }

 private:
  int fd_;
  std::string name_;
};

// Creates the folders above Name that are missing, as a configured log\ folder may be.
void CreateParentFolders(const std::string& name) {
  for (size_t slash = name.find('/', 1); slash != std::string::npos; slash = name.find('/', slash + 1)) {
    const std::string folder = name.substr(0, slash);
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return;
  }
}

class PosixLogFiles : public LogFiles {
 public:
  bool Exists(const std::string& name) override {
    struct stat info {};
    return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  }
  std::unique_ptr<LogFile> Open(const std::string& name, OpenMode mode) override {
    // Without waiting: a FIFO without reader refuses at once (ENXIO) instead of holding the
    // logging thread, and the program's end, for ever.
    const int flags = O_WRONLY | O_CLOEXEC | O_NONBLOCK | (mode == OpenMode::Append ? O_APPEND : O_CREAT | O_TRUNC);
    int fd;
    do {
      fd = ::open(name.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0 && errno == ENOENT && mode == OpenMode::Create) {
      CreateParentFolders(name);
      do {
        fd = ::open(name.c_str(), flags, 0666);
      } while (fd < 0 && errno == EINTR);
    }
    if (fd < 0) {
      if (errno == ENXIO) FailNotRegularFile(name);
      Fail(name, errno);
    }
    auto file = std::make_unique<PosixLogFile>(fd, name);
    // A file opened anew must be a regular one. Appending is for a file that its caller found
    // regular (OpenLogFile) or that the logger checked when it took the name: the per-line open
    // spares a system call that would cost a sixth of a line.
    if (mode == OpenMode::Create) {
      struct stat info {};
      if (::fstat(fd, &info) != 0) Fail(name, errno);
      if (!S_ISREG(info.st_mode)) FailNotRegularFile(name);
    }
    return file;
  }
  bool Rename(const std::string& from, const std::string& to) override {
    // Windows refuses to replace an existing target; so do we.
    if (::access(to.c_str(), F_OK) == 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
  }
};

}  // namespace

template <>
LogFiles& PlatformAdapter<LogFiles>() {
  static PosixLogFiles adapter;
  return adapter;
}

}  // namespace orvane
