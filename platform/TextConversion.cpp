#include "platform/TextConversion.h"

#include <cstdint>

namespace orvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Reads one code point; malformed or truncated sequences give the replacement character and
// consume one byte, so no input reads past its end.
char32_t DecodeUtf8(const std::string& text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  int length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return kReplacement;
  }
  char32_t code = lead & (0x7F >> length);
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    code = (code << 6) | (next & 0x3F);
  }
  const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
  if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += length;
  return code;
}

template <class Units>
Units ToUtf16Units(const std::string& text) {
  Units out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const char32_t code = DecodeUtf8(text, pos);
    if (code >= 0x10000) {
      out += static_cast<typename Units::value_type>(0xD800 + ((code - 0x10000) >> 10));
      out += static_cast<typename Units::value_type>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<typename Units::value_type>(code);
    }
  }
  return out;
}

template <class Units>
std::string FromUtf16Units(const Units& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t code = static_cast<uint16_t>(text[i]);
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < text.size()) {
      const char32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(code >= 0xD800 && code <= 0xDFFF ? kReplacement : code, out);
  }
  return out;
}

}  // namespace

void AppendUtf8(char32_t code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::u16string Utf8ToUtf16(const std::string& text) { return ToUtf16Units<std::u16string>(text); }

std::string Utf16ToUtf8(const std::u16string& text) { return FromUtf16Units(text); }

std::wstring Utf8ToWide(const std::string& text) {
  if constexpr (sizeof(wchar_t) == 2) {
    return ToUtf16Units<std::wstring>(text);
  } else {
    std::wstring out;
    for (size_t pos = 0; pos < text.size();) out += static_cast<wchar_t>(DecodeUtf8(text, pos));
    return out;
  }
}

std::string WideToUtf8(const std::wstring& text) {
  if constexpr (sizeof(wchar_t) == 2) {
    return FromUtf16Units(text);
  } else {
    std::string out;
    for (wchar_t unit : text) {
      const auto code = static_cast<char32_t>(unit);
      AppendUtf8(code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ? kReplacement : code, out);
    }
    return out;
  }
}

}  // namespace orvane
