#pragma once
// The start and end chooser as plain values: snapping the chosen days to days with data,
// the month steps, the bold days, and forming the run's window from the chooser.
#include <cstdint>
#include <functional>
#include <string>

#include "catalogue/log_index.h"
#include "codec/tdatetime.h"

namespace pelorin {

// What the two calendars and the four time fields show.
struct TTimeWindowState {
  TDateTime StartDay = 0;  // MonthCalendar_Start, whole day
  TDateTime EndDay = 0;    // MonthCalendar_End, whole day
  std::string Edit_StartTime_h = "0";
  std::string Edit_StartTime_min = "0";
  std::string Edit_EndTime_h = "23";
  std::string Edit_EndTime_min = "59";
};

// Called between the two adjustments of a click so that the window can show the first
// calendar's change and process pending messages. May be empty.
using TShowAndPump = std::function<void(const TTimeWindowState&)>;

// Hour without leading zero, minutes as two digits ("9", "05").
void SetStartTimeTexts(TTimeWindowState& state, TDateTime value);
void SetEndTimeTexts(TTimeWindowState& state, TDateTime value);

// Move the start forward (the end back) to a day with data and write that entry's start
// (end) time into the fields. Do nothing on an empty index.
void AdjustStartDate(const TLogList& logList, TTimeWindowState& state);
void AdjustEndDate(const TLogList& logList, TTimeWindowState& state);

// Clicks and month steps; all do nothing while catalogue.DataAvailable is false.
void MonthCalendar_StartClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});
void MonthCalendar_EndClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});
void BitBtn_StartKleinerClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});
void BitBtn_StartGroesserClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});
void BitBtn_EndKleinerClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});
void BitBtn_EndGroesserClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});

enum class TCalendarSide { Start, End };

// Bit d-1 set for every day d of `month` in `year` on which an entry's LogDateTime_Start
// (start side) or LogDateTime_End (end side) lies, in any order of the index.
uint32_t BoldDaysOfMonth(const TLogList& logList, int year, int month, TCalendarSide side);
// The calendars' request: no marks while CalendarsReady is false.
uint32_t MonthCalendar_GetMonthInfo(const TCatalogue& catalogue, int year, int month, TCalendarSide side);

// The run's re-snapping: keep the four texts, click start then end, pump, write the texts
// back. Does nothing while DataAvailable is false.
void ResnapTimeWindow(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump = {});

// A whole number in decimal, optionally signed, blanks around it allowed, at most nine
// digits. False for anything else.
bool ReadWholeNumber(const std::string& text, int64_t& value);

// start = start day + hour/24 + minute/1440, end likewise, built from whole seconds.
// Typed values count as they are (minute 90 adds an hour and a half). False, with the
// offending field's name in `badField`, when a text is not a whole number.
bool FormTimeWindow(const TTimeWindowState& state, TDateTime& start, TDateTime& end,
                    std::string* badField = nullptr);

}  // namespace pelorin
