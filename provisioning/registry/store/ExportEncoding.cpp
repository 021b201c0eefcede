#include "provisioning/registry/store/ExportEncoding.h"

#include <cstdint>

#include "platform/TextConversion.h"

namespace orvane {

namespace {

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined stand for themselves, as
// Windows converts them, so that every byte comes back as it was.
const char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::optional<char> Windows1252Byte(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  for (int i = 0; i < 32; ++i) {
    if (kWindows1252High[i] == unit) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

const size_t kChunk = 1 << 16;

// Strict: a lone surrogate or an odd byte is no text, since it would not come back as it was.
std::optional<std::string> Utf16LeToUtf8(const std::string& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string text;
  text.reserve(bytes.size() / 2);
  const auto unit = [&](size_t i) {
    return static_cast<char32_t>(static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8);
  };
  for (size_t i = 0; i < bytes.size(); i += 2) {
    char32_t code = unit(i);
    if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i + 3 >= bytes.size()) return std::nullopt;
      const char32_t low = unit(i + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    }
    AppendUtf8(code, text);
  }
  return text;
}

bool IsUtf8(const std::string& bytes) {
  for (size_t i = 0; i < bytes.size();) {
    const size_t length = ReadUtf8Char(bytes, i).length;
    if (length == 0) return false;
    i += length;
  }
  return true;
}

}  // namespace

TUtf8Char ReadUtf8Char(const std::string& text, size_t pos) {
  const auto lead = static_cast<uint8_t>(text[pos]);
  if (lead < 0x80) return {lead, 1};
  const size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
  if (length == 0 || pos + length > text.size()) return {0, 0};
  char32_t code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<uint8_t>(text[pos + k]);
    if ((next & 0xC0) != 0x80) return {0, 0};
    code = code << 6 | (next & 0x3F);
  }
  if ((length == 3 && code < 0x800) || (length == 4 && code < 0x10000) || code > 0x10FFFF ||
      (code >= 0xD800 && code <= 0xDFFF)) {
    return {0, 0};
  }
  return {code, length};
}

std::optional<std::string> DecodeLine(TExportEncoding encoding, const std::string& bytes) {
  switch (encoding) {
    case TExportEncoding::Utf16Le: return Utf16LeToUtf8(bytes);
    case TExportEncoding::Utf8:
    case TExportEncoding::Utf8WithMark:
      if (!IsUtf8(bytes)) return std::nullopt;
      return bytes;
    case TExportEncoding::Windows1252: {
      std::string text;
      text.reserve(bytes.size());
      for (char byte : bytes) {
        const auto value = static_cast<uint8_t>(byte);
        AppendUtf8(value >= 0x80 && value < 0xA0 ? kWindows1252High[value - 0x80] : value, text);
      }
      return text;
    }
  }
  return std::nullopt;
}

std::optional<std::string> EncodeText(TExportEncoding encoding, const std::string& text) {
  // Bytes that are no UTF-8 are of an encoding no one knows: nothing could read them back.
  if (!IsUtf8(text)) return std::nullopt;
  switch (encoding) {
    case TExportEncoding::Utf16Le: {
      std::string bytes;
      bytes.reserve(text.size() * 2);
      for (char16_t unit : Utf8ToUtf16(text)) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
      }
      return bytes;
    }
    case TExportEncoding::Utf8:
    case TExportEncoding::Utf8WithMark:
      return text;
    case TExportEncoding::Windows1252: {
      std::string bytes;
      bytes.reserve(text.size());
      for (char16_t unit : Utf8ToUtf16(text)) {
        const std::optional<char> byte = Windows1252Byte(unit);
        if (!byte) return std::nullopt;
        bytes.push_back(*byte);
      }
      return bytes;
    }
  }
  return std::nullopt;
}

std::string ByteOrderMark(TExportEncoding encoding) {
  switch (encoding) {
    case TExportEncoding::Utf16Le: return "\xFF\xFE";
    case TExportEncoding::Utf8WithMark: return "\xEF\xBB\xBF";
    default: return "";
  }
}

TExportLineReader::TExportLineReader(std::istream& in) : in_(in) {
  while (pending_.size() < 3 && Fill()) {
  }
  if (pending_.compare(0, 2, "\xFF\xFE") == 0) {
    mark_ = TExportEncoding::Utf16Le;
    position_ = 2;
  } else if (pending_.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    mark_ = TExportEncoding::Utf8WithMark;
    position_ = 3;
  }
}

bool TExportLineReader::Fill() {
  if (ended_) return false;
  pending_.erase(0, position_);
  position_ = 0;
  const size_t had = pending_.size();
  pending_.resize(had + kChunk);
  in_.read(pending_.data() + had, static_cast<std::streamsize>(kChunk));
  pending_.resize(had + static_cast<size_t>(in_.gcount()));
  if (pending_.size() == had) ended_ = true;
  return !ended_;
}

bool TExportLineReader::Next(std::string& bytes) {
  const bool wide = mark_ == TExportEncoding::Utf16Le;
  size_t from = position_;
  for (;;) {
    size_t end = pending_.find('\n', from);
    // In UTF-16 a line ends at the unit 0x000A only.
    while (wide && end != std::string::npos &&
           ((end - position_) % 2 != 0 || (end + 1 < pending_.size() && pending_[end + 1] != '\0'))) {
      end = pending_.find('\n', end + 1);
    }
    if (end != std::string::npos && (!wide || end + 1 < pending_.size())) {
      const size_t next = end + (wide ? 2 : 1);
      bytes.assign(pending_, position_, next - position_);
      position_ = next;
      return true;
    }
    const size_t scanned = pending_.size() - position_;
    if (!Fill()) break;
    // Go on where the search stopped, keeping the last byte for a unit cut in two.
    from = position_ + (scanned > 0 ? scanned - 1 : 0);
  }
  if (position_ >= pending_.size()) return false;
  bytes.assign(pending_, position_, std::string::npos);
  position_ = pending_.size();
  return true;
}

}  // namespace orvane
