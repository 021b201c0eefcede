#pragma once
// Text inside the core is UTF-8. The Windows adapters speak UTF-16 to the W functions, and the
// system's files are written in its 8-bit code page (the ANSI code page on Windows, UTF-8 on
// Linux).

#include <string>

namespace orvane {

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);
// Appends one code point to UTF-8 text.
void AppendUtf8(char32_t code, std::string& out);

// The system's 8-bit code page and back; characters the code page lacks become "?". By value:
// where the code page is UTF-8 the text moves through without a copy.
std::string Utf8ToAnsi(std::string text);
std::string AnsiToUtf8(const std::string& text);

}  // namespace orvane
