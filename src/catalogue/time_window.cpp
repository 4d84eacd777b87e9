#include "catalogue/time_window.h"

#include <cstdio>

namespace pelorin {

namespace {

TDateTime DayOf(TDateTime value) { return static_cast<TDateTime>(TDateTimeDay(value)); }

void TimeTexts(TDateTime value, std::string& hour, std::string& minute) {
  const TDateParts p = DecodeDateTime(value);
  char text[8];
  std::snprintf(text, sizeof text, "%02d", p.Minute);
  hour = std::to_string(p.Hour);
  minute = text;
}

// The first day of the month that holds `value`; false outside the encodable years.
bool FirstOfMonth(TDateTime value, TDateTime& first) {
  const TDateParts p = DecodeDateTime(DayOf(value));
  return TryEncodeDate(p.Year, p.Month, 1, first);
}

bool FirstOfMonthAt(TDateTime value, TDateTime& first) { return FirstOfMonth(value, first); }

void Pump(const TShowAndPump& pump, const TTimeWindowState& state) {
  if (pump) pump(state);
}

}  // namespace

void SetStartTimeTexts(TTimeWindowState& state, TDateTime value) {
  TimeTexts(value, state.Edit_StartTime_h, state.Edit_StartTime_min);
}

void SetEndTimeTexts(TTimeWindowState& state, TDateTime value) {
  TimeTexts(value, state.Edit_EndTime_h, state.Edit_EndTime_min);
}

void AdjustStartDate(const TLogList& logList, TTimeWindowState& state) {
  if (logList.empty()) return;
  const TDateTime d = DayOf(state.StartDay);
  const TLogDateTime* taken = &logList.back();
  if (d < logList.front().LogDate) {
    taken = &logList.front();
  } else if (d > logList.back().LogDate) {
    taken = &logList.back();
  } else {
    for (const TLogDateTime& e : logList) {
      if (e.LogDate >= d) {
        taken = &e;
        break;
      }
    }
  }
  state.StartDay = DayOf(taken->LogDateTime_Start);
  SetStartTimeTexts(state, taken->LogDateTime_Start);
}

void AdjustEndDate(const TLogList& logList, TTimeWindowState& state) {
  if (logList.empty()) return;
  const TDateTime d = DayOf(state.EndDay);
  const TLogDateTime* taken = &logList.front();
  if (d > logList.back().LogDate) {
    taken = &logList.back();
  } else if (d < logList.front().LogDate) {
    taken = &logList.front();
  } else {
    for (auto it = logList.rbegin(); it != logList.rend(); ++it) {
      if (it->LogDate <= d) {
        taken = &*it;
        break;
      }
    }
  }
  state.EndDay = DayOf(taken->LogDateTime_End);
  SetEndTimeTexts(state, taken->LogDateTime_End);
}

void MonthCalendar_StartClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  const TDateTime s = DayOf(state.StartDay);
  const TDateTime e = DayOf(state.EndDay);
  AdjustStartDate(catalogue.LogList, state);
  if (s > e) state.EndDay = DayOf(state.StartDay);
  Pump(pump, state);
  AdjustEndDate(catalogue.LogList, state);
}

void MonthCalendar_EndClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  const TDateTime e = DayOf(state.EndDay);
  const TDateTime s = DayOf(state.StartDay);
  AdjustEndDate(catalogue.LogList, state);
  if (e < s) state.StartDay = DayOf(state.EndDay);
  Pump(pump, state);
  AdjustStartDate(catalogue.LogList, state);
}

void BitBtn_StartKleinerClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  TDateTime first = 0, target = 0;
  if (!FirstOfMonth(state.StartDay, first) || !FirstOfMonthAt(first - 1, target)) return;
  state.StartDay = target;
  AdjustStartDate(catalogue.LogList, state);
  MonthCalendar_StartClick(catalogue, state, pump);
}

