#include "provisioning/registry/store/StoreFile_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <istream>
#include <utility>

namespace orvane {

namespace {

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

std::filesystem::path FolderOf(const std::filesystem::path& file) {
  return file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path();
}

bool SameFile(const struct stat& one, const struct stat& other) {
  return one.st_dev == other.st_dev && one.st_ino == other.st_ino;
}

bool TakeLock(int fd, int operation) {
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return false;
  }
  return true;
}

// Reads a file through its descriptor, noting a failed read rather than taking it for the end.
class DescriptorReader : public std::streambuf {
 public:
  explicit DescriptorReader(int fd) : fd_(fd) {}
  bool Failed() const { return failed_; }

 protected:
  int_type underflow() override {
    ssize_t length;
    while ((length = ::read(fd_, buffer_, sizeof buffer_)) < 0 && errno == EINTR) {
    }
    failed_ = length < 0;
    if (length <= 0) return traits_type::eof();
    setg(buffer_, buffer_, buffer_ + length);
    return traits_type::to_int_type(*gptr());
  }

 private:
  int fd_;
  bool failed_ = false;
  char buffer_[1 << 16];
};

bool WriteAll(int fd, const std::string& bytes, off_t offset) {
  for (size_t written = 0; written < bytes.size();) {
    const ssize_t n = ::pwrite(fd, bytes.data() + written, bytes.size() - written, offset + static_cast<off_t>(written));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    written += static_cast<size_t>(n);
  }
  return true;
}

bool WriteExport(int fd, const TRegistryFile& content) {
  off_t offset = 0;
  return content.Write([&](const std::string& bytes) {
    if (!WriteAll(fd, bytes, offset)) return false;
    offset += static_cast<off_t>(bytes.size());
    return true;
  });
}

// So that the name a new file took survives a power cut. A file system that keeps folders in
// order by itself says so with EINVAL.
bool SyncFolder(const std::filesystem::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  ::close(fd);
  return synced;
}

std::string TemporaryPrefix(const std::filesystem::path& target) { return target.filename().string() + ".tmp"; }

// A new file beside the store, locked while it lives, so that no other save takes it for one
// that a killed save left behind.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::filesystem::path& target)
      : path_(FolderOf(target) / (TemporaryPrefix(target) + std::to_string(::getpid()))) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd_ >= 0 && !TakeLock(fd_, LOCK_EX)) Drop();
  }
  ~TemporaryFile() { Drop(); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  bool Made() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  const std::filesystem::path& Path() const { return path_; }
  // Once the file has the store's name, its own is not to be removed.
  void Named() { named_ = true; }

 private:
  void Drop() {
    if (fd_ < 0) return;
    if (!named_) ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
  }

  std::filesystem::path path_;
  int fd_ = -1;
  bool named_ = false;
};

bool WrittenWhole(const TemporaryFile& file, const TRegistryFile& content) {
  return WriteExport(file.Descriptor(), content) && ::fsync(file.Descriptor()) == 0;
}

// The temporary files of saves that died on their way: no live save holds their lock.
void RemoveLeftTemporaryFiles(const std::filesystem::path& target) {
  const std::string prefix = TemporaryPrefix(target);
  const std::string own = prefix + std::to_string(::getpid());
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(FolderOf(target), error)) {
    const std::string name = entry.path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 || name == own ||
        name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) {
      continue;
    }
    const int fd = ::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {}, named {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        ::lstat(entry.path().c_str(), &named) == 0 && SameFile(opened, named)) {
      ::unlink(entry.path().c_str());
    }
    ::close(fd);
  }
}

enum class TReplaced { Done, Failed, NotThisWay };

// Writes Content to a new file with the store's mode, owner and group, gives it the store's
// name, and Store the new file's status. NotThisWay when no such file can be made here: the
// folder is closed to this user, or the store's owner or group is one this user cannot give.
TReplaced ReplaceByNewFile(const std::filesystem::path& target, struct stat& store, const TRegistryFile& content) {
  TemporaryFile file(target);
  if (!file.Made()) return TReplaced::NotThisWay;
  if (::fchmod(file.Descriptor(), store.st_mode & 07777) != 0) return TReplaced::Failed;
  if ((store.st_uid != ::geteuid() || store.st_gid != ::getegid()) &&
      ::fchown(file.Descriptor(), store.st_uid, store.st_gid) != 0) {
    return errno == EPERM ? TReplaced::NotThisWay : TReplaced::Failed;
  }
  if (!WrittenWhole(file, content) || ::rename(file.Path().c_str(), target.c_str()) != 0) return TReplaced::Failed;
  file.Named();
  return SyncFolder(FolderOf(target)) && ::fstat(file.Descriptor(), &store) == 0 ? TReplaced::Done : TReplaced::Failed;
}

}  // namespace

