#include "provisioning/registry/store/ExportValue.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "provisioning/registry/store/ExportEncoding.h"

namespace orvane {

namespace {

[[noreturn]] void Malformed() { throw ERegistryException("Valeur de registre invalide"); }

bool StartsWithFolded(const std::string& text, size_t pos, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (pos + i >= text.size() || std::tolower(static_cast<unsigned char>(text[pos + i])) != prefix[i]) return false;
  }
  return true;
}

// A quoted string starting at Pos; Pos ends after the closing quote. Nothing when it is not closed.
std::optional<std::string> ReadQuoted(const std::string& line, size_t& pos) {
  if (pos >= line.size() || line[pos] != '"') return std::nullopt;
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
  return std::nullopt;
}

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  return out + "\"";
}

std::vector<uint8_t> ParseHexBytes(const std::string& text, size_t from) {
  std::vector<uint8_t> bytes;
  int digits = 0;
  uint8_t byte = 0;
  auto flush = [&] {
    if (digits > 0) bytes.push_back(byte);
    digits = 0;
    byte = 0;
  };
  for (size_t i = from; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (std::isxdigit(c)) {
      if (++digits > 2) Malformed();
      byte = static_cast<uint8_t>(byte << 4 | (std::isdigit(c) ? c - '0' : std::tolower(c) - 'a' + 10));
    } else if (c == ',') {
      if (digits == 0) Malformed();
      flush();
    } else if (c != ' ' && c != '\t') {
      Malformed();
    }
  }
  flush();
  return bytes;
}

std::string StringOfBytes(const std::vector<uint8_t>& bytes, bool wide) {
  std::string raw(bytes.begin(), bytes.end());
  const size_t unit = wide ? 2 : 1;
  // The terminating zero and anything after it are no part of the text.
  for (size_t i = 0; i + unit <= raw.size(); i += unit) {
    if (raw.compare(i, unit, std::string(unit, '\0')) == 0) {
      raw.resize(i);
      break;
    }
  }
  if (wide && raw.size() % 2 != 0) raw.pop_back();
  std::optional<std::string> text = DecodeLine(wide ? TExportEncoding::Utf16Le : TExportEncoding::Windows1252, raw);
  if (!text) Malformed();
  return *text;
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

}  // namespace

std::optional<TValueLine> ReadValueName(const std::string& line) {
  TValueLine value;
  size_t pos = 0;
  if (!line.empty() && line[0] == '@') {
    pos = 1;
  } else {
    std::optional<std::string> name = ReadQuoted(line, pos);
    if (!name) return std::nullopt;
    value.name = std::move(*name);
  }
  if (pos >= line.size() || line[pos] != '=') return std::nullopt;
  value.dataStart = pos + 1;
  return value;
}

bool IsValueRemoval(const std::string& line, const TValueLine& value) {
  return line.compare(value.dataStart, std::string::npos, "-") == 0;
}

TRegValue ParseValueData(const std::string& line, const TValueLine& name, bool wide) {
  const size_t start = name.dataStart;
  TRegValue value;
  if (start < line.size() && line[start] == '"') {
    size_t pos = start;
    std::optional<std::string> text = ReadQuoted(line, pos);
    if (!text || line.find_first_not_of(" \t", pos) != std::string::npos) Malformed();
    value.type = kRegSz;
    value.text = std::move(*text);
    return value;
  }
  if (StartsWithFolded(line, start, "dword:")) {
    const std::string digits = line.substr(start + 6);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isxdigit(c); })) {
      Malformed();
    }
    value.type = kRegDword;
    value.dword = static_cast<uint32_t>(std::stoul(digits, nullptr, 16));
    return value;
  }
  if (!StartsWithFolded(line, start, "hex")) Malformed();
  const size_t colon = line.find(':', start);
  if (colon == std::string::npos) Malformed();
  uint32_t type = kRegBinary;
  if (colon > start + 3) {
    const std::string number = line.substr(start + 4, colon - start - 5);
    if (line[start + 3] != '(' || line[colon - 1] != ')' || number.empty() || number.size() > 8 ||
        !std::all_of(number.begin(), number.end(), [](unsigned char c) { return std::isxdigit(c); })) {
      Malformed();
    }
    type = static_cast<uint32_t>(std::stoul(number, nullptr, 16));
  }
  std::vector<uint8_t> bytes = ParseHexBytes(line, colon + 1);
  value.type = type;
  if (type == kRegSz) {
    value.text = StringOfBytes(bytes, wide);
  } else if (type == kRegDword && bytes.size() == 4) {
    value.dword = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
  } else {
    // A REG_DWORD of another size is no integer.
    if (type == kRegDword) value.type = kRegBinary;
    value.raw = std::move(bytes);
  }
  return value;
}

std::optional<std::string> FormatValueLine(const std::string& name, const TRegValue& value, bool wide) {
  std::string line = (name.empty() ? std::string("@") : Quote(name)) + "=";
  if (value.type == kRegSz) {
    // A line break inside a string would end the line of the export: such text goes as hex.
    if (value.text.find_first_of("\r\n") == std::string::npos) return line + Quote(value.text);
    std::optional<std::string> bytes =
        EncodeText(wide ? TExportEncoding::Utf16Le : TExportEncoding::Windows1252, value.text);
    if (!bytes) return std::nullopt;
    bytes->append(wide ? 2 : 1, '\0');
    return line + HexData(kRegSz, std::vector<uint8_t>(bytes->begin(), bytes->end()));
  }
  if (value.type == kRegDword) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "dword:%08x", static_cast<unsigned>(value.dword));
    return line + buffer;
  }
  return line + HexData(value.type, value.raw);
}

}  // namespace orvane
