#pragma once
// The registry port and its accessor. The port speaks in whole key paths under a root key, so
// each adapter checks access where the key really is; the accessor adds the root key, the one
// open key and relative paths on top of it.

#include <cstdint>
#include <string>
#include <vector>

#include "common/Exceptions.h"

namespace orvane {

ORVANE_DECLARE_EXCEPTION(ERegistryException, Exception);

enum class TRootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// The name a registry export gives the root key ("HKEY_CURRENT_USER").
const char* RootKeyName(TRootKey root);

// Registry value types by their Windows numbers.
enum : uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegExpandSz = 2,
  kRegBinary = 3,
  kRegDword = 4,
  kRegMultiSz = 7,
  kRegQword = 11,
};

struct TRegValue {
  uint32_t type = kRegNone;
  std::string text;           // kRegSz, UTF-8
  uint32_t dword = 0;         // kRegDword
  std::vector<uint8_t> raw;   // every other type, as stored
  bool operator==(const TRegValue&) const = default;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Paths are key names joined by "\" below the root; "" is the root key itself.
  // Whether the existing key opens with read access, or with full access when Write.
  virtual bool OpenKey(TRootKey root, const std::string& path, bool write) = 0;
  // Creates the key and its missing parents with full access; an existing key just opens.
  virtual bool CreateKey(TRootKey root, const std::string& path) = 0;
  // Deletes the key and all its subkeys.
  virtual bool DeleteKey(TRootKey root, const std::string& path) = 0;
  // Reads a value; false when the key or the value cannot be read.
  virtual bool ReadValue(TRootKey root, const std::string& path, const std::string& name, TRegValue& value) = 0;
  virtual bool WriteValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) = 0;
  // Saves what was written so far where a store gathers writes before it saves them; false when
  // it cannot. The Windows registry keeps each write itself, so there is nothing to do there.
  virtual bool Flush() { return true; }
};

// A handle on the registry with a current root key and at most one open key. A path that begins
// with "\" starts at the root key; one without is relative to the open key, or to the root key
// when none is open. Destroying it closes its open key and saves what it wrote.
class TRegistry {
 public:
  TRegistry() = default;
  ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

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
