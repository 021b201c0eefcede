#include <windows.h>

#include "platform/Port.h"
#include "platform/RegionalSettings.h"
#include "platform/TextConversion.h"

namespace orvane {
namespace {

std::string LocaleText(LCTYPE type, const std::string& fallback) {
  wchar_t buffer[256];
  const int size = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 256);
  if (size <= 1) return fallback;
  return WideToUtf8(std::wstring(buffer, static_cast<size_t>(size - 1)));
}

int LocaleNumber(LCTYPE type, int fallback) {
  const std::string text = LocaleText(type, "");
  if (text.empty() || text[0] < '0' || text[0] > '9') return fallback;
  return text[0] - '0';
}

class WinRegionalSettings : public RegionalSettings {
 public:
  WinRegionalSettings() {
    FormatSettings& s = settings_;
    // Windows date formats read the same in this language (d, M, y, quoted text, "/").
    s.shortDateFormat = LocaleText(LOCALE_SSHORTDATE, "m/d/yy");
    s.longDateFormat = LocaleText(LOCALE_SLONGDATE, "mmmm d, yyyy");
    s.dateSeparator = LocaleText(LOCALE_SDATE, "/");
    s.timeSeparator = LocaleText(LOCALE_STIME, ":");
    s.timeAMString = LocaleText(LOCALE_S1159, "am");
    s.timePMString = LocaleText(LOCALE_S2359, "pm");
    // Windows time formats use "tt" for the morning and afternoon texts, which means the long time
    // format here; the time formats are built from the clock, zero and marker settings instead.
    const bool twelveHour = LocaleNumber(LOCALE_ITIME, 1) == 0;
    const std::string hour = LocaleNumber(LOCALE_ITLZERO, 0) == 0 ? "h" : "hh";
    std::string prefix, suffix;
    if (twelveHour) {
      if (LocaleNumber(LOCALE_ITIMEMARKPOSN, 0) == 0) {
        suffix = " AMPM";
      } else {
        prefix = "AMPM ";
      }
    }
    s.shortTimeFormat = prefix + hour + ":mm" + suffix;
    s.longTimeFormat = prefix + hour + ":mm:ss" + suffix;
    for (int i = 0; i < 12; ++i) {
      s.shortMonthNames[i] = LocaleText(LOCALE_SABBREVMONTHNAME1 + i, s.shortMonthNames[i]);
      s.longMonthNames[i] = LocaleText(LOCALE_SMONTHNAME1 + i, s.longMonthNames[i]);
    }
    // Windows counts the days from Monday; these names go from Sunday.
    for (int i = 0; i < 7; ++i) {
      const int windowsDay = (i + 6) % 7;
      s.shortDayNames[i] = LocaleText(LOCALE_SABBREVDAYNAME1 + windowsDay, s.shortDayNames[i]);
      s.longDayNames[i] = LocaleText(LOCALE_SDAYNAME1 + windowsDay, s.longDayNames[i]);
    }
  }
  const FormatSettings& Settings() override { return settings_; }

 private:
  FormatSettings settings_;
};

}  // namespace

template <>
RegionalSettings& PlatformAdapter<RegionalSettings>() {
  static WinRegionalSettings adapter;
  return adapter;
}

}  // namespace orvane
