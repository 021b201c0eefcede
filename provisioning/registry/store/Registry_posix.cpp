// The registry on Linux: a store of our own in the registry's export format. The store is
// parsed once and read again only when its file changed, so that several processes, and a hand
// that edits it, see one registry. Writes go to the parsed store at once and to the file when
// the accessor that made them is done (Flush): the file is then written whole to a temporary
// file beside the store's real file (a link is followed to its target), with that file's mode
// and owner, which replaces it, so a crash never leaves the store half written. When another
// program changed the file meanwhile, the writes are made again on its new content first.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Port.h"
#include "provisioning/DriverRegistration.h"
#include "provisioning/registry/Registry.h"
#include "provisioning/registry/store/RegistryFile.h"

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

// The file a chain of symbolic links ends at, whether it exists or not.
std::filesystem::path RealFile(const std::filesystem::path& store) {
  std::filesystem::path file = store;
  std::error_code error;
  for (int links = 0; links < 40 && std::filesystem::is_symlink(file, error); ++links) {
    const std::filesystem::path target = std::filesystem::read_symlink(file, error);
    if (error) break;
    file = target.is_absolute() ? target : file.parent_path() / target;
  }
  return file;
}

// What a workstation's registry holds for this program. The device component is built in, so
// its drivers count as installed.
TRegistryFile WorkstationRegistry() {
  TRegistryFile file;
  const auto path = [](const char* key) {
    std::string trimmed = key + 1;
    trimmed.pop_back();
    return trimmed;
  };
  file.CreateKey(TRootKey::LocalMachine, path(kRegistryProbeKey));
  file.CreateKey(TRootKey::ClassesRoot, path(kDriverFeatureKey));
  TRegValue registered;
  registered.type = kRegSz;
  file.SetValue(TRootKey::ClassesRoot, path(kDriverFeatureKey), kDriverFeatureValue, registered);
  return file;
}

// Tells whether the file changed since it was last read or written.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  timespec changed{};
  bool operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
  }
  static FileIdentity Of(const struct stat& status) {
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
  }
};

// Holds an exclusive lock beside the store for one read-modify-write.
class StoreLock {
 public:
  explicit StoreLock(const std::filesystem::path& file) {
    const std::string lock = file.string() + ".lock";
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

bool Writable(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  std::error_code error;
  while (!folder.empty() && !std::filesystem::exists(folder, error)) folder = folder.parent_path();
  if (::access(folder.empty() ? "." : folder.c_str(), W_OK) != 0) return false;
  return !std::filesystem::exists(file, error) || ::access(file.c_str(), W_OK) == 0;
}

// Writes File in place of Target through a temporary file, keeping Target's mode and owner.
// A store that is Created takes the place of none: another process may have been first.
enum class TSave { Replace, Create };
bool Save(const std::filesystem::path& target, const TRegistryFile& file, TSave mode) {
  std::error_code error;
  if (!target.parent_path().empty()) std::filesystem::create_directories(target.parent_path(), error);
  struct stat previous {};
  const bool existed = ::stat(target.c_str(), &previous) == 0;
  const std::string temporary = target.string() + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool complete = true;
  if (existed) {
    complete = ::fchmod(fd, previous.st_mode & 07777) == 0;
    // A store that another user owns is never handed over to this one.
    if (complete && (previous.st_uid != ::geteuid() || previous.st_gid != ::getegid())) {
      complete = ::fchown(fd, previous.st_uid, previous.st_gid) == 0;
    }
  }
  complete = complete && file.Write([fd](const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      written += static_cast<size_t>(n);
    }
    return true;
  });
  complete = complete && ::fsync(fd) == 0;
  ::close(fd);
  if (complete && mode == TSave::Create) {
    complete = ::link(temporary.c_str(), target.c_str()) == 0;
    ::unlink(temporary.c_str());
    return complete;
  }
  if (!complete || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
}

enum class TChange { Refused, Unchanged, Changed };

using TOperation = std::function<TChange(TRegistryFile&)>;

class RegistryPosix : public Registry {
 public:
  bool OpenKey(TRootKey root, const std::string& path, bool write) override {
    std::lock_guard<std::mutex> guard(mutex_);
    const TRegistryFile* file = Load();
    if (!file || !file->KeyExists(root, path)) return false;
    return !write || Writable(RealFile(path_));
  }

  bool CreateKey(TRootKey root, const std::string& path) override {
    return Change([root, path](TRegistryFile& file) {
      if (file.KeyExists(root, path)) return TChange::Unchanged;
      return file.CreateKey(root, path) ? TChange::Changed : TChange::Refused;
    });
  }

  bool DeleteKey(TRootKey root, const std::string& path) override {
    return Change([root, path](TRegistryFile& file) {
      return file.DeleteKey(root, path) ? TChange::Changed : TChange::Refused;
    });
  }

  bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) override {
    std::lock_guard<std::mutex> guard(mutex_);
    const TRegistryFile* file = Load();
    if (!file) return false;
    std::optional<TRegValue> found = file->FindValue(root, path, name);
    if (!found) return false;
    value = std::move(*found);
    return true;
  }

  bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) override {
    return Change([root, path, name, value](TRegistryFile& file) {
      if (file.KeyExists(root, path) && file.FindValue(root, path, name) == value) return TChange::Unchanged;
      return file.SetValue(root, path, name, value) ? TChange::Changed : TChange::Refused;
    });
  }

