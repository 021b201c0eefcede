// Any registry export: a file that parses is written back byte for byte. Then, key by key, in
// whatever encoding, line breaks and layout the export came with: a value set reads back as it
// was set, the rights probe's create-and-delete leaves the bytes as they were, a write the export
// could not read back is refused and changes nothing, a deleted key stays deleted; read again,
// the export holds the same keys and values as the one it was written from.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "provisioning/registry/store/CaseFolding.h"
#include "provisioning/registry/store/RegistryFile.h"

namespace {

using orvane::TRegistryFile;
using orvane::TRegValue;
using orvane::TRootKey;

void Require(bool condition) {
  if (!condition) std::abort();
}

struct KeyName {
  TRootKey root;
  std::string path;
};

KeyName Split(const std::string& fullName) {
  const size_t separator = fullName.find('\\');
  for (TRootKey root : {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                        TRootKey::CurrentConfig}) {
    if (fullName.compare(0, separator, orvane::RootKeyName(root)) == 0) return {root, fullName.substr(separator + 1)};
  }
  std::abort();
}

// The keys as Windows tells them apart: a key's spelling comes from the first section that
// creates it, which a deletion of that section's key can change.
std::vector<std::string> Keys(const TRegistryFile& file) {
  std::vector<std::string> names = file.KeyNames();
  for (std::string& name : names) name = orvane::FoldCase(name);
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  TRegistryFile file;
  try {
    file = TRegistryFile::Parse(bytes);
  } catch (const orvane::ERegistryException&) {
    return 0;
  }
  Require(file.Serialize() == bytes);

  const TRegValue number{orvane::kRegDword, "", static_cast<uint32_t>(size)};
  const TRegValue text{orvane::kRegSz, "Donn\xC3\xA9" "es \"C:\\\\x\""};
  std::vector<KeyName> keys;
  for (const std::string& name : file.KeyNames()) {
    const KeyName key = Split(name);
    const bool exists = file.KeyExists(key.root, key.path);  // an earlier key's deletion may have taken it
    switch (keys.size() % 3) {
      case 0: {
        Require(file.SetValue(key.root, key.path, "Fuzz", number) == exists);
        Require(file.SetValue(key.root, key.path, "", text) == exists);
        const std::string before = file.Serialize();
        Require(!file.SetValue(key.root, key.path, "Deux\nlignes", number));
        Require(!file.SetValue(key.root, key.path, "Fuzz", TRegValue{orvane::kRegSz, "\xC7\xD1"}));
        Require(file.Serialize() == before);
        break;
      }
      case 1: {
        const std::string probe = key.path + "\\KALD_TEST";
        if (!exists || file.KeyExists(key.root, probe)) break;
        const std::string before = file.Serialize();
        Require(file.CreateKey(key.root, probe));
        Require(file.DeleteKey(key.root, probe));
        Require(file.Serialize() == before);
        break;
      }
      default:
        Require(file.DeleteKey(key.root, key.path) == exists);
        Require(!file.KeyExists(key.root, key.path));
    }
    keys.push_back(key);
    if (keys.size() == 32) break;
  }
  const std::string written = file.Serialize();
  const TRegistryFile again = TRegistryFile::Parse(written);
  Require(again.Serialize() == written);
  Require(Keys(again) == Keys(file));
  for (const KeyName& key : keys) {
    Require(again.FindValue(key.root, key.path, "fuzz") == file.FindValue(key.root, key.path, "Fuzz"));
    Require(again.FindValue(key.root, key.path, "") == file.FindValue(key.root, key.path, ""));
  }
  return 0;
}
