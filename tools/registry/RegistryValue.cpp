// Prints one value of a registry export as a version 5 export writes its data
// ("dword:00000000", "\"text\"", "hex(2):..."), read through the store's own parser, so that
// scripts check a store in any of its formats and encodings without parsing it themselves.
// Usage: orvane_registry_tool FILE.reg 'HKEY_CURRENT_USER\Key\Subkey' NAME
// Exits 1 when the key or the value is missing, 2 when the file cannot be read as an export.

#include <cctype>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <utility>

#include "provisioning/registry/store/ExportValue.h"
#include "provisioning/registry/store/RegistryFile.h"

namespace {

using orvane::TRootKey;

bool SameFolded(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// "HKEY_CURRENT_USER\Control Panel" as its root key and the path below it.
std::optional<std::pair<TRootKey, std::string>> SplitKeyName(const std::string& name) {
  const size_t separator = name.find('\\');
  const std::string root = name.substr(0, separator);
  const std::string path = separator == std::string::npos ? "" : name.substr(separator + 1);
  for (TRootKey candidate : {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                             TRootKey::CurrentConfig}) {
    if (SameFolded(root, orvane::RootKeyName(candidate))) return std::make_pair(candidate, path);
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: orvane_registry_tool FILE.reg KEY NAME\n";
    return 2;
  }
  const std::optional<std::pair<TRootKey, std::string>> key = SplitKeyName(argv[2]);
  if (!key) {
    std::cerr << "orvane_registry_tool: not a key name: " << argv[2] << "\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "orvane_registry_tool: cannot open " << argv[1] << "\n";
    return 2;
  }
  try {
    const orvane::TRegistryFile file = orvane::TRegistryFile::Read(in);
    const std::optional<orvane::TRegValue> value = file.FindValue(key->first, key->second, argv[3]);
    if (!value) {
      std::cerr << "orvane_registry_tool: no value " << argv[3] << " under " << argv[2] << "\n";
      return 1;
    }
    const std::string line = orvane::FormatValueLine(argv[3], *value, true).value();
    std::cout << line.substr(orvane::ReadValueName(line).value().dataStart) << "\n";
    return 0;
  } catch (const orvane::ERegistryException& error) {
    std::cerr << "orvane_registry_tool: " << argv[1] << ": " << error.what() << "\n";
    return 2;
  }
}
