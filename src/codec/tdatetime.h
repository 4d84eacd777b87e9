#pragma once
// TDateTime: days since 30 December 1899 as a double, the time of day as the fraction.
// Values built from whole seconds are compared through TDateTimeToSeconds, never as
// doubles, so that rounding can never decide whether a bound is inside.
#include <cstdint>

namespace pelorin {

using TDateTime = double;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
// Years 1..9999 as the desktop's date type allows; false for a date that does not exist.
bool TryEncodeDate(int year, int month, int day, TDateTime& out);
// Hours 0..23, minutes 0..59, seconds 0..59, milliseconds 0..999.
bool TryEncodeTime(int hour, int minute, int second, int millisecond, TDateTime& out);
bool TryEncodeDateTime(int year, int month, int day, int hour, int minute, int second, TDateTime& out);

// Whole seconds since the epoch of TDateTime, rounded to the nearest second.
int64_t TDateTimeToSeconds(TDateTime value);
TDateTime SecondsToTDateTime(int64_t seconds);
// The whole-number part (the day), towards minus infinity.
int64_t TDateTimeDay(TDateTime value);

struct TDateParts { int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0; };
// Rounded to the nearest second first.
TDateParts DecodeDateTime(TDateTime value);
// Of whole seconds as TDateTimeToSeconds gives them.
TDateParts DecodeSeconds(int64_t seconds);

}  // namespace pelorin
