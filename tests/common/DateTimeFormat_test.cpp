#include "common/DateTimeFormat.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "support/FakeRegionalSettings.h"

namespace orvane {
namespace {

using testing::ScopedFakeRegionalSettings;

TEST(DateTime, DayCountStartsOn30December1899AndRoundTrips) {
  EXPECT_EQ(EncodeDateTime(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDateTime(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDateTime(2024, 3, 5), 45356.0);
  EXPECT_DOUBLE_EQ(EncodeDateTime(2024, 3, 5, 12), 45356.5);
  // Before day 0 the fraction is still the time of day after midnight.
  EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 29, 6), -1.25);
  const DateTimeParts before = DecodeDateTime(-1.25);
  EXPECT_EQ(before.day, 29);
  EXPECT_EQ(before.hour, 6);

  for (const auto& [y, mo, d, h, mi, s, ms] : std::vector<std::array<int, 7>>{
           {2024, 2, 29, 23, 59, 59, 999}, {1, 1, 1, 0, 0, 0, 0}, {9999, 12, 31, 23, 59, 59, 999}, {2000, 3, 1, 0, 0, 0, 1}}) {
    const DateTimeParts p = DecodeDateTime(EncodeDateTime(y, mo, d, h, mi, s, ms));
    EXPECT_EQ(std::vector<int>({p.year, p.month, p.day, p.hour, p.minute, p.second, p.millisecond}),
              std::vector<int>({y, mo, d, h, mi, s, ms}));
  }
  EXPECT_EQ(DecodeDateTime(EncodeDateTime(2024, 3, 5)).dayOfWeek, 3);  // a Tuesday
  EXPECT_EQ(DecodeDateTime(0).dayOfWeek, 7);                           // a Saturday
}

TEST(DateTime, ImpossibleDatesAreRefusedAndWildValuesStillDecode) {
  EXPECT_THROW(EncodeDateTime(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDateTime(2024, 13, 1), EConvertError);
  EXPECT_THROW(EncodeDateTime(2024, 1, 1, 24), EConvertError);
  EXPECT_EQ(DecodeDateTime(std::nan("")).year, 1899);
  EXPECT_EQ(DecodeDateTime(1e300).year, 9999);
  EXPECT_EQ(DecodeDateTime(-1e300).year, 1);
  // 23:59:59.9996 rounds up into the next day, not to a 24th hour.
  const DateTimeParts p = DecodeDateTime(45356.0 + 86399.9996 / 86400.0);
  EXPECT_EQ(p.day, 6);
  EXPECT_EQ(p.hour, 0);
}

class FormatDateTimeTest : public ::testing::Test {
 protected:
  ScopedFakeRegionalSettings regional;
  const TDateTime stamp = EncodeDateTime(2024, 3, 5, 14, 7, 9, 42);
};

TEST_F(FormatDateTimeTest, LogTimeStampAndMaskFormats) {
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", stamp), "2024-03-05 14:07:09.042");
  EXPECT_EQ(FormatDateTime("yyyymmdd", stamp), "20240305");
  EXPECT_EQ(FormatDateTime("yyyymmddhhnnss", stamp), "20240305140709");
  regional.regional.settings.timeSeparator = "h";
  EXPECT_EQ(FormatDateTime("hh:nn", stamp), "14h07");
  regional.regional.settings.timeSeparator = "";
  regional.regional.settings.dateSeparator = ".";
  EXPECT_EQ(FormatDateTime("dd/mm hh:nn", stamp), "05.03 1407");
}

TEST_F(FormatDateTimeTest, DigitCountsAndYearForms) {
  const TDateTime early = EncodeDateTime(2007, 1, 2, 3, 4, 5, 6);
  EXPECT_EQ(FormatDateTime("y|yy|yyy|yyyy", early), "07|07|2007|2007");
  EXPECT_EQ(FormatDateTime("m|mm|d|dd", early), "1|01|2|02");
  EXPECT_EQ(FormatDateTime("h|hh|hhhh|n|nnn|s|ss", early), "3|03|03|4|04|5|05");
  EXPECT_EQ(FormatDateTime("z|zz|zzz|zzzz", early), "6|06|006|006");
  // YYyy is two tokens: a run is one character in one case.
  EXPECT_EQ(FormatDateTime("YYyy", early), "0707");
  EXPECT_EQ(FormatDateTime("e", early), "2007");
  EXPECT_EQ(FormatDateTime("g", early), "");
}

TEST_F(FormatDateTimeTest, MonthAfterHourMeansMinutes) {
  EXPECT_EQ(FormatDateTime("hh:mm", stamp), "14:07");
  EXPECT_EQ(FormatDateTime("hh.mm", stamp), "14.07");
  EXPECT_EQ(FormatDateTime("mm", stamp), "03");
  EXPECT_EQ(FormatDateTime("mm/dd hh", stamp), "03-05 14");
  EXPECT_EQ(FormatDateTime("hh'x'mm", stamp), "14x07");
  // Any other letter in between breaks the rule.
  EXPECT_EQ(FormatDateTime("hh d mm", stamp), "14 5 03");
}

TEST_F(FormatDateTimeTest, NamesFromTheRegionalSettings) {
  FormatSettings& s = regional.regional.settings;
  s.shortMonthNames[2] = "mars";
  s.longMonthNames[2] = "Mars";
  s.shortDayNames[2] = "mar.";
  s.longDayNames[2] = "mardi";
  EXPECT_EQ(FormatDateTime("mmm|mmmm|mmmmmm|ddd|dddd|aaa|aaaa", stamp), "mars|Mars|Mars|mar.|mardi|mar.|mardi");
}

TEST_F(FormatDateTimeTest, TwelveHourClockForms) {
  const TDateTime afternoon = EncodeDateTime(2024, 3, 5, 14);
  const TDateTime morning = EncodeDateTime(2024, 3, 5, 9);
  const TDateTime midnight = EncodeDateTime(2024, 3, 5);
  EXPECT_EQ(FormatDateTime("h am/pm", afternoon), "2 pm");
  EXPECT_EQ(FormatDateTime("h AM/PM", afternoon), "2 PM");
  EXPECT_EQ(FormatDateTime("h Am/pM", afternoon), "2 pM");
  EXPECT_EQ(FormatDateTime("h a/p", morning), "9 a");
  EXPECT_EQ(FormatDateTime("h A/P", afternoon), "2 P");
  EXPECT_EQ(FormatDateTime("hh", midnight), "00");
  EXPECT_EQ(FormatDateTime("hh am/pm", midnight), "12 am");
  EXPECT_EQ(FormatDateTime("hh AMPM", afternoon), "02 PM");
  // An am/pm earlier in the format counts too; a quoted one or one after another h does not.
  EXPECT_EQ(FormatDateTime("am/pm hh", afternoon), "pm 02");
  EXPECT_EQ(FormatDateTime("hh 'am/pm'", afternoon), "14 am/pm");
  EXPECT_EQ(FormatDateTime("hh hh am/pm", afternoon), "14 02 pm");
  // Only the quote that opened quoted text closes it; an open quote hides what follows.
  EXPECT_EQ(FormatDateTime("hh \"o'clock\" am/pm", afternoon), "02 o'clock pm");
  EXPECT_EQ(FormatDateTime("hh 'say \"' am/pm", afternoon), "02 say \" pm");
  EXPECT_EQ(FormatDateTime("h \"x' a/p", afternoon), "14 x' a/p");
  // A lone a is copied, and so is the a of "amp", whose m is then the month.
  EXPECT_EQ(FormatDateTime("a amp", afternoon), "a a3p");
}

TEST_F(FormatDateTimeTest, QuotedTextIsCopiedAndAnOpenQuoteTakesTheRest) {
  EXPECT_EQ(FormatDateTime("'Le' dd", stamp), "Le 05");
  EXPECT_EQ(FormatDateTime("\"yyyy\" yyyy", stamp), "yyyy 2024");
  EXPECT_EQ(FormatDateTime("dd 'h", stamp), "05 h");
  EXPECT_EQ(FormatDateTime("dd '", stamp), "05 ");
  // Accented text is copied whole and breaks the hour-minute pairing.
  EXPECT_EQ(FormatDateTime("hhémm", stamp), "14é03");
}

TEST_F(FormatDateTimeTest, RegionalFormatsNestTwoLevelsDeep) {
  FormatSettings& s = regional.regional.settings;
  s.shortDateFormat = "dd/mm/yyyy";
  s.longDateFormat = "dddd d mmmm yyyy";
  s.shortTimeFormat = "hh:nn";
  s.longTimeFormat = "hh:nn:ss";
  EXPECT_EQ(FormatDateTime("c", stamp), "05-03-2024 14:07:09");
  EXPECT_EQ(FormatDateTime("", stamp), "05-03-2024 14:07:09");
  EXPECT_EQ(FormatDateTime("c", EncodeDateTime(2024, 3, 5)), "05-03-2024");
  EXPECT_EQ(FormatDateTime("ddddd|dddddd|t|tt", stamp), "05-03-2024|Tuesday 5 March 2024|14:07|14:07:09");
  // A regional format that names another regional format: the third level renders as nothing.
  s.shortDateFormat = "yyyy ddddd";
  EXPECT_EQ(FormatDateTime("ddddd", stamp), "2024 ");
  EXPECT_EQ(FormatDateTime("c", stamp), "2024  14:07:09");
}

TEST_F(FormatDateTimeTest, OutputStopsAt256CharactersWithoutSplittingOne) {
  EXPECT_EQ(FormatDateTime(std::string(300, 'x'), stamp), std::string(256, 'x'));
  EXPECT_EQ(FormatDateTime(std::string(200, 'x') + "'" + std::string(100, 'y'), stamp),
            std::string(200, 'x') + std::string(56, 'y'));
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "é";
  const std::string cut = FormatDateTime(accented, stamp);
  EXPECT_EQ(cut.size(), 512u);
  EXPECT_EQ(cut.substr(510), "é");
  regional.regional.settings.longMonthNames[2] = std::string(300, 'M');
  EXPECT_EQ(FormatDateTime("yyyy mmmm", stamp).size(), 256u);
}

}  // namespace
}  // namespace orvane