  bool Flush() override {
    std::lock_guard<std::mutex> guard(mutex_);
    if (pending_.empty()) return true;
    const std::filesystem::path target = RealFile(StorePath());
    StoreLock lock(target);
    const bool saved = Load() && Save(target, *cached_, TSave::Replace);
    pending_.clear();
    if (!saved) {
      // The parsed store holds writes the file does not: read the file again next time.
      Forget();
      return false;
    }
    Remember();
    return true;
  }

 private:
  // The store as its file now holds it with this process's pending writes, read again only
  // when the file changed. A missing store is created as a workstation's registry; nothing when
  // the store cannot be read or is no registry export (it is then never overwritten).
  const TRegistryFile* Load() {
    const std::string store = StorePath();
    if (store != path_) {
      path_ = store;
      pending_.clear();
      Forget();
    }
    struct stat status {};
    if (::stat(store.c_str(), &status) != 0) {
      if (errno != ENOENT) return Forget();
      // Created once; when it cannot be written it still serves for this run.
      if (!known_ || identity_.inode != 0) {
        cached_ = WorkstationRegistry();
        identity_ = FileIdentity{};
        known_ = true;
        if (Writable(RealFile(store)) && Save(RealFile(store), *cached_, TSave::Create)) Remember();
        Replay();
      }
      return cached_ ? &*cached_ : nullptr;
    }
    if (!S_ISREG(status.st_mode)) return Forget();
    if (known_ && identity_ == FileIdentity::Of(status)) return cached_ ? &*cached_ : nullptr;
    std::ifstream in(store, std::ios::binary);
    if (!in) return Forget();
    known_ = true;
    identity_ = FileIdentity::Of(status);
    try {
      cached_ = TRegistryFile::Read(in);
      Replay();
    } catch (const ERegistryException&) {
      cached_.reset();
    }
    return cached_ ? &*cached_ : nullptr;
  }

  // Makes the pending writes again on a store read anew; those it no longer takes are dropped.
  void Replay() {
    std::vector<TOperation> kept;
    for (TOperation& operation : pending_) {
      if (operation(*cached_) != TChange::Refused) kept.push_back(std::move(operation));
    }
    pending_ = std::move(kept);
  }

  const TRegistryFile* Forget() {
    cached_.reset();
    known_ = false;
    return nullptr;
  }

  // Notes the file just written as the one the parsed store stands for.
  void Remember() {
    struct stat status {};
    if (::stat(path_.c_str(), &status) == 0) {
      identity_ = FileIdentity::Of(status);
    } else {
      known_ = false;
    }
  }

  bool Change(const TOperation& operation) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!Writable(RealFile(StorePath())) || !Load()) return false;
    switch (operation(*cached_)) {
      case TChange::Refused: return false;
      case TChange::Unchanged: return true;
      case TChange::Changed: break;
    }
    pending_.push_back(operation);
    return true;
  }

  std::mutex mutex_;
  std::string path_;
  std::optional<TRegistryFile> cached_;
  FileIdentity identity_;
  bool known_ = false;  // whether cached_ stands for the file with identity_ (a missing file: inode 0)
  std::vector<TOperation> pending_;  // writes not yet in the file, in order
};

}  // namespace

template <>
Registry& PlatformAdapter<Registry>() {
  static RegistryPosix adapter;
  return adapter;
}

}  // namespace orvane
