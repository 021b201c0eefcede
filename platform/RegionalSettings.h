#pragma once
// The regional settings port: the user's date and time formats, separators and names, in the
// date-time format language, read once when first asked for.

#include <array>
#include <string>

namespace orvane {

struct FormatSettings {
  std::string shortDateFormat = "yyyy/mm/dd";
  std::string longDateFormat = "dddd, mmmm d, yyyy";
  std::string shortTimeFormat = "hh:nn";
  std::string longTimeFormat = "hh:nn:ss";
  std::string dateSeparator = "-";
  std::string timeSeparator = ":";
  std::string timeAMString = "AM";
  std::string timePMString = "PM";
  // January first.
  std::array<std::string, 12> shortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::array<std::string, 12> longMonthNames{"January", "February", "March",     "April",   "May",      "June",
                                             "July",    "August",   "September", "October", "November", "December"};
  // Sunday first.
  std::array<std::string, 7> shortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::array<std::string, 7> longDayNames{"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
};

class RegionalSettings {
 public:
  virtual ~RegionalSettings() = default;
  // The same object on every call: the settings are read once, when first asked for.
  virtual const FormatSettings& Settings() = 0;
};

}  // namespace orvane
