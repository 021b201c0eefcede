#pragma once
// The value lines of a registry export: "name"=data, or @=data for the key's default value.
// Strings given as hex bytes are UTF-16LE in a version 5 export and 8-bit in a REGEDIT4 one.

#include <optional>
#include <string>

#include "provisioning/registry/Registry.h"

namespace orvane {

struct TValueLine {
  std::string name;
  size_t dataStart = 0;  // where the data begins after the "="
};

// The name of a logical value line (its continuation lines joined); nothing when the line does
// not begin with a value name followed by "=".
std::optional<TValueLine> ReadValueName(const std::string& line);
// Whether the data is "-", which deletes the value.
bool IsValueRemoval(const std::string& line, const TValueLine& value);
// The value the data holds, as the Windows registry shows it: a REG_DWORD whose data is not 4
// bytes is a REG_BINARY of those bytes. Raises ERegistryException when the data is malformed.
TRegValue ParseValueData(const std::string& line, const TValueLine& value, bool wide);
// The logical line that writes Value under Name, without a line break; nothing when a REGEDIT4
// export cannot hold its text.
std::optional<std::string> FormatValueLine(const std::string& name, const TRegValue& value, bool wide);

}  // namespace orvane
