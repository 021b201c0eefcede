#pragma once
// The registry port. It speaks in whole key paths under a root key, so each adapter checks access
// where the key really is; TRegistryAccessor adds the root key, the one open key and relative
// paths on top of it.

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

}  // namespace orvane