void BitBtn_StartGroesserClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  TDateTime first = 0, target = 0;
  if (!FirstOfMonth(state.StartDay, first) || !FirstOfMonthAt(first + 32, target)) return;
  state.StartDay = target;
  AdjustStartDate(catalogue.LogList, state);
  MonthCalendar_StartClick(catalogue, state, pump);
}

void BitBtn_EndKleinerClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  TDateTime first = 0;
  if (!FirstOfMonth(state.EndDay, first)) return;
  state.EndDay = first - 1;
  AdjustEndDate(catalogue.LogList, state);
  MonthCalendar_EndClick(catalogue, state, pump);
}

void BitBtn_EndGroesserClick(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  TDateTime first = 0, afterNext = 0;
  if (!FirstOfMonth(state.EndDay, first) || !FirstOfMonthAt(first + 64, afterNext)) return;
  state.EndDay = afterNext - 1;
  AdjustEndDate(catalogue.LogList, state);
  MonthCalendar_EndClick(catalogue, state, pump);
}

uint32_t BoldDaysOfMonth(const TLogList& logList, int year, int month, TCalendarSide side) {
  uint32_t mask = 0;
  for (const TLogDateTime& e : logList) {
    const TDateTime t = side == TCalendarSide::Start ? e.LogDateTime_Start : e.LogDateTime_End;
    if (t == 0) continue;  // no time stamp: no day
    const TDateParts p = DecodeDateTime(t);
    if (p.Year == year && p.Month == month && p.Day >= 1 && p.Day <= 31) mask |= uint32_t{1} << (p.Day - 1);
  }
  return mask;
}

uint32_t MonthCalendar_GetMonthInfo(const TCatalogue& catalogue, int year, int month, TCalendarSide side) {
  if (!catalogue.CalendarsReady) return 0;
  return BoldDaysOfMonth(catalogue.LogList, year, month, side);
}

void ResnapTimeWindow(const TCatalogue& catalogue, TTimeWindowState& state, const TShowAndPump& pump) {
  if (!catalogue.DataAvailable) return;
  const std::string startH = state.Edit_StartTime_h, startMin = state.Edit_StartTime_min;
  const std::string endH = state.Edit_EndTime_h, endMin = state.Edit_EndTime_min;
  MonthCalendar_StartClick(catalogue, state, pump);
  MonthCalendar_EndClick(catalogue, state, pump);
  Pump(pump, state);
  state.Edit_StartTime_h = startH;
  state.Edit_StartTime_min = startMin;
  state.Edit_EndTime_h = endH;
  state.Edit_EndTime_min = endMin;
}

bool ReadWholeNumber(const std::string& text, int64_t& value) {
  size_t b = 0, e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  bool negative = false;
  if (b < e && (text[b] == '+' || text[b] == '-')) {
    negative = text[b] == '-';
    ++b;
  }
  if (b == e || e - b > 9) return false;
  int64_t v = 0;
  for (size_t i = b; i < e; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
  }
  value = negative ? -v : v;
  return true;
}

bool FormTimeWindow(const TTimeWindowState& state, TDateTime& start, TDateTime& end, std::string* badField) {
  struct TField { const std::string* Text; const char* Name; int64_t Value; };
  TField fields[4] = {{&state.Edit_StartTime_h, "Edit_StartTime_h", 0},
                      {&state.Edit_StartTime_min, "Edit_StartTime_min", 0},
                      {&state.Edit_EndTime_h, "Edit_EndTime_h", 0},
                      {&state.Edit_EndTime_min, "Edit_EndTime_min", 0}};
  for (TField& f : fields) {
    if (!ReadWholeNumber(*f.Text, f.Value)) {
      if (badField) *badField = f.Name;
      return false;
    }
  }
  const int64_t startSecs = TDateTimeDay(state.StartDay) * 86400 + fields[0].Value * 3600 + fields[1].Value * 60;
  const int64_t endSecs = TDateTimeDay(state.EndDay) * 86400 + fields[2].Value * 3600 + fields[3].Value * 60;
  start = SecondsToTDateTime(startSecs);
  end = SecondsToTDateTime(endSecs);
  return true;
}

}  // namespace pelorin
