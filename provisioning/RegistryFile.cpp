#include "provisioning/RegistryFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "common/TextConversion.h"

namespace orvane {

namespace {

const char kHeader[] = "Windows Registry Editor Version 5.00";

std::string Fold(const std::string& text) {
  std::string folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return folded;
}

std::string FullName(TRootKey root, const std::string& path) {
  return path.empty() ? std::string(RootKeyName(root)) : std::string(RootKeyName(root)) + "\\" + path;
}

std::string DecodeText(const std::string& bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    return Utf16ToUtf8(units);
  }
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
  return bytes;
}

std::vector<uint8_t> Utf16Bytes(const std::string& text, bool terminated) {
  std::u16string units = Utf8ToUtf16(text);
  if (terminated) units.push_back(u'\0');
  std::vector<uint8_t> bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return bytes;
}

std::string TextOfUtf16Bytes(const std::vector<uint8_t>& bytes) {
  std::u16string units;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
  while (!units.empty() && units.back() == u'\0') units.pop_back();
  return Utf16ToUtf8(units);
}

[[noreturn]] void Malformed(size_t line) {
  throw ERegistryException("Fichier de registre invalide, ligne " + std::to_string(line));
}

// A quoted string starting at Pos; Pos ends after the closing quote.
std::string ReadQuoted(const std::string& line, size_t& pos, size_t lineNumber) {
  if (pos >= line.size() || line[pos] != '"') Malformed(lineNumber);
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    if (line[pos] == '\\' && pos + 1 < line.size()) {
      out.push_back(line[++pos]);
    } else if (line[pos] == '"') {
      ++pos;
      return out;
    } else {
      out.push_back(line[pos]);
    }
  }
  Malformed(lineNumber);
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::vector<uint8_t> ParseHexBytes(const std::string& text, size_t lineNumber) {
  std::vector<uint8_t> bytes;
  std::string digits;
  auto flush = [&] {
    if (digits.empty()) return;
    if (digits.size() > 2) Malformed(lineNumber);
    bytes.push_back(static_cast<uint8_t>(std::stoul(digits, nullptr, 16)));
    digits.clear();
  };
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) {
      digits.push_back(c);
    } else if (c == ',') {
      flush();
    } else if (c != ' ' && c != '\t') {
      Malformed(lineNumber);
    }
  }
  flush();
  return bytes;
}

TRegValue ParseData(const std::string& data, size_t lineNumber) {
  TRegValue value;
  if (!data.empty() && data.front() == '"') {
    size_t pos = 0;
    value.type = kRegSz;
    value.text = ReadQuoted(data, pos, lineNumber);
    return value;
  }
  const std::string folded = Fold(data);
  if (folded.rfind("dword:", 0) == 0) {
    const std::string digits = data.substr(6);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) {
      Malformed(lineNumber);
    }
    value.type = kRegDword;
    value.dword = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    return value;
  }
  if (folded.rfind("hex", 0) == 0) {
    size_t colon = folded.find(':');
    if (colon == std::string::npos) Malformed(lineNumber);
    uint32_t type = kRegBinary;
    if (colon > 3) {
      if (folded[3] != '(' || folded[colon - 1] != ')') Malformed(lineNumber);
      try {
        type = static_cast<uint32_t>(std::stoul(folded.substr(4, colon - 5), nullptr, 16));
      } catch (const std::exception&) {
        Malformed(lineNumber);
      }
    }
    value.type = type;
    const std::vector<uint8_t> bytes = ParseHexBytes(data.substr(colon + 1), lineNumber);
    if (type == kRegSz) {
      value.text = TextOfUtf16Bytes(bytes);
    } else if (type == kRegDword && bytes.size() == 4) {
      value.dword = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    } else {
      value.raw = bytes;
    }
    return value;
  }
  Malformed(lineNumber);
}

std::string HexData(uint32_t type, const std::vector<uint8_t>& bytes) {
  char buffer[16];
  std::string out;
  if (type == kRegBinary) {
    out = "hex:";
  } else {
    std::snprintf(buffer, sizeof buffer, "hex(%x):", static_cast<unsigned>(type));
    out = buffer;
  }
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buffer, sizeof buffer, i ? ",%02x" : "%02x", bytes[i]);
    out += buffer;
  }
  return out;
}

std::string DataText(const TRegValue& value) {
  if (value.type == kRegSz) {
    // A line break inside a string would end the line of the export: such text goes as hex.
    if (value.text.find_first_of("\r\n") != std::string::npos) return HexData(kRegSz, Utf16Bytes(value.text, true));
    return Quote(value.text);
  }
  if (value.type == kRegDword) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value.dword));
    return buffer;
  }
  return HexData(value.type, value.raw);
}

// Splits "HKEY_…\rest" into its root key and the rest.
bool SplitFullName(const std::string& fullName, TRootKey& root, std::string& path) {
  const size_t separator = fullName.find('\\');
  const std::string rootName = Fold(fullName.substr(0, separator));
  for (TRootKey candidate : {TRootKey::ClassesRoot, TRootKey::CurrentUser, TRootKey::LocalMachine, TRootKey::Users,
                             TRootKey::CurrentConfig}) {
    if (rootName == Fold(RootKeyName(candidate))) {
      root = candidate;
      path = separator == std::string::npos ? std::string() : fullName.substr(separator + 1);
      return true;
    }
  }
  return false;
}

}  // namespace

