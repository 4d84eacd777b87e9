#include "codec/tdatetime.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TEST(TDateTime, KnownDays) {
  struct { int y, m, d; double expected; } cases[] = {
      {1899, 12, 30, 0}, {1899, 12, 31, 1}, {1900, 1, 1, 2}, {2011, 4, 7, 40640}, {2000, 2, 29, 36585},
  };
  for (const auto& c : cases) {
    TDateTime v = -1;
    ASSERT_TRUE(TryEncodeDate(c.y, c.m, c.d, v)) << c.y << "-" << c.m << "-" << c.d;
    EXPECT_EQ(v, c.expected);
    auto p = DecodeDateTime(v);
    EXPECT_EQ(p.Year, c.y);
    EXPECT_EQ(p.Month, c.m);
    EXPECT_EQ(p.Day, c.d);
  }
}

TEST(TDateTime, ImpossibleDatesAndTimes) {
  TDateTime v = 0;
  EXPECT_FALSE(TryEncodeDate(2011, 2, 29, v));
  EXPECT_FALSE(TryEncodeDate(2011, 13, 1, v));
  EXPECT_FALSE(TryEncodeDate(2011, 0, 1, v));
  EXPECT_FALSE(TryEncodeDate(0, 1, 1, v));
  EXPECT_FALSE(TryEncodeDateTime(2011, 4, 7, 24, 0, 0, v));
  EXPECT_FALSE(TryEncodeDateTime(2011, 4, 7, 23, 60, 0, v));
  EXPECT_FALSE(TryEncodeDateTime(2011, 4, 7, 23, 59, 60, v));
}

TEST(TDateTime, SecondsRoundTripAcrossCenturies) {
  for (int year : {1980, 1999, 2000, 2038, 2099}) {
    TDateTime v = 0;
    ASSERT_TRUE(TryEncodeDateTime(year, 12, 31, 23, 59, 59, v));
    auto p = DecodeDateTime(v);
    EXPECT_EQ(p.Year, year);
    EXPECT_EQ(p.Hour, 23);
    EXPECT_EQ(p.Minute, 59);
    EXPECT_EQ(p.Second, 59);
    EXPECT_EQ(SecondsToTDateTime(TDateTimeToSeconds(v)), v);
  }
}

TEST(TDateTime, MinuteBoundFormedFromFieldsEqualsTimeStampOfThatMinute) {
  // A window bound day + h/24 + m/1440 and a time stamp at second 0 of that minute must
  // compare equal in whole seconds.
  TDateTime day = 0, stamp = 0;
  ASSERT_TRUE(TryEncodeDate(2011, 4, 7, day));
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, 10, 5, 0, stamp));
  for (int h = 0; h < 24; ++h)
    for (int m = 0; m < 60; ++m) {
      TDateTime bound = day + h / 24.0 + m / 1440.0;
      TDateTime s = 0;
      ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, h, m, 0, s));
      ASSERT_EQ(TDateTimeToSeconds(bound), TDateTimeToSeconds(s)) << h << ":" << m;
    }
}

}  // namespace
}  // namespace pelorin
