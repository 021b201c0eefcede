// The registry on Linux: a store of our own in the registry's export format. The store is
// parsed once and read again only when its file changed, so that several processes, and a hand
// that edits it, see one registry. Writes go to the parsed store at once and to the file when
// the accessor that made them is done (Flush), under the store's lock (StoreFile_posix.h). When
// another program changed the file meanwhile, the writes are made again on its new content first.

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/Port.h"
#include "provisioning/DriverRegistration.h"
#include "provisioning/registry/Registry.h"
#include "provisioning/registry/store/RegistryFile.h"
#include "provisioning/registry/store/StoreFile_posix.h"

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

// What a workstation's registry holds for this program. The device component is built in, so
// its drivers count as installed.
TRegistryFile WorkstationRegistry() {
  TRegistryFile file;
  file.CreateKey(TRootKey::LocalMachine, kRegistryProbeKey);
  file.CreateKey(TRootKey::ClassesRoot, kDriverFeatureKey);
  TRegValue registered;
  registered.type = kRegSz;
  file.SetValue(TRootKey::ClassesRoot, kDriverFeatureKey, kDriverFeatureValue, registered);
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

enum class TChange { Refused, Unchanged, Changed };

using TOperation = std::function<TChange(TRegistryFile&)>;

class RegistryPosix : public Registry {
 public:
  bool OpenKey(TRootKey root, const std::string& path, bool write) override {
    std::lock_guard<std::mutex> guard(mutex_);
    const TRegistryFile* file = Load();
    if (!file || !file->KeyExists(root, path)) return false;
    return !write || MayWriteStoreFile(path_);
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
    std::optional<TStoreFile> store = TStoreFile::Lock(StorePath(), true);
    // A store that went missing is made again first, as a workstation's registry.
    if (!store && errno == ENOENT && Load()) store = TStoreFile::Lock(StorePath(), true);
    const bool saved = store && Load(&*store) && store->Save(*cached_);
    pending_.clear();
    if (!saved) {
      // The parsed store holds writes the file does not: read the file again next time.
      Forget();
      return false;
    }
    identity_ = FileIdentity::Of(store->Status());
    return true;
  }

 private:
  // The store as its file now holds it with this process's pending writes, read again only
  // when the file changed, from Held when this process holds the store's lock already. A
  // missing store is created as a workstation's registry; nothing when the store cannot be read
  // or is no registry export (it is then never overwritten).
  const TRegistryFile* Load(const TStoreFile* held = nullptr) {
    const std::string store = StorePath();
    if (store != path_) {
      path_ = store;
      pending_.clear();
      Forget();
    }
    struct stat status {};
    if (held) {
      status = held->Status();
    } else if (::stat(store.c_str(), &status) != 0) {
      return errno == ENOENT ? Create() : Forget();
    }
    if (!S_ISREG(status.st_mode)) return Forget();
    if (known_ && identity_ == FileIdentity::Of(status)) return Cached();
    std::optional<TStoreFile> reader;
    if (!held) {
      reader = TStoreFile::Lock(store, false);
      if (!reader) return errno == ENOENT ? Create() : Forget();
      held = &*reader;
    }
    known_ = true;
    identity_ = FileIdentity::Of(held->Status());
    try {
      cached_ = held->Read();
      Replay();
    } catch (const ERegistryException&) {
      cached_.reset();
    }
    return Cached();
  }

  // Created once; when it cannot be written it still serves for this run.
  const TRegistryFile* Create() {
    if (!known_ || identity_.inode != 0) {
      cached_ = WorkstationRegistry();
      identity_ = FileIdentity{};
      known_ = true;
      struct stat created {};
      if (MayWriteStoreFile(path_) && CreateStoreFile(path_, *cached_, created)) identity_ = FileIdentity::Of(created);
      Replay();
    }
    return Cached();
  }

  // Makes the pending writes again on a store read anew; those it no longer takes are dropped.
  void Replay() {
    std::vector<TOperation> kept;
    for (TOperation& operation : pending_) {
      if (operation(*cached_) != TChange::Refused) kept.push_back(std::move(operation));
    }
    pending_ = std::move(kept);
  }

  const TRegistryFile* Cached() const { return cached_ ? &*cached_ : nullptr; }

  const TRegistryFile* Forget() {
    cached_.reset();
    known_ = false;
    return nullptr;
  }

  bool Change(const TOperation& operation) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!MayWriteStoreFile(StorePath()) || !Load()) return false;
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
