#include "common/DateTime.h"

#include <cmath>

namespace orvane {
namespace {

constexpr int64_t kMsPerDay = 86400000;
// Days from 1 March of year 0 (proleptic Gregorian) to 30 December 1899.
constexpr int64_t kEpochShift = 693899;
// Day counts of 1 January 0001 and 31 December 9999.
constexpr int64_t kFirstDay = -693593;
constexpr int64_t kLastDay = 2958465;

int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - kEpochShift;
}

void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  const int64_t z = days + kEpochShift;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<int64_t>(yoe) + era * 400 + (month <= 2));
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) ||
      hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999) {
    throw EConvertError("Argument de codage de date ou d'heure incorrect");
  }
  const int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
  const double time =
      static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMsPerDay;
  // Before day 0 the fraction still counts forwards from midnight: -1.25 is 29 December, 06:00.
  return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

DateTimeParts DecodeDateTime(TDateTime value) {
  if (!std::isfinite(value)) value = 0;
  int64_t days = 0, timeMs = 0;
  if (value >= static_cast<double>(kLastDay + 1)) {
    days = kLastDay;
    timeMs = kMsPerDay - 1;
  } else if (value <= static_cast<double>(kFirstDay - 1)) {
    days = kFirstDay;
  } else {
    const int64_t ms = std::llround(value * kMsPerDay);
    days = ms / kMsPerDay;
    timeMs = (ms < 0 ? -ms : ms) % kMsPerDay;
    if (days > kLastDay) days = kLastDay, timeMs = kMsPerDay - 1;
    if (days < kFirstDay) days = kFirstDay, timeMs = 0;
  }
  DateTimeParts parts;
  CivilFromDays(days, parts.year, parts.month, parts.day);
  parts.millisecond = static_cast<int>(timeMs % 1000);
  parts.second = static_cast<int>(timeMs / 1000 % 60);
  parts.minute = static_cast<int>(timeMs / 60000 % 60);
  parts.hour = static_cast<int>(timeMs / 3600000);
  // Day 0 was a Saturday.
  parts.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
  return parts;
}

}  // namespace orvane
