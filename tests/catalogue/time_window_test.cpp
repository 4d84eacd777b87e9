// Snapping the chooser to days with data, the month steps, bold days, and the window.
#include "catalogue/time_window.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelorin {
namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, t));
  return t;
}

TLogDateTime Entry(TDateTime start, TDateTime end) {
  TLogDateTime e;
  e.LogDateTime_Start = start;
  e.LogDateTime_End = end;
  e.LogDate = static_cast<TDateTime>(TDateTimeDay(start));
  return e;
}

// 7.4 (one entry), 9.4 (two entries), 20.6.2011.
TCatalogue Sample() {
  TCatalogue c;
  c.LogList = {Entry(At(2011, 4, 7, 9, 0, 0), At(2011, 4, 7, 23, 59, 56)),
               Entry(At(2011, 4, 9, 0, 0, 1), At(2011, 4, 9, 5, 0, 0)),
               Entry(At(2011, 4, 9, 5, 0, 5), At(2011, 4, 9, 10, 30, 0)),
               Entry(At(2011, 6, 20, 8, 15, 0), At(2011, 6, 20, 18, 45, 0))};
  c.DataAvailable = true;
  c.CalendarsReady = true;
  return c;
}

TTimeWindowState State(TDateTime start, TDateTime end) {
  TTimeWindowState s;
  s.StartDay = start;
  s.EndDay = end;
  return s;
}

void ExpectStart(const TTimeWindowState& s, TDateTime day, const char* h, const char* mi) {
  EXPECT_EQ(s.StartDay, day);
  EXPECT_EQ(s.Edit_StartTime_h, h);
  EXPECT_EQ(s.Edit_StartTime_min, mi);
}
void ExpectEnd(const TTimeWindowState& s, TDateTime day, const char* h, const char* mi) {
  EXPECT_EQ(s.EndDay, day);
  EXPECT_EQ(s.Edit_EndTime_h, h);
  EXPECT_EQ(s.Edit_EndTime_min, mi);
}

TEST(TimeWindow, StartClickOnDayWithoutDataMovesForward) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 8), At(2011, 6, 20));
  MonthCalendar_StartClick(c, s);
  ExpectStart(s, At(2011, 4, 9), "0", "00");  // the day's first entry
  ExpectEnd(s, At(2011, 6, 20), "18", "45");
}

TEST(TimeWindow, EndClickOnDayWithoutDataMovesBack) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 7), At(2011, 4, 8));
  MonthCalendar_EndClick(c, s);
  ExpectEnd(s, At(2011, 4, 7), "23", "59");
  ExpectStart(s, At(2011, 4, 7), "9", "00");
}

TEST(TimeWindow, DayWithSeveralEntries) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 9), At(2011, 4, 9));
  MonthCalendar_StartClick(c, s);
  ExpectStart(s, At(2011, 4, 9), "0", "00");
  ExpectEnd(s, At(2011, 4, 9), "10", "30");  // the day's last entry
}

TEST(TimeWindow, StartAfterEndDragsTheEnd) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 9), At(2011, 4, 7));
  MonthCalendar_StartClick(c, s);
  ExpectStart(s, At(2011, 4, 9), "0", "00");
  ExpectEnd(s, At(2011, 4, 9), "10", "30");
}

TEST(TimeWindow, EndBeforeStartDragsTheStart) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 9), At(2011, 4, 7));
  MonthCalendar_EndClick(c, s);
  ExpectEnd(s, At(2011, 4, 7), "23", "59");
  ExpectStart(s, At(2011, 4, 7), "9", "00");
}

TEST(TimeWindow, OutsideTheDataSnapsToFirstOrLast) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2010, 1, 1), At(2012, 1, 1));
  MonthCalendar_StartClick(c, s);
  ExpectStart(s, At(2011, 4, 7), "9", "00");
  ExpectEnd(s, At(2011, 6, 20), "18", "45");
  s = State(At(2012, 1, 1), At(2012, 1, 1));
  AdjustStartDate(c.LogList, s);
  ExpectStart(s, At(2011, 6, 20), "8", "15");
  s = State(At(2010, 1, 1), At(2010, 1, 1));
  AdjustEndDate(c.LogList, s);
  ExpectEnd(s, At(2011, 4, 7), "23", "59");
}

TEST(TimeWindow, PumpSeesTheFirstAdjustmentOnly) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 8), At(2011, 5, 1));
  std::vector<TTimeWindowState> seen;
  MonthCalendar_StartClick(c, s, [&](const TTimeWindowState& st) { seen.push_back(st); });
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].StartDay, At(2011, 4, 9));
  EXPECT_EQ(seen[0].EndDay, At(2011, 5, 1));
  EXPECT_EQ(s.EndDay, At(2011, 4, 9));
}

