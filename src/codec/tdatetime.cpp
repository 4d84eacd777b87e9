#include "codec/tdatetime.h"

#include <cmath>

namespace pelorin {

namespace {
int64_t DaysFromCivil(int64_t y, int m, int d) {
  // Days since 0001-01-01 for a valid date, day 1 = 0.
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 306 - 365;
}

// The serial day count of 1899-12-30, the epoch of TDateTime.
const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 306 + 365;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}
}  // namespace

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) {
  if (year < 1 || year > 9999 || day < 1 || day > DaysInMonth(year, month)) return false;
  out = static_cast<TDateTime>(DaysFromCivil(year, month, day) - kEpochOffset);
  return true;
}

bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || millisecond < 0 ||
      millisecond > 999)
    return false;
  out = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + millisecond) / 86400000.0;
  return true;
}

bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, TDateTime& out) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, 0, time)) return false;
  // Built from whole seconds so that every caller forms the same double for the same instant.
  out = SecondsToTDateTime(static_cast<int64_t>(date) * 86400 + hour * 3600 + minute * 60 + second);
  return true;
}

int64_t TDateTimeToSeconds(TDateTime value) { return std::llround(value * 86400.0); }

TDateTime SecondsToTDateTime(int64_t seconds) {
  const int64_t day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  const int64_t rest = seconds - day * 86400;
  return static_cast<double>(day) + static_cast<double>(rest) / 86400.0;
}

int64_t TDateTimeDay(TDateTime value) { return static_cast<int64_t>(std::floor(value)); }

TDateParts DecodeDateTime(TDateTime value) { return DecodeSeconds(TDateTimeToSeconds(value)); }

TDateParts DecodeSeconds(int64_t secs) {
  const int64_t day = secs >= 0 ? secs / 86400 : -((-secs + 86399) / 86400);
  const int64_t rest = secs - day * 86400;
  TDateParts p;
  CivilFromDays(day + kEpochOffset, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(rest / 3600);
  p.Minute = static_cast<int>(rest / 60 % 60);
  p.Second = static_cast<int>(rest % 60);
  return p;
}

}  // namespace pelorin
