// Any command line: words made only of its characters, quotes and blanks removed.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  size_t total = 0;
  for (const std::string& word : orvane::SplitCommandLine(line)) {
    if (word.find('"') != std::string::npos) std::abort();
    total += word.size();
  }
  if (total > size) std::abort();
  return 0;
}