TRegistryFile TRegistryFile::Parse(const std::string& bytes) {
  const std::string text = DecodeText(bytes);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }

  TRegistryFile file;
  Key* current = nullptr;
  bool headerSeen = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t lineNumber = i + 1;
    std::string line = lines[i];
    const size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == ';') continue;
    line = line.substr(first);
    if (!headerSeen) {
      if (line != kHeader && line != "REGEDIT4") Malformed(lineNumber);
      headerSeen = true;
      continue;
    }
    if (line.front() == '[') {
      const size_t close = line.rfind(']');
      if (close == std::string::npos) Malformed(lineNumber);
      const bool removal = line.size() > 1 && line[1] == '-';
      const std::string fullName = line.substr(removal ? 2 : 1, close - (removal ? 2 : 1));
      TRootKey root;
      std::string path;
      if (!SplitFullName(fullName, root, path)) Malformed(lineNumber);
      while (!path.empty() && path.back() == '\\') path.pop_back();
      if (removal) {
        file.DeleteKey(root, path);
        current = nullptr;
      } else {
        file.CreateKey(root, path);
        current = file.Find(root, path);
      }
      continue;
    }
    if (!current) Malformed(lineNumber);
    // Long hex values continue on the next lines after a trailing "\".
    while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
      line.pop_back();
      const std::string& next = lines[++i];
      line += next.substr(std::min(next.find_first_not_of(" \t"), next.size()));
    }
    size_t pos = 0;
    std::string name;
    if (line.front() == '@') {
      pos = 1;
    } else {
      name = ReadQuoted(line, pos, lineNumber);
    }
    if (pos >= line.size() || line[pos] != '=') Malformed(lineNumber);
    const std::string data = line.substr(pos + 1);
    TRootKey root;
    std::string path;
    SplitFullName(current->name, root, path);
    if (data == "-") {
      auto& values = current->values;
      values.erase(std::remove_if(values.begin(), values.end(),
                                  [&](const auto& entry) { return Fold(entry.first) == Fold(name); }),
                   values.end());
      continue;
    }
    file.SetValue(root, path, name, ParseData(data, lineNumber));
  }
  if (!headerSeen) Malformed(1);
  return file;
}

std::string TRegistryFile::Serialize() const {
  std::string text = std::string(kHeader) + "\r\n\r\n";
  for (const auto& [folded, key] : keys_) {
    text += "[" + key.name + "]\r\n";
    for (const auto& [name, value] : key.values) {
      text += (name.empty() ? std::string("@") : Quote(name)) + "=" + DataText(value) + "\r\n";
    }
    text += "\r\n";
  }
  std::string bytes = "\xFF\xFE";
  for (uint8_t byte : Utf16Bytes(text, false)) bytes.push_back(static_cast<char>(byte));
  return bytes;
}

TRegistryFile::Key* TRegistryFile::Find(TRootKey root, const std::string& path) {
  auto found = keys_.find(Fold(FullName(root, path)));
  return found == keys_.end() ? nullptr : &found->second;
}

const TRegistryFile::Key* TRegistryFile::Find(TRootKey root, const std::string& path) const {
  auto found = keys_.find(Fold(FullName(root, path)));
  return found == keys_.end() ? nullptr : &found->second;
}

void TRegistryFile::AddKey(const std::string& fullName) {
  keys_.try_emplace(Fold(fullName), Key{fullName, {}});
}

bool TRegistryFile::KeyExists(TRootKey root, const std::string& path) const {
  return path.empty() || Find(root, path) != nullptr;
}

void TRegistryFile::CreateKey(TRootKey root, const std::string& path) {
  if (path.empty()) return;
  size_t separator = 0;
  while ((separator = path.find('\\', separator)) != std::string::npos) {
    if (separator > 0) AddKey(FullName(root, path.substr(0, separator)));
    ++separator;
  }
  AddKey(FullName(root, path));
}

bool TRegistryFile::DeleteKey(TRootKey root, const std::string& path) {
  if (path.empty() || !Find(root, path)) return false;
  const std::string folded = Fold(FullName(root, path));
  const std::string prefix = folded + "\\";
  for (auto it = keys_.begin(); it != keys_.end();) {
    if (it->first == folded || it->first.rfind(prefix, 0) == 0) {
      it = keys_.erase(it);
    } else {
      ++it;
    }
  }
  return true;
}

const TRegValue* TRegistryFile::FindValue(TRootKey root, const std::string& path, const std::string& name) const {
  const Key* key = Find(root, path);
  if (!key) return nullptr;
  for (const auto& [valueName, value] : key->values) {
    if (Fold(valueName) == Fold(name)) return &value;
  }
  return nullptr;
}

bool TRegistryFile::SetValue(TRootKey root, const std::string& path, const std::string& name, const TRegValue& value) {
  if (path.empty() && !Find(root, path)) AddKey(FullName(root, path));
  Key* key = Find(root, path);
  if (!key) return false;
  for (auto& [valueName, stored] : key->values) {
    if (Fold(valueName) == Fold(name)) {
      stored = value;
      return true;
    }
  }
  key->values.emplace_back(name, value);
  return true;
}

std::vector<std::string> TRegistryFile::KeyNames() const {
  std::vector<std::string> names;
  for (const auto& [folded, key] : keys_) names.push_back(key.name);
  return names;
}

}  // namespace orvane