TEST(TimeWindow, MonthSteps) {
  const TCatalogue c = Sample();
  struct Case {
    void (*step)(const TCatalogue&, TTimeWindowState&, const TShowAndPump&);
    TDateTime startBefore, endBefore, startAfter, endAfter;
  };
  const Case cases[] = {
      // Start ">" from April: May has no data, June has.
      {BitBtn_StartGroesserClick, At(2011, 4, 7), At(2011, 6, 20), At(2011, 6, 20), At(2011, 6, 20)},
      // Start "<" from June: May has none, so the first day with data of June.
      {BitBtn_StartKleinerClick, At(2011, 6, 20), At(2011, 6, 20), At(2011, 6, 20), At(2011, 6, 20)},
      // Start "<" from April: before the first day, so the first day.
      {BitBtn_StartKleinerClick, At(2011, 4, 9), At(2011, 6, 20), At(2011, 4, 7), At(2011, 6, 20)},
      // Start ">" at the last month stays there.
      {BitBtn_StartGroesserClick, At(2011, 6, 20), At(2011, 6, 20), At(2011, 6, 20), At(2011, 6, 20)},
      // End ">" from April: 31 May, back to 9 April.
      {BitBtn_EndGroesserClick, At(2011, 4, 7), At(2011, 4, 7), At(2011, 4, 7), At(2011, 4, 9)},
      // End "<" from June: 31 May, back to 9 April.
      {BitBtn_EndKleinerClick, At(2011, 4, 7), At(2011, 6, 20), At(2011, 4, 7), At(2011, 4, 9)},
      // End "<" from April: before the first day, so the first entry.
      {BitBtn_EndKleinerClick, At(2011, 4, 7), At(2011, 4, 9), At(2011, 4, 7), At(2011, 4, 7)},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    TTimeWindowState s = State(cases[i].startBefore, cases[i].endBefore);
    cases[i].step(c, s, {});
    EXPECT_EQ(s.StartDay, cases[i].startAfter);
    EXPECT_EQ(s.EndDay, cases[i].endAfter);
  }
}

TEST(TimeWindow, MonthStepsAcrossTheYearAndShortMonths) {
  TCatalogue c;
  c.DataAvailable = true;
  c.LogList = {Entry(At(2011, 12, 30, 10), At(2011, 12, 30, 11)), Entry(At(2012, 1, 2, 10), At(2012, 1, 2, 11)),
               Entry(At(2012, 2, 29, 10), At(2012, 2, 29, 11)), Entry(At(2012, 3, 1, 10), At(2012, 3, 1, 11))};
  TTimeWindowState s = State(At(2011, 12, 30), At(2012, 3, 1));
  BitBtn_StartGroesserClick(c, s, {});
  EXPECT_EQ(s.StartDay, At(2012, 1, 2));
  s = State(At(2012, 1, 2), At(2012, 1, 2));
  BitBtn_EndGroesserClick(c, s, {});  // last day of February of a leap year
  EXPECT_EQ(s.EndDay, At(2012, 2, 29));
  s = State(At(2011, 12, 30), At(2012, 3, 1));
  BitBtn_EndKleinerClick(c, s, {});
  EXPECT_EQ(s.EndDay, At(2012, 2, 29));
  s = State(At(2012, 1, 2), At(2012, 3, 1));
  BitBtn_StartKleinerClick(c, s, {});
  EXPECT_EQ(s.StartDay, At(2011, 12, 30));
}

TEST(TimeWindow, NothingHappensWithoutData) {
  TCatalogue c = Sample();
  c.DataAvailable = false;
  const TTimeWindowState before = State(At(2011, 4, 8), At(2011, 4, 8));
  using TStep = void (*)(const TCatalogue&, TTimeWindowState&, const TShowAndPump&);
  for (TStep step : {TStep(MonthCalendar_StartClick), TStep(MonthCalendar_EndClick), TStep(BitBtn_StartKleinerClick),
                     TStep(BitBtn_StartGroesserClick), TStep(BitBtn_EndKleinerClick), TStep(BitBtn_EndGroesserClick),
                     TStep(ResnapTimeWindow)}) {
    TTimeWindowState s = before;
    step(c, s, {});
    EXPECT_EQ(s.StartDay, before.StartDay);
    EXPECT_EQ(s.Edit_EndTime_h, "23");
  }
  c.CalendarsReady = false;
  EXPECT_EQ(MonthCalendar_GetMonthInfo(c, 2011, 4, TCalendarSide::Start), 0u);
  TTimeWindowState s = before;
  AdjustStartDate({}, s);  // an empty index changes nothing
  EXPECT_EQ(s.StartDay, before.StartDay);
}

