// The registry on Linux: a store of our own in the registry's export format. Every operation
// reads the file again, so that several processes see one registry; every change is written
// to a temporary file that then replaces the store, so a crash never leaves it half written.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "common/Port.h"
#include "provisioning/Registry.h"
#include "provisioning/RegistryFile.h"

namespace orvane {

namespace {

std::string StorePath() {
  if (const char* explicitPath = std::getenv("ORVANE_REGISTRY"); explicitPath && *explicitPath) return explicitPath;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    return std::string(config) + "/orvane/registry.reg";
  }
  const char* home = std::getenv("HOME");
  return std::string(home ? home : ".") + "/.config/orvane/registry.reg";
}

// Holds an exclusive lock beside the store for one read-modify-write.
class StoreLock {
 public:
  explicit StoreLock(const std::string& store) {
    const std::string lock = store + ".lock";
    fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~StoreLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  int fd_ = -1;
};

class RegistryPosix : public Registry {
 public:
  bool OpenKey(TRootKey root, const std::string& path, bool write) override {
    const std::string store = StorePath();
    const std::optional<TRegistryFile> file = Load(store);
    if (!file || !file->KeyExists(root, path)) return false;
    return !write || Writable(store);
  }

  bool CreateKey(TRootKey root, const std::string& path) override {
    return Change([&](TRegistryFile& file) {
      file.CreateKey(root, path);
      return true;
    });
  }

  bool DeleteKey(TRootKey root, const std::string& path) override {
    return Change([&](TRegistryFile& file) { return file.DeleteKey(root, path); });
  }

  bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) override {
    const std::optional<TRegistryFile> file = Load(StorePath());
    if (!file) return false;
    const TRegValue* found = file->FindValue(root, path, name);
    if (!found) return false;
    value = *found;
    return true;
  }

  bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) override {
    return Change([&](TRegistryFile& file) { return file.SetValue(root, path, name, value); });
  }

 private:
  // The store's content; an empty registry when there is no store yet, nothing when it cannot
  // be read or is not a registry export (it is then never overwritten).
  static std::optional<TRegistryFile> Load(const std::string& store) {
    std::ifstream in(store, std::ios::binary);
    if (!in) {
      if (errno == ENOENT || !std::filesystem::exists(store)) return TRegistryFile{};
      return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    try {
      return TRegistryFile::Parse(bytes.str());
    } catch (const ERegistryException&) {
      return std::nullopt;
    }
  }

  static bool Writable(const std::string& store) {
    if (::access(store.c_str(), F_OK) == 0) return ::access(store.c_str(), W_OK) == 0;
    std::filesystem::path folder = std::filesystem::path(store).parent_path();
    std::error_code error;
    while (!folder.empty() && !std::filesystem::exists(folder, error)) folder = folder.parent_path();
    return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
  }

  static bool Save(const std::string& store, const TRegistryFile& file) {
    const std::string temporary = store + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    const std::string bytes = file.Serialize();
    size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
    const bool complete = written == bytes.size() && ::fsync(fd) == 0;
    ::close(fd);
    if (!complete || ::rename(temporary.c_str(), store.c_str()) != 0) {
      ::unlink(temporary.c_str());
      return false;
    }
    return true;
  }

  static bool Change(const std::function<bool(TRegistryFile&)>& change) {
    const std::string store = StorePath();
    if (!Writable(store)) return false;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(store).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    StoreLock lock(store);
    std::optional<TRegistryFile> file = Load(store);
    if (!file || !change(*file)) return false;
    return Save(store, *file);
  }
};

}  // namespace

template <>
Registry& PlatformAdapter<Registry>() {
  static RegistryPosix adapter;
  return adapter;
}

}  // namespace orvane
