// The times lines carry beside their sentences, and the base stations' clock.
#include "codec/line_stamp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/station_clock.h"
#include "codec/tdatetime.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::WithChecksum;

constexpr int kYear = 2025;
// Lines as the project's log generator writes them (tools/genlog.py, seed 3).
const std::string kAis = "!AIVDM,1,1,,B,13kiphhP1s0TbwPNodVt1IT00@00,0*6D";
const std::string kTagged = "\\s:PELR01,c:1302213600009*09\\" + kAis;

std::string Tag(const std::string& parameters) { return WithChecksum("\\" + parameters) + "\\"; }

int64_t Seconds(int y, int mo, int d, int h, int mi, int s) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, t));
  return TDateTimeToSeconds(t);
}

TEST(SentenceOfLine, StampsAndTheirSentences) {
  struct Case {
    std::string Line;
    TStampKind Kind;
    int64_t Seconds;         // for Time
    std::string Sentence;    // what is left for the splitter
  };
  const int64_t t0 = Seconds(2011, 4, 7, 22, 0, 0);
  const Case cases[] = {
      {kAis, TStampKind::None, 0, kAis},
      {kTagged, TStampKind::Time, t0, kAis},                                          // milliseconds
      {Tag("s:PELR01,c:1302213600") + kAis, TStampKind::Time, t0, kAis},              // seconds
      {Tag("c:1302213600,s:X,g:1-2-7") + kAis, TStampKind::Time, t0, kAis},            // other parameters
      {"\\s:PELR01,c:1302213600009*0A\\" + kAis, TStampKind::BadChecksum, 0, kAis},
      {"\\s:PELR01,c:1302213600009\\" + kAis, TStampKind::BadChecksum, 0, kAis},       // no checksum at all
      {"\\s:PELR01,c:1302213600009*09" + kAis, TStampKind::None, 0, "\\s:PELR01,c:1302213600009*09" + kAis},
      {Tag("s:PELR01,c:") + kAis, TStampKind::NoTime, 0, kAis},
      {Tag("c:-1302213600") + kAis, TStampKind::NoTime, 0, kAis},
      {Tag("c:99999999999") + kAis, TStampKind::NoTime, 0, kAis},                     // year 5138
      {Tag("c:123456789012345678901234567890") + kAis, TStampKind::NoTime, 0, kAis},
      {Tag("c:915148800") + kAis, TStampKind::NoTime, 0, kAis},                        // 1999
      {Tag("s:A") + kAis, TStampKind::NoTime, 0, kAis},                               // no c:
      {Tag("s:A") + Tag("c:1302213600") + kAis, TStampKind::Time, t0, kAis},          // two blocks
      {"\\s:A*00\\" + Tag("c:1302213600") + kAis, TStampKind::BadChecksum, 0, kAis},
      {"2024-12-09T22:07:14Z " + kAis, TStampKind::Time, Seconds(2024, 12, 9, 22, 7, 14), kAis},
      {"2024-12-09 22:07:14.123;" + kAis, TStampKind::Time, Seconds(2024, 12, 9, 22, 7, 14), kAis},
      {"2024-12-09T22:07:14\t" + kAis, TStampKind::Time, Seconds(2024, 12, 9, 22, 7, 14), kAis},
      {"2024-12-09T22:07:14.5Z," + kAis, TStampKind::Time, Seconds(2024, 12, 9, 22, 7, 14), kAis},
      {"2024-15-09T22:07:14Z " + kAis, TStampKind::NoTime, 0, kAis},
      {"2024-12-09T24:07:14Z " + kAis, TStampKind::NoTime, 0, kAis},
      {"2024-12-09T22:07:14Z" + kAis, TStampKind::None, 0, "2024-12-09T22:07:14Z" + kAis},
      {kAis + ",rPELR01,1241544035", TStampKind::Time, Seconds(2009, 5, 5, 17, 20, 35), kAis},
      {kAis + ",rPELR01,x", TStampKind::None, 0, kAis + ",rPELR01,x"},
      {kAis + ",rPELR01,-5", TStampKind::None, 0, kAis + ",rPELR01,-5"},
      {"", TStampKind::None, 0, ""},
  };
  for (const Case& c : cases) {
    TLineStamp stamp;
    const std::string_view sentence = SentenceOfLine(c.Line, kYear, stamp);
    EXPECT_EQ(stamp.Kind, c.Kind) << c.Line;
    EXPECT_EQ(sentence, c.Sentence) << c.Line;
    if (c.Kind == TStampKind::Time) {
      EXPECT_EQ(stamp.Seconds, c.Seconds) << c.Line;
    }
  }
}

// A base station's message 4, from the Danish Maritime Authority's stream example
// (dma-ais/AisLib, Apache-2.0), logged beside its receiver's time 2010-06-11 11:46:11.
TEST(StationTime, DecodesARealMessage4) {
  TStationTime t;
  ASSERT_TRUE(AIS_DecodeStationTime("402=481uaUcf;OQ55JS9ITi025Jp", t));
  EXPECT_EQ(t.MMSI, 2311200u);
  EXPECT_EQ(t.Year, 2010);
  EXPECT_EQ(t.Month, 6);
  EXPECT_EQ(t.Day, 11);
  EXPECT_EQ(t.Hour, 11);
  EXPECT_EQ(t.Minute, 46);
  EXPECT_FALSE(AIS_DecodeStationTime("402=481uaUcf", t));
}

