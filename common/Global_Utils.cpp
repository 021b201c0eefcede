#include "common/Global_Utils.h"

#include "platform/CommandLine.h"
#include "platform/Port.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  // Latin-1 capitals À…Þ, the multiplication sign excepted.
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  // Latin Extended-A pairs capitals and small letters side by side.
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138) {
    const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddPairs) return (c % 2 == 1) ? static_cast<char16_t>(c + 1) : c;
    return (c % 2 == 0) ? static_cast<char16_t>(c + 1) : c;
  }
  if (c == 0x178) return 0xFF;
  return c;
}

}  // namespace

bool SameTextNoCase(const std::string& a, const std::string& b) {
  const std::u16string wa = Utf8ToUtf16(a), wb = Utf8ToUtf16(b);
  if (wa.size() != wb.size()) return false;
  for (size_t i = 0; i < wa.size(); ++i) {
    if (FoldCase(wa[i]) != FoldCase(wb[i])) return false;
  }
  return true;
}

std::string LowerCaseFrom(const std::string& text, size_t from) {
  std::u16string wide = Utf8ToUtf16(text);
  for (size_t i = from; i < wide.size(); ++i) wide[i] = FoldCase(wide[i]);
  return Utf16ToUtf8(wide);
}

bool GetParamValue(const std::string& name, std::string& value) {
  for (const std::string& argument : Port<CommandLine>().Arguments()) {
    // A bare NAME reads as NAME with an empty value.
    const size_t equals = argument.find('=');
    const std::string argumentName = argument.substr(0, equals);
    if (SameTextNoCase(argumentName, name)) {
      value = equals == std::string::npos ? std::string() : argument.substr(equals + 1);
      return true;
    }
  }
  return false;
}

bool ParamExists(const std::string& name) {
  std::string scratch;
  return GetParamValue(name, scratch);
}

const std::string& IfThenStr(bool condition, const std::string& whenTrue, const std::string& whenFalse) {
  return condition ? whenTrue : whenFalse;
}

}  // namespace orvane
