#include "provisioning/registry/store/CaseFolding.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "platform/TextConversion.h"
#include "provisioning/registry/store/ExportEncoding.h"

namespace orvane {

namespace {

struct FoldingRange {
  char16_t first;
  char16_t last;
  int32_t distance;  // from a character to its folded form
  uint8_t step;      // 2 where upper and lower case alternate
};

const FoldingRange kFoldingRanges[] = {
#include "provisioning/registry/store/CaseFoldingTable.inc"
};

char32_t Fold(char32_t code) {
  const auto after = std::upper_bound(std::begin(kFoldingRanges), std::end(kFoldingRanges), code,
                                      [](char32_t c, const FoldingRange& range) { return c < range.first; });
  if (after == std::begin(kFoldingRanges)) return code;
  const FoldingRange& range = *std::prev(after);
  if (code > range.last || (code - range.first) % range.step != 0) return code;
  return static_cast<char32_t>(static_cast<int32_t>(code) + range.distance);
}

char FoldAscii(uint8_t byte) { return static_cast<char>(byte >= 'A' && byte <= 'Z' ? byte + 32 : byte); }

// Folds Text from Pos on, where it is no longer plain ASCII.
void AppendFolded(const std::string& text, size_t pos, std::string& folded) {
  while (pos < text.size()) {
    const TUtf8Char character = ReadUtf8Char(text, pos);
    if (character.length == 0) {
      folded += text[pos++];
      continue;
    }
    AppendUtf8(Fold(character.code), folded);
    pos += character.length;
  }
}

}  // namespace

std::string FoldCase(const std::string& text) {
  std::string folded = text;
  for (size_t pos = 0; pos < folded.size(); ++pos) {
    const auto byte = static_cast<uint8_t>(folded[pos]);
    if (byte >= 0x80) {
      folded.resize(pos);
      AppendFolded(text, pos, folded);
      break;
    }
    folded[pos] = FoldAscii(byte);
  }
  return folded;
}

bool FoldsTo(const std::string& text, const std::string& folded) {
  size_t pos = 0;
  for (; pos < text.size() && static_cast<uint8_t>(text[pos]) < 0x80; ++pos) {
    if (pos >= folded.size() || FoldAscii(static_cast<uint8_t>(text[pos])) != folded[pos]) return false;
  }
  if (pos == text.size()) return pos == folded.size();
  return FoldCase(text) == folded;
}

}  // namespace orvane
