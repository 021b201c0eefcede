#pragma once
// The store's file on Linux. It is read under a shared lock and saved under an exclusive one,
// the store file's own lock, which every process of every user who may open the store can take:
// writers take turns, and no reader sees a save half done. A save writes a new file beside the
// store, with the store's mode, owner and group, and gives it the store's name, so that a crash
// leaves the old store or the new one; a store this user may write but cannot give a new file
// the owner of (another user's, or in a folder closed to this user) is written in place instead.
// A save removes the temporary files that saves killed on their way left behind, and syncs the
// folder once the store's name is the new file's. A link to the store is followed to its target.

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

#include "provisioning/registry/store/RegistryFile.h"

namespace orvane {

class TStoreFile {
 public:
  // The store at File, locked; taken again when another save replaced it while this one waited.
  // Nothing when it cannot be opened or is no regular file; errno is ENOENT when it is missing.
  static std::optional<TStoreFile> Lock(const std::filesystem::path& file, bool exclusive);
  TStoreFile(TStoreFile&& other) noexcept;
  TStoreFile& operator=(TStoreFile&& other) noexcept;
  ~TStoreFile();

  // Of the file that is locked, or once saved, of the file saved.
  const struct stat& Status() const { return status_; }
  // Raises ERegistryException when it is no registry export or cannot be read whole.
  TRegistryFile Read() const;
  // Replaces what the file holds with Content; false when it cannot. Needs the exclusive lock.
  bool Save(const TRegistryFile& content);

 private:
  TStoreFile(std::filesystem::path target, int fd, bool writable, const struct stat& status);
  bool WriteInPlace(const TRegistryFile& content);

  std::filesystem::path target_;  // the store's real file
  int fd_ = -1;
  bool writable_ = false;
  struct stat status_ {};
};

// Makes the missing store at File hold Content, and gives the status of the file made; false
// when it cannot be made or another process made it first.
bool CreateStoreFile(const std::filesystem::path& file, const TRegistryFile& content, struct stat& created);
// Whether this process may save the store at File: write the file where it exists, else make it.
bool MayWriteStoreFile(const std::filesystem::path& file);

}  // namespace orvane