TEST(BoldDays, YearAndMonthAndSide) {
  const TCatalogue c = Sample();
  EXPECT_EQ(BoldDaysOfMonth(c.LogList, 2011, 4, TCalendarSide::Start), (1u << 6) | (1u << 8));
  EXPECT_EQ(BoldDaysOfMonth(c.LogList, 2011, 6, TCalendarSide::End), 1u << 19);
  EXPECT_EQ(BoldDaysOfMonth(c.LogList, 2011, 5, TCalendarSide::Start), 0u);
  EXPECT_EQ(MonthCalendar_GetMonthInfo(c, 2011, 4, TCalendarSide::Start), (1u << 6) | (1u << 8));
  TLogList ends = {Entry(At(2011, 4, 30, 23), At(2011, 5, 1, 0, 30))};
  EXPECT_EQ(BoldDaysOfMonth(ends, 2011, 4, TCalendarSide::Start), 1u << 29);
  EXPECT_EQ(BoldDaysOfMonth(ends, 2011, 5, TCalendarSide::End), 1u);
  EXPECT_EQ(BoldDaysOfMonth(ends, 2011, 4, TCalendarSide::End), 0u);
}

TEST(BoldDays, LogSpanningTwoYears) {
  const TLogList list = {Entry(At(2011, 4, 20, 10), At(2011, 4, 20, 11)), Entry(At(2012, 4, 5, 10), At(2012, 4, 5, 11))};
  EXPECT_EQ(BoldDaysOfMonth(list, 2011, 4, TCalendarSide::Start), 1u << 19);
  EXPECT_EQ(BoldDaysOfMonth(list, 2012, 4, TCalendarSide::Start), 1u << 4);
  EXPECT_EQ(BoldDaysOfMonth(list, 2013, 4, TCalendarSide::Start), 0u);
}

TEST(BoldDays, OutOfOrderAndLastDay) {
  const TLogList list = {Entry(At(2011, 1, 31, 10), At(2011, 1, 31, 11)), Entry(At(2011, 1, 9, 10), At(2011, 1, 9, 11)),
                         Entry(At(2011, 1, 1, 10), At(2011, 1, 1, 11)), Entry(0, 0)};
  EXPECT_EQ(BoldDaysOfMonth(list, 2011, 1, TCalendarSide::End), (1u << 30) | (1u << 8) | 1u);
  EXPECT_EQ(BoldDaysOfMonth(list, 1899, 12, TCalendarSide::End), 0u);  // no stamp is no day
}

TEST(FormTimeWindow, WholeSecondsAndTypedValues) {
  TTimeWindowState s = State(At(2011, 4, 7), At(2011, 4, 8));
  s.Edit_StartTime_h = "9";
  s.Edit_StartTime_min = "05";
  s.Edit_EndTime_h = "0";
  s.Edit_EndTime_min = "90";
  TDateTime start = 0, end = 0;
  ASSERT_TRUE(FormTimeWindow(s, start, end));
  EXPECT_EQ(TDateTimeToSeconds(start), TDateTimeToSeconds(At(2011, 4, 7, 9, 5, 0)));
  EXPECT_EQ(start, At(2011, 4, 7, 9, 5, 0));  // the same double as a time stamp of that instant
  EXPECT_EQ(end, At(2011, 4, 8, 1, 30, 0));
  s.Edit_EndTime_h = "30";
  s.Edit_EndTime_min = " 7 ";
  ASSERT_TRUE(FormTimeWindow(s, start, end));
  EXPECT_EQ(end, At(2011, 4, 9, 6, 7, 0));
}

TEST(FormTimeWindow, RefusesTextsThatAreNotWholeNumbers) {
  for (const char* bad : {"", " ", "x", "1.5", "9h", "--1", "1234567890", "0x10"}) {
    TTimeWindowState s = State(At(2011, 4, 7), At(2011, 4, 7));
    s.Edit_EndTime_min = bad;
    TDateTime start = 1, end = 1;
    std::string field;
    EXPECT_FALSE(FormTimeWindow(s, start, end, &field)) << bad;
    EXPECT_EQ(field, "Edit_EndTime_min");
  }
  int64_t v = 0;
  EXPECT_TRUE(ReadWholeNumber("-5", v));
  EXPECT_EQ(v, -5);
  EXPECT_TRUE(ReadWholeNumber("+007", v));
  EXPECT_EQ(v, 7);
}

TEST(ResnapTimeWindow, SnapsDaysAndKeepsTypedTimes) {
  const TCatalogue c = Sample();
  TTimeWindowState s = State(At(2011, 4, 8), At(2011, 5, 15));
  s.Edit_StartTime_h = "3";
  s.Edit_StartTime_min = "7";
  ResnapTimeWindow(c, s);
  EXPECT_EQ(s.StartDay, At(2011, 4, 9));
  EXPECT_EQ(s.EndDay, At(2011, 4, 9));
  EXPECT_EQ(s.Edit_StartTime_h, "3");
  EXPECT_EQ(s.Edit_StartTime_min, "7");
  EXPECT_EQ(s.Edit_EndTime_h, "23");
}

}  // namespace
}  // namespace pelorin
