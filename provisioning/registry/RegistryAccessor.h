#pragma once
// The registry accessor the provisioning works with, over the registry port.

#include <cstdint>
#include <string>

#include "provisioning/registry/Registry.h"

namespace orvane {

// A handle on the registry with a current root key and at most one open key. A path that begins
// with "\" starts at the root key; one without is relative to the open key, or to the root key
// when none is open. Destroying it closes its open key and saves what it wrote.
class TRegistryAccessor {
 public:
  TRegistryAccessor() = default;
  ~TRegistryAccessor();
  TRegistryAccessor(const TRegistryAccessor&) = delete;
  TRegistryAccessor& operator=(const TRegistryAccessor&) = delete;

  TRootKey RootKey() const { return root_; }
  // Changing the root key closes the open key.
  void SetRootKey(TRootKey root);

  bool HasOpenKey() const { return open_; }
  // The open key's path below the root, without a leading "\"; "" when none is open.
  const std::string& CurrentPath() const { return path_; }
  bool OpenForWriting() const { return open_ && write_; }

  // Opens Key with full access, creating it (and its parents) first when CanCreate.
  bool OpenKey(const std::string& key, bool canCreate);
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  // Creates Key with full access and closes it again; the open key stays as it was.
  bool CreateKey(const std::string& key);
  bool DeleteKey(const std::string& key);

  // Values of the open key, or of the root key when none is open.
  bool ValueExists(const std::string& name);
  // Raises ERegistryException when the value is missing or not a REG_DWORD.
  int32_t ReadInteger(const std::string& name);
  // Raise ERegistryException when the value cannot be written.
  void WriteInteger(const std::string& name, int32_t value);
  void WriteString(const std::string& name, const std::string& value);
  // Saves what was written so far; raises ERegistryException when it cannot be saved.
  void Flush();

  // The full path below the root that Key names from the accessor's position.
  std::string Resolve(const std::string& key) const;

 private:
  void RaiseWhenReadOnly(const std::string& name) const;

  TRootKey root_ = TRootKey::CurrentUser;
  bool open_ = false;
  bool write_ = false;
  std::string path_;
};

}  // namespace orvane
