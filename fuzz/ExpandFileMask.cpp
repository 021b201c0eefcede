// Any mask: an expanded name or the invalid-mask error, never a crash or a hang.
#include <cstdint>
#include <string>

#include "platform/CommandLine.h"
#include "common/Exceptions.h"
#include "common/Global_File.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool once = [] {
    // Parameters whose values hold tokens, one of them naming itself.
    static char program[] = "orvane", a[] = "SITE=Nord", b[] = "X=?DATE??PARAMSTR=SITE?", c[] = "Y=?PARAMSTR=Y?";
    static char* argv[] = {program, a, b, c, nullptr};
    orvane::SetCommandLineArguments(4, argv);
    return true;
  }();
  (void)once;
  const std::string mask(reinterpret_cast<const char*>(data), size);
  try {
    orvane::TDateTime next = 0;
    orvane::GlobalFile().ExpandFileMask(mask, next);
  } catch (const orvane::Exception&) {
  }
  return 0;
}
