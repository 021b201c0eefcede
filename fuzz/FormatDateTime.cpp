// Any format and any value: a text of at most 256 characters, never a crash.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/DateTimeFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  double value = 45356.5;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  const std::string text = orvane::FormatDateTime(std::string_view(reinterpret_cast<const char*>(data), size), value);
  size_t characters = 0;
  for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
  if (characters > 256) std::abort();
  return 0;
}
