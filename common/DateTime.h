#pragma once
// The date-time value: a day count whose integer part counts days from 30 December 1899 and
// whose fraction is the time of day.

#include <cstdint>

#include "common/Exceptions.h"

namespace orvane {

using TDateTime = double;

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 7;  // 1 = Sunday … 7 = Saturday
};

// A date or time that does not exist (31 February, hour 24).
ORVANE_DECLARE_EXCEPTION(EConvertError, Exception);

// Raises EConvertError for a year outside 1..9999 or a date or time that does not exist.
TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);
// Rounds to the millisecond. A value that is not a number decodes as day 0; one beyond the years
// 1..9999 decodes as the nearest end of that range.
DateTimeParts DecodeDateTime(TDateTime value);

// Calendar helpers shared by the format language and the file-name masks.
bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

}  // namespace orvane
