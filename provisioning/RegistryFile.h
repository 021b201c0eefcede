#pragma once
// A registry held in memory and kept in the registry's text export format
// ("Windows Registry Editor Version 5.00"): one section per key, "dword:", string and "hex"
// values. Key and value names compare without regard to letter case, as on Windows.

#include <map>
#include <string>
#include <vector>

#include "provisioning/Registry.h"

namespace orvane {

class TRegistryFile {
 public:
  // Parses an export in UTF-16LE with its byte-order mark, or in UTF-8. Raises
  // ERegistryException on a file that is not a registry export.
  static TRegistryFile Parse(const std::string& bytes);
  // The export in UTF-16LE with a byte-order mark and CR LF line ends, as the registry editor
  // writes it.
  std::string Serialize() const;

  bool KeyExists(TRootKey root, const std::string& path) const;
  void CreateKey(TRootKey root, const std::string& path);
  // Deletes the key and its subkeys; false when the key did not exist or is a root key.
  bool DeleteKey(TRootKey root, const std::string& path);
  const TRegValue* FindValue(TRootKey root, const std::string& path, const std::string& name) const;
  // The key must exist.
  bool SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value);
  // Full key names ("HKEY_CURRENT_USER\Control Panel") in file order.
  std::vector<std::string> KeyNames() const;

 private:
  struct Key {
    std::string name;  // full name as first written
    std::vector<std::pair<std::string, TRegValue>> values;
  };
  Key* Find(TRootKey root, const std::string& path);
  const Key* Find(TRootKey root, const std::string& path) const;
  void AddKey(const std::string& fullName);

  std::map<std::string, Key> keys_;  // by folded full name: parents sort before their subkeys
};

}  // namespace orvane
