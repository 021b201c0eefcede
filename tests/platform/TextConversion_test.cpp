#include "platform/TextConversion.h"

#include <gtest/gtest.h>

namespace orvane {
namespace {

TEST(TextConversion, FrenchTextsSurviveTheRoundTripThroughUtf16) {
  const std::string text = "Désactiver – Programme non trouvé ! 𝄞";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(WideToUtf8(Utf8ToWide(text)), text);
  EXPECT_EQ(Utf8ToUtf16("é").size(), 1u);
  EXPECT_EQ(Utf8ToUtf16("𝄞").size(), 2u);
}

TEST(TextConversion, MalformedInputBecomesReplacementCharactersWithoutReadingPastTheEnd) {
  EXPECT_EQ(Utf8ToUtf16(std::string("a\xC3", 2)), (std::u16string{u'a', 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xE9t\xE9"), (std::u16string{0xFFFD, u't', 0xFFFD}));
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), (std::u16string{0xFFFD, 0xFFFD}));
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xD800}), "\xEF\xBF\xBD");
}

TEST(TextConversion, AnsiCodePageKeepsAccentedLetters) {
  const std::string ansi = Utf8ToAnsi("Créé");
  EXPECT_EQ(AnsiToUtf8(ansi), "Créé");
}

}  // namespace
}  // namespace orvane