TEST(StationClock, AcceptsOnlyPlausibleTimes) {
  constexpr uint32_t kStation = 2190047, kOther = 2655000, kVessel = 219000001;
  struct Step {
    uint32_t MMSI;
    int Y, Mo, D, H, Mi, S;
    bool Accepted;
  };
  struct Case {
    const char* Name;
    std::vector<Step> Steps;
  };
  const Case cases[] = {
      {"a base station's first report sets the clock, the next keep it",
       {{kStation, 2010, 6, 11, 11, 46, 0, true}, {kStation, 2010, 6, 11, 11, 46, 10, true},
        {kOther, 2010, 6, 11, 11, 46, 13, true}}},
      {"a wrong first report gives way to the station's next two",
       {{kStation, 2003, 6, 11, 11, 46, 0, true}, {kStation, 2010, 6, 11, 11, 46, 10, false},
        {kStation, 2010, 6, 11, 11, 46, 20, true}, {kStation, 2003, 6, 11, 11, 46, 30, false},
        {kStation, 2003, 6, 11, 11, 46, 40, false}}},
      {"a vessel's report waits, a base station's sets the clock",
       {{kVessel, 2010, 6, 11, 11, 46, 0, false}, {kStation + 1, 2010, 6, 11, 11, 46, 3, true}}},
      {"impossible fields never count",
       {{kStation, 4161, 6, 11, 11, 46, 0, false}, {kStation, 4161, 6, 11, 11, 46, 10, false},
        {kStation, 2010, 15, 11, 11, 46, 0, false}, {kStation, 2010, 15, 11, 11, 46, 10, false},
        {kStation, 2010, 6, 11, 24, 46, 0, false}, {kStation, 2010, 6, 11, 24, 46, 10, false},
        {kStation, 2010, 2, 30, 11, 46, 0, false}, {kStation, 2010, 2, 30, 11, 46, 10, false},
        {kStation, 2010, 6, 11, 11, 46, 60, false}, {kStation, 2027, 6, 11, 11, 46, 0, false},
        {kStation, 2027, 6, 11, 11, 46, 10, false}}},
      {"a vessel's message 4 of 2006 moves nothing",
       {{kStation, 2010, 6, 11, 11, 46, 0, true}, {kStation, 2010, 6, 11, 11, 46, 10, true},
        {kVessel, 2006, 1, 1, 0, 0, 0, false}, {kVessel, 2006, 1, 1, 0, 0, 10, false},
        {kStation, 2010, 6, 11, 11, 46, 20, true}}},
      {"a vessel alone never sets the clock",
       {{kVessel, 2006, 1, 1, 0, 0, 0, false}, {kVessel, 2006, 1, 1, 0, 0, 10, false}}},
      {"a date years away from its neighbours",
       {{kStation, 2010, 6, 11, 11, 46, 0, true}, {kStation, 2010, 6, 11, 11, 46, 10, true},
        {kStation, 2003, 6, 11, 11, 46, 20, false}, {kStation, 2010, 6, 11, 11, 46, 30, true},
        {kStation, 2003, 6, 11, 11, 46, 40, false}, {kStation, 2003, 6, 11, 11, 46, 50, false}}},
      {"after a gap the station moves the clock forward, a second station any way",
       {{kStation, 2010, 6, 11, 11, 46, 0, true}, {kStation, 2010, 6, 11, 11, 46, 10, true},
        {kStation, 2010, 6, 11, 13, 0, 0, false}, {kStation, 2010, 6, 11, 13, 0, 10, true},
        {kStation, 2010, 6, 11, 9, 0, 0, false}, {kOther, 2010, 6, 11, 9, 0, 5, true}}},
  };
  for (const Case& c : cases) {
    TStationClock clock;
    for (size_t i = 0; i < c.Steps.size(); ++i) {
      const Step& s = c.Steps[i];
      int64_t seconds = -1;
      const bool accepted = StationClockReport(clock, {s.MMSI, s.Y, s.Mo, s.D, s.H, s.Mi, s.S}, kYear, seconds);
      EXPECT_EQ(accepted, s.Accepted) << c.Name << ", step " << i;
      if (accepted) {
        EXPECT_EQ(seconds, Seconds(s.Y, s.Mo, s.D, s.H, s.Mi, s.S)) << c.Name << ", step " << i;
      }
    }
  }
}

// Danish coast stations a minute apart, as in the stream example: the clock keeps the later.
TEST(StationClock, LaggingStationDoesNotPullTheTimeBack) {
  TStationClock clock;
  int64_t seconds = 0;
  ASSERT_TRUE(StationClockReport(clock, {2311200, 2010, 6, 11, 11, 46, 11}, kYear, seconds));
  ASSERT_TRUE(StationClockReport(clock, {2275200, 2010, 6, 11, 11, 45, 24}, kYear, seconds));
  EXPECT_EQ(seconds, Seconds(2010, 6, 11, 11, 46, 11));
  ASSERT_TRUE(StationClockReport(clock, {2614500, 2010, 6, 11, 11, 46, 12}, kYear, seconds));
  EXPECT_EQ(seconds, Seconds(2010, 6, 11, 11, 46, 12));
}

}  // namespace
}  // namespace pelorin
