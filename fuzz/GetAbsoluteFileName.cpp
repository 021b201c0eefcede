// Any file name and base, in both path styles: a name or the failure, never a crash.
#include <cstdint>
#include <string>

#include "common/Exceptions.h"
#include "common/Global_File.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\n');
  const std::string name = input.substr(0, split);
  const std::string base = split == std::string::npos ? std::string("C:\\Prog\\Bin") : input.substr(split + 1);
  for (const auto& [style, current] : {std::pair{orvane::PathStyle::Windows, std::string("C:\\Courant")},
                                       std::pair{orvane::PathStyle::Windows, std::string("\\\\serveur\\partage")},
                                       std::pair{orvane::PathStyle::Posix, std::string("/srv/courant")}}) {
    try {
      orvane::GetAbsoluteFileName(name, base, style, current);
    } catch (const orvane::Exception&) {
    }
  }
  return 0;
}
