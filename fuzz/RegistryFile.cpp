// Any registry export: a file that parses writes an export that reads back to the same keys,
// and writing that again changes nothing. A value then set in each key, in whatever encoding,
// line breaks and layout the export came with, reads back as it was set, and the keys stay.
#include <strings.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "provisioning/registry/store/RegistryFile.h"

namespace {

using orvane::TRegistryFile;
using orvane::TRootKey;

void Require(bool condition) {
  if (!condition) std::abort();
}

bool SplitName(const std::string& fullName, TRootKey& root, std::string& path) {
  const size_t separator = fullName.find('\\');
  const std::string rootName = fullName.substr(0, separator);
  for (TRootKey candidate : {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                             TRootKey::CurrentConfig}) {
    if (strcasecmp(rootName.c_str(), orvane::RootKeyName(candidate)) != 0) continue;
    root = candidate;
    path = separator == std::string::npos ? "" : fullName.substr(separator + 1);
    return true;
  }
  return false;
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
  const std::string written = file.Serialize();
  const TRegistryFile again = TRegistryFile::Parse(written);
  Require(again.Serialize() == written);
  Require(again.KeyNames() == file.KeyNames());

  orvane::TRegValue number;
  number.type = orvane::kRegDword;
  number.dword = static_cast<uint32_t>(size);
  orvane::TRegValue text;
  text.type = orvane::kRegSz;
  text.text = "Donn\xC3\xA9" "es \"C:\\\\x\"";
  std::vector<std::pair<TRootKey, std::string>> keys;
  for (const std::string& name : file.KeyNames()) {
    TRootKey root;
    std::string path;
    Require(SplitName(name, root, path));
    Require(file.SetValue(root, path, "Fuzz", number));
    Require(file.SetValue(root, path, "", text));
    keys.emplace_back(root, path);
    if (keys.size() == 32) break;
  }
  const TRegistryFile changed = TRegistryFile::Parse(file.Serialize());
  Require(changed.KeyNames() == file.KeyNames());
  for (const auto& [root, path] : keys) {
    Require(changed.FindValue(root, path, "fuzz") == number);
    Require(changed.FindValue(root, path, "") == text);
  }
  return 0;
}
