#include "platform/TextConversion.h"

namespace orvane {

// On Linux the system's 8-bit code page is UTF-8 itself.
std::string Utf8ToAnsi(std::string text) { return text; }
std::string AnsiToUtf8(const std::string& text) { return text; }

}  // namespace orvane