TStoreFile::TStoreFile(std::filesystem::path target, int fd, bool writable, const struct stat& status)
    : target_(std::move(target)), fd_(fd), writable_(writable), status_(status) {}

TStoreFile::TStoreFile(TStoreFile&& other) noexcept
    : target_(std::move(other.target_)), fd_(std::exchange(other.fd_, -1)), writable_(other.writable_),
      status_(other.status_) {}

TStoreFile& TStoreFile::operator=(TStoreFile&& other) noexcept {
  if (this == &other) return *this;
  if (fd_ >= 0) ::close(fd_);
  target_ = std::move(other.target_);
  fd_ = std::exchange(other.fd_, -1);
  writable_ = other.writable_;
  status_ = other.status_;
  return *this;
}

TStoreFile::~TStoreFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<TStoreFile> TStoreFile::Lock(const std::filesystem::path& file, bool exclusive) {
  const std::filesystem::path target = RealFile(file);
  for (;;) {
    // Not blocking on a FIFO at the store's name. A save writes through the file when it cannot
    // replace it; a user who may only read the store may still take its lock.
    bool writable = exclusive;
    int fd = writable ? ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC) : -1;
    if (fd < 0) {
      writable = false;
      fd = ::open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) return std::nullopt;
    struct stat opened {}, named {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode) || !TakeLock(fd, exclusive ? LOCK_EX : LOCK_SH)) {
      ::close(fd);
      errno = EINVAL;
      return std::nullopt;
    }
    // A save that held the lock may have given the store's name to a new file meanwhile.
    if (::stat(target.c_str(), &named) == 0 && SameFile(opened, named)) {
      ::fstat(fd, &opened);
      return TStoreFile(target, fd, writable, opened);
    }
    ::close(fd);
  }
}

TRegistryFile TStoreFile::Read() const {
  ::lseek(fd_, 0, SEEK_SET);
  DescriptorReader reader(fd_);
  std::istream in(&reader);
  TRegistryFile file = TRegistryFile::Read(in);
  if (reader.Failed()) throw ERegistryException("Lecture du registre impossible");
  return file;
}

bool TStoreFile::Save(const TRegistryFile& content) {
  RemoveLeftTemporaryFiles(target_);
  switch (ReplaceByNewFile(target_, status_, content)) {
    case TReplaced::Done: return true;
    case TReplaced::Failed: return false;
    case TReplaced::NotThisWay: return WriteInPlace(content);
  }
  return false;
}

bool TStoreFile::WriteInPlace(const TRegistryFile& content) {
  if (!writable_) return false;
  const std::string bytes = content.Serialize();
  const auto size = static_cast<off_t>(bytes.size());
  // A disk without room for it refuses it before a byte of the store changes.
  if (size > status_.st_size && ::posix_fallocate(fd_, 0, size) != 0) return false;
  return WriteAll(fd_, bytes, 0) && ::ftruncate(fd_, size) == 0 && ::fsync(fd_) == 0 && ::fstat(fd_, &status_) == 0;
}

bool CreateStoreFile(const std::filesystem::path& store, const TRegistryFile& content, struct stat& created) {
  const std::filesystem::path target = RealFile(store);
  std::error_code error;
  std::filesystem::create_directories(FolderOf(target), error);
  TemporaryFile file(target);
  // A link, unlike a rename, never takes the place of a store another process made first.
  if (!file.Made() || !WrittenWhole(file, content) || ::link(file.Path().c_str(), target.c_str()) != 0) return false;
  ::unlink(file.Path().c_str());
  file.Named();
  return SyncFolder(FolderOf(target)) && ::fstat(file.Descriptor(), &created) == 0;
}

bool MayWriteStoreFile(const std::filesystem::path& store) {
  const std::filesystem::path target = RealFile(store);
  std::error_code error;
  if (std::filesystem::exists(target, error)) return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
  std::filesystem::path folder = FolderOf(target);
  while (!folder.empty() && folder != folder.root_path() && !std::filesystem::exists(folder, error)) {
    folder = folder.parent_path();
  }
  return ::faccessat(AT_FDCWD, folder.empty() ? "." : folder.c_str(), W_OK, AT_EACCESS) == 0;
}

}  // namespace orvane
