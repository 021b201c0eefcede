#pragma once
// The date-time value: a day count whose integer part counts days from 30 December 1899 and
// whose fraction is the time of day.

#include <cstdint>

namespace orvane {

using TDateTime = double;

struct DateTimeParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
  int dayOfWeek = 7;  // 1 = Sunday … 7 = Saturday
};

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);
DateTimeParts DecodeDateTime(TDateTime value);

}  // namespace orvane
