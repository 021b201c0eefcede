#pragma once
// The byte encodings a registry export comes in, and its text split into lines in each of them.
// Inside the program the text is UTF-8; a store goes back to disk in the encoding it came in.

#include <cstddef>
#include <istream>
#include <optional>
#include <string>

namespace orvane {

enum class TExportEncoding {
  Utf16Le,  // with its byte-order mark, as the registry editor writes version 5
  Utf8,
  Utf8WithMark,
  Windows1252,  // REGEDIT4
};

// The code point of the UTF-8 sequence at Pos, and its length; 0 when the bytes there are no UTF-8.
struct TUtf8Char {
  char32_t code = 0;
  size_t length = 0;
};
TUtf8Char ReadUtf8Char(const std::string& text, size_t pos);

// The text of one line in Encoding as UTF-8, or nothing when it is not valid in that encoding.
std::optional<std::string> DecodeLine(TExportEncoding encoding, const std::string& bytes);
// UTF-8 text in Encoding, or nothing when it is no UTF-8 or the encoding cannot hold a character of it.
std::optional<std::string> EncodeText(TExportEncoding encoding, const std::string& text);
// What an encoding puts before the first line.
std::string ByteOrderMark(TExportEncoding encoding);

// Reads an export's bytes line by line, each line with its own line break, in the encoding
// its byte-order mark names (UTF-16LE, UTF-8) or, without one, as 8-bit bytes.
class TExportLineReader {
 public:
  explicit TExportLineReader(std::istream& in);
  // The byte-order mark found: UTF-16LE, UTF-8 with mark, or nothing (8-bit bytes).
  std::optional<TExportEncoding> Mark() const { return mark_; }
  // The next line's bytes, its line break included; false when nothing is left. Any other mark
  // (UTF-16 big-endian) stays in the first line, which then is no export's header.
  bool Next(std::string& bytes);

 private:
  bool Fill();

  std::istream& in_;
  std::optional<TExportEncoding> mark_;
  std::string pending_;
  size_t position_ = 0;
  bool ended_ = false;
};

}  // namespace orvane
