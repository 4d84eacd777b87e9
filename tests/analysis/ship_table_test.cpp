#include "analysis/ship_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codec/nmea.h"

namespace pelorin {
namespace {

// Fields of a line as the pass sees them; the line is kept alive by the caller.
TFieldList Split(const std::string& line) {
  TFieldList f;
  NMEA_Split(line, f);
  return f;
}

// The time text a reader makes of the fields.
TText Text(void (*reader)(const TFieldList&, int, TText&), const TFieldList& f) {
  TText text = "old";
  reader(f, 2026, text);
  return text;
}

TEST(RmcTimeStamp, AcceptedSentences) {
  struct Case {
    const char* line;
    const char* text;
    bool ok;
    int y, mo, d, h, mi, s;
  } cases[] = {
      {"$GPRMC,123456.78,A,5404.2000,N,00758.8000,E,2.5,90.4,150311,,,A*00", "2011-03-15T12:34:56Z", true, 2011, 3, 15,
       12, 34, 56},
      {"$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*5F", "2011-04-07T09:30:15Z", true, 2011, 4, 7, 9,
       30, 15},
      // 31 February: a text, but no value.
      {"$GPRMC,123456.00,A,5404.2000,N,00758.8000,E,2.5,90.4,310211,,,A*00", "2011-02-31T12:34:56Z", false, 0, 0, 0, 0, 0, 0},
      // Hour 24 and a garbled time field.
      {"$GPRMC,240000.00,A,5404.2000,N,00758.8000,E,2.5,90.4,070411,,,A*00", "2011-04-07T24:00:00Z", false, 0, 0, 0, 0, 0, 0},
      {"$GPRMC,09x015.00,A,5404.2000,N,00758.8000,E,2.5,90.4,070411,,,A*00", "2011-04-07T09:x0:15Z", false, 0, 0, 0, 0, 0, 0},
      // A time field too short for its seconds.
      {"$GPRMC,0930,A,5404.2000,N,00758.8000,E,2.5,90.4,070411,,,A*00", "2011-04-07T09:30:Z", false, 0, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    const std::string line = c.line;
    const TFieldList f = Split(line);
    EXPECT_EQ(Text(RMC_TimeStampStr, f), c.text) << c.line;
    TDateTime dt = 99;
    EXPECT_EQ(RMC_TimeStampDT(f, 2026, dt), c.ok) << c.line;
    if (c.ok) {
      TDateTime expected = 0;
      ASSERT_TRUE(TryEncodeDateTime(c.y, c.mo, c.d, c.h, c.mi, c.s, expected));
      EXPECT_EQ(TDateTimeToSeconds(dt), TDateTimeToSeconds(expected));
    } else {
      EXPECT_EQ(dt, 0);
    }
  }
}

TEST(RmcTimeStamp, RejectedSentencesGiveNothing) {
  for (const std::string line : {
           "$GPRMC,123456.00,V,5404.2000,N,00758.8000,E,2.5,90.4,150311,,,A*00",  // status V
           "$GPRMC,123456.00,A,5404.2000,N,00758.8000,E,2.5,90.4,150311,,*00",    // 12 fields
           "$GPRMC,123456.00,a,5404.2000,N,00758.8000,E,2.5,90.4,150311,,,A*00",  // lower-case status
       }) {
    const TFieldList f = Split(line);
    EXPECT_EQ(Text(RMC_TimeStampStr, f), "") << line;
    TDateTime dt = 5;
    EXPECT_FALSE(RMC_TimeStampDT(f, 2026, dt)) << line;
    EXPECT_EQ(dt, 0);
  }
}

TEST(ZdaTimeStamp, Cases) {
  struct Case {
    const char* line;
    const char* text;
    bool ok;
  } cases[] = {
      {"$GPZDA,123456.00,15,03,2011,00,00*00", "2011-03-15T12:34:56Z", true},
      {"$ECZDA,093016.00,07,04,2011,00,00*7B", "2011-04-07T09:30:16Z", true},
      // Fields taken as they stand for the text; the value needs a real date.
      {"$GPZDA,123456.00,7,4,2011,00,00*00", "2011-4-7T12:34:56Z", true},
      {"$GPZDA,123456.00,30,02,2011,00,00*00", "2011-02-30T12:34:56Z", false},
      {"$GPZDA,123456.00,15,03,20x1,00,00*00", "20x1-03-15T12:34:56Z", false},
      {"$GPZDA,,15,03,2011,00,00*00", "", false},
      {"$GPZDA,123456.00,15,03,2011,00*00", "", false},
  };
  for (const Case& c : cases) {
    const std::string line = c.line;
    const TFieldList f = Split(line);
    EXPECT_EQ(Text(ZDA_TimeStampStr, f), c.text) << c.line;
    TDateTime dt = 7;
    EXPECT_EQ(ZDA_TimeStampDT(f, 2026, dt), c.ok) << c.line;
    if (!c.ok) {
      EXPECT_EQ(dt, 0);
    }
  }
}

TEST(DegreeTexts, Conversions) {
  struct Case {
    bool lon;
    const char* in;
    const char* out;  // nullptr: not a number, no result
  } cases[] = {
      {true, "00830.5000", "8.508333"},   {false, "5330.0000", "53.500000"}, {true, "00000.0000", "0.000000"},
      {false, "5404.2000", "54.070000"},  {true, "00758.8000", "7.980000"}, {true, "17959.9999", "179.999998"},
      // 0.00003 minutes is exactly half a millionth of a degree: rounds up.
      {false, "0000.00003", "0.000001"},  {false, "0000.00002", "0.000000"}, {true, "008", nullptr},
      {true, "00830.5A00", nullptr},      {false, "54O4.2000", nullptr},     {false, "", nullptr},
      {false, "5404.20.00", nullptr},     {true, "-0830.5000", nullptr},     {false, "5404.", "54.066667"},
  };
  for (const Case& c : cases) {
    TText out = "unchanged";
    const bool ok = c.lon ? NMEA_LonToDeg(c.in, out) : NMEA_LatToDeg(c.in, out);
    if (c.out == nullptr) {
      EXPECT_FALSE(ok) << c.in;
      EXPECT_EQ(out, "unchanged") << c.in;
    } else {
      EXPECT_TRUE(ok) << c.in;
      EXPECT_EQ(out, c.out) << c.in;
    }
  }
}

TEST(Validity, Static) {
  TStatic s;
  s.MMSI = "970012345";
  EXPECT_TRUE(IsValidStatic(s));
  s.MMSI = "12a";
  EXPECT_FALSE(IsValidStatic(s));
}

// The index must answer exactly as the linear first-match search, also when entry 0's
// MMSI is rewritten (as the own vessel's reports do) to one that another entry holds.
TEST(FindOrAddShip, SameResultsAsLinearSearch) {
  std::mt19937 rng(7);
  TAnalysisState state;
  TShipList reference;
  auto linear = [&](const std::string& mmsi) {
    for (size_t i = 0; i < reference.size(); ++i)
      if (reference[i].MMSI == mmsi) return i;
    reference.emplace_back();
    reference.back().MMSI = mmsi;
    return reference.size() - 1;
  };
  for (int step = 0; step < 5000; ++step) {
    const std::string mmsi = "2110000" + std::to_string(rng() % 40);
    if (rng() % 10 == 0 && !reference.empty()) {
      reference[0].MMSI = mmsi;
      state.aShipList[0].MMSI = mmsi;
      continue;
    }
    const size_t expected = linear(mmsi);
    ASSERT_EQ(FindOrAddShip(state, mmsi), expected) << step;
    ASSERT_EQ(state.aShipList.size(), reference.size());
    ASSERT_EQ(state.aShipList[expected].MMSI, mmsi);
  }
}

TEST(FindOrAddShip, ClearAndInit) {
  TAnalysisState state;
  EnsureOwnShipEntry(state);
  ASSERT_EQ(state.aShipList.size(), 1u);
  EXPECT_EQ(state.aShipList[0].ShipName, "Own Ship");
  EXPECT_EQ(state.aShipList[0].MMSI, "111111111");
  EXPECT_EQ(FindOrAddShip(state, "111111111"), 0u);
  EXPECT_EQ(FindOrAddShip(state, "211000001"), 1u);
  state.aShipList[1].aPlot.emplace_back();
  InitShipEntry(state, 1);
  EXPECT_TRUE(state.aShipList[1].aPlot.empty());
  EXPECT_EQ(state.aShipList[1].MMSI, "");
  EXPECT_EQ(FindOrAddShip(state, "211000001"), 2u);
  ClearShipTable(state);
  EXPECT_TRUE(state.aShipList.empty());
  EXPECT_EQ(FindOrAddShip(state, "211000001"), 0u);
}

}  // namespace
}  // namespace pelorin
