#include "analysis/log_pass.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "ais_test_encoder.h"
#include "output/kml_writer.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::Msg1;
using test::Msg14;
using test::Msg18;
using test::Msg24A;
using test::Msg24B;
using test::Msg5;
using test::Rmc;
using test::Vdm;
using test::VdmPart;
using test::Zda;

TDateTime At(int h, int m, int s = 0, int day = 7) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(2011, 4, day, h, m, s, t));
  return t;
}

constexpr uint32_t kShipA = 211000001;
constexpr uint32_t kShipB = 211000002;
constexpr uint32_t kOwn = 211999999;

// One pass over `lines` (all of them) with the window 10:00 to 10:05 on 7 April 2011.
struct PassRun {
  TAnalysisState state;
  test::TTempDir dir;
  test::TRecordingSink sink;
  bool reduced = true;
  TDateTime start = At(10, 0), end = At(10, 5);

  bool Run(const std::vector<std::string>& lines, bool first = true, const std::string& name = "T.LOG") {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    const std::string path = dir.Write(name, text).string();
    TLogPassOptions options;
    options.ReducedData = &reduced;
    const int64_t last = static_cast<int64_t>(lines.size()) - 1;
    return first ? ReadLogFile_First(state, path, 0, last, start, end, options, sink)
                 : ReadLogFile_Next(state, path, 0, last, start, end, options, sink);
  }
  const TStatic* Ship(uint32_t mmsi) const {
    for (const auto& s : state.aShipList)
      if (s.MMSI == std::to_string(mmsi)) return &s;
    return nullptr;
  }
  size_t Points(uint32_t mmsi) const {
    const TStatic* s = Ship(mmsi);
    return s == nullptr ? 0 : s->aPlot.size();
  }
};

TEST(LogPassEncoder, MatchesRealLine) {
  // The first line of the golden case1 card.
  EXPECT_EQ(Rmc("090000"), "$GPRMC,090000.00,A,5404.2000,N,00758.8000,E,2.5,90.4,070411,,,A*6B");
  EXPECT_EQ(Zda("090006"), "$ECZDA,090006.00,07,04,2011,00,00*79");
}

TEST(LogPass, TimeWindowBounds) {
  struct Case {
    const char* time;
    bool inside;
  } cases[] = {{"095959", false}, {"100000", true}, {"100230", true}, {"100500", true}, {"100501", false}};
  for (const Case& c : cases) {
    PassRun r;
    ASSERT_TRUE(r.Run({Rmc(c.time), Vdm(Msg1(kShipA, 54.0, 8.0))}));
    EXPECT_EQ(r.state.Num_Dynamic, c.inside ? 1 : 0) << c.time;
    EXPECT_EQ(r.state.InTimeWindow, c.inside) << c.time;
    EXPECT_EQ(r.Points(kShipA), c.inside ? 1u : 0u) << c.time;
  }
}

TEST(LogPass, SameMinuteWindowOpensOnlyAtSecondZero) {
  PassRun r;
  r.start = r.end = At(10, 0);
  ASSERT_TRUE(r.Run({Rmc("100000"), Vdm(Msg1(kShipA, 54.0, 8.0)), Rmc("100001"), Vdm(Msg1(kShipB, 54.0, 8.0))}));
  EXPECT_EQ(r.state.Num_Dynamic, 1);
  EXPECT_NE(r.Ship(kShipA), nullptr);
  EXPECT_EQ(r.Ship(kShipB), nullptr);
}

TEST(LogPass, RejectedTimeSentencesCloseTheWindow) {
  struct Case {
    std::string closer;
  } cases[] = {{Rmc("100010", "V")},
               {"$GPRMC,100010.00,A,5404.2000,N,00758.8000,E,2.5,90.4,310211,,,A*00"},  // checksum wrong: ignored
               {test::Sentence('$', "GPRMC,100010.00,A,5404.2000,N,00758.8000,E,2.5,90.4,310411,,,A")},
               {test::Sentence('$', "GPZDA,,07,04,2011,00,00")},
               {Zda("100501", "GPZDA")}};
  const bool closes[] = {true, false, true, true, true};
  for (size_t i = 0; i < std::size(cases); ++i) {
    PassRun r;
    ASSERT_TRUE(r.Run({Rmc("100000"), cases[i].closer, Vdm(Msg1(kShipA, 54.0, 8.0)), Zda("100020"),
                       Vdm(Msg1(kShipB, 54.0, 8.0))}));
    EXPECT_EQ(r.Ship(kShipA) == nullptr, closes[i]) << i;
    EXPECT_NE(r.Ship(kShipB), nullptr) << i;  // the next accepted time sentence reopens
  }
}

TEST(LogPass, ZdaSetsTimeWithoutOwnFix) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0))}));
  EXPECT_EQ(r.state.GPS_TimeStampStr, "2011-04-07T10:00:00Z");
  ASSERT_EQ(r.state.aShipList.size(), 2u);
  // Entry 0 stays the own ship's, although a stranger was seen first.
  EXPECT_EQ(r.state.aShipList[0].ShipName, "Own Ship");
  EXPECT_EQ(r.state.aShipList[0].MMSI, "111111111");
  EXPECT_TRUE(r.state.aShipList[0].aPlot.empty());
  EXPECT_EQ(r.state.aShipList[1].MMSI, std::to_string(kShipA));
  ASSERT_EQ(r.state.aShipList[1].aPlot.size(), 1u);
  EXPECT_EQ(test::PointAt(r.state.aShipList[1], 0).TimeStampStr, "2011-04-07T10:00:00Z");
}

// A time text spelt otherwise than its time's own text comes back as the sentence gave it,
// kept once per track for the points stored under it.
TEST(LogPass, TimeTextsComeBackAsTheSentenceGaveThem) {
  PassRun r;
  ASSERT_TRUE(r.Run({test::Sentence('$', "GPZDA,100000.00,7,4,2011,00,00"), Vdm(Msg1(kShipA, 54.0, 8.0)),
                     Vdm(Msg1(kShipB, 54.0, 8.0)), test::Sentence('$', "GPZDA,100040.00,7,4,2011,00,00"),
                     Vdm(Msg1(kShipA, 54.0, 8.0)), Zda("100120"), Vdm(Msg1(kShipA, 54.0, 8.0))}));
  const TStatic& a = *r.Ship(kShipA);
  ASSERT_EQ(a.aPlot.size(), 3u);
  EXPECT_EQ(test::PointAt(a, 0).TimeStampStr, "2011-4-7T10:00:00Z");
  EXPECT_EQ(test::PointAt(a, 1).TimeStampStr, "2011-4-7T10:00:40Z");
  EXPECT_EQ(test::PointAt(a, 2).TimeStampStr, "2011-04-07T10:01:20Z");
  EXPECT_EQ(a.aPlot.Extras.size(), 2u);
  EXPECT_EQ(test::PointAt(*r.Ship(kShipB), 0).TimeStampStr, "2011-4-7T10:00:00Z");
  EXPECT_EQ(PointTime(a.aPlot, a.aPlot[0]), At(10, 0));
}

TEST(LogPass, AisBeforeAnyTimeIsNotEvenStored) {
  const std::string p = Msg5(kShipA, "ALPHA", "DABC");
  PassRun r;
  r.state.GPS_TimeStampStr.clear();
  ASSERT_TRUE(r.Run({VdmPart(p.substr(0, 60), 1, "3"), Rmc("100000"), VdmPart(p.substr(60), 2, "3")}));
  EXPECT_EQ(r.state.Num_Static, 0);
}

TEST(LogPass, FirstPartBeforeTheWindowIsJoinedOnceItOpens) {
  const std::string p = Msg5(kShipA, "ALPHA", "DABC");
  PassRun r;
  ASSERT_TRUE(r.Run({Rmc("100000"), Rmc("100001", "V"), VdmPart(p.substr(0, 60), 1, "3"), Rmc("100002"),
                     VdmPart(p.substr(60), 2, "3")}));
  EXPECT_EQ(r.state.Num_Static, 1);
  ASSERT_NE(r.Ship(kShipA), nullptr);
  EXPECT_EQ(r.Ship(kShipA)->Num_Msg5, 1);
}

TEST(LogPass, TwoSentenceReassembly) {
  const std::string p = Msg5(kShipA, "ALPHA", "DABC");
  const std::string a = p.substr(0, 60), b = p.substr(60);
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    int64_t statics;
  } cases[] = {
      {"same id", {VdmPart(a, 1, "3"), VdmPart(b, 2, "3")}, 1},
      {"other id", {VdmPart(a, 1, "3"), VdmPart(b, 2, "4")}, 0},
      {"repeated second part", {VdmPart(a, 1, "3"), VdmPart(b, 2, "3"), VdmPart(b, 2, "3")}, 2},
      {"second part first", {VdmPart(b, 2, "3"), VdmPart(a, 1, "3")}, 0},
      {"second part first, empty id", {VdmPart(b, 2, ""), VdmPart(a, 1, "")}, 0},
      {"empty ids", {VdmPart(a, 1, ""), VdmPart(b, 2, "")}, 1},
      {"three sentences", {VdmPart(a, 1, "3", "AIVDM", 3), VdmPart(b, 2, "3", "AIVDM", 3)}, 0},
      {"relayed by a base station", {VdmPart(a, 1, "5", "BSVDM"), VdmPart(b, 2, "5", "BSVDM")}, 1},
      {"single sentence", {Vdm(p)}, 0},
      {"70 characters", {VdmPart(p.substr(0, 60), 1, "1"), VdmPart(p.substr(60, 10), 2, "1")}, 1},
      {"too short", {VdmPart(p.substr(0, 60), 1, "1"), VdmPart(p.substr(60, 9), 2, "1")}, 0},
  };
  for (const auto& c : cases) {
    PassRun r;
    std::vector<std::string> lines = {Rmc("100000")};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    ASSERT_TRUE(r.Run(lines));
    EXPECT_EQ(r.state.Num_Static, c.statics) << c.name;
    const TStatic* s = r.Ship(kShipA);
    EXPECT_EQ(s == nullptr ? 0 : s->Num_Msg5, c.statics) << c.name;
    if (c.statics > 0) {
      ASSERT_NE(s, nullptr);
      EXPECT_EQ(s->AISclass, "A") << c.name;
      EXPECT_EQ(s->ShipName.substr(0, 5), "ALPHA") << c.name;
    }
  }
}

// A second part met before any first part of the pass is not decoded on its own, also
// when both have no sequential id (an empty id would match the empty stored one).
TEST(LogPass, SecondPartWithoutFirstPartIsDropped) {
  for (const char* id : {"", "7"}) {
    PassRun r;
    ASSERT_TRUE(r.Run({Zda("100000"), VdmPart(Msg1(kShipB, 54.0, 8.0), 2, id)}));
    EXPECT_EQ(r.state.Num_Dynamic, 0) << id;
    EXPECT_TRUE(r.state.aShipList.empty()) << id;
  }
}

// Any later part of a two-sentence message joins the stored first part, but a message 5
// is decoded only from a line whose sentence number is "2"; other kinds decode whatever
// the number. (Zda opens the window without an own-ship entry.)
TEST(LogPass, JoinedPartNumberDecidesOnlyForMessage5) {
  const std::string m5 = Msg5(kShipA, "ALPHA", "DABC"), m1 = Msg1(kShipB, 54.0, 8.0);
  const struct {
    const char* Name;
    std::string First, Second;
    int64_t Statics, Dynamics;
  } cases[] = {
      {"message 5, part 2 of 2", VdmPart(m5.substr(0, 60), 1, "4"), VdmPart(m5.substr(60), 2, "4"), 1, 0},
      {"message 5, part 3 of 2", VdmPart(m5.substr(0, 60), 1, "4"), VdmPart(m5.substr(60), 3, "4"), 0, 0},
      {"message 5, part 0 of 2", VdmPart(m5.substr(0, 60), 1, "4"), VdmPart(m5.substr(60), 0, "4"), 0, 0},
      {"message 1, part 3 of 2", VdmPart(m1.substr(0, 20), 1, "4"), VdmPart(m1.substr(20), 3, "4"), 0, 1},
  };
  for (const auto& c : cases) {
    PassRun r;
    ASSERT_TRUE(r.Run({Zda("100000"), c.First, c.Second}));
    EXPECT_EQ(r.state.Num_Static, c.Statics) << c.Name;
    EXPECT_EQ(r.state.Num_Dynamic, c.Dynamics) << c.Name;
    const TStatic* a = r.Ship(kShipA);
    EXPECT_EQ(a == nullptr ? 0 : a->Num_Msg5, c.Statics) << c.Name;
    EXPECT_EQ(r.Points(kShipB), static_cast<size_t>(c.Dynamics)) << c.Name;
  }
}

TEST(LogPass, ReducedDataThinning) {
  struct Case {
    const char* second;
    bool reduced;
    size_t points;
  } cases[] = {
      {"100029", true, 1},  {"100030", true, 1},  {"100031", true, 2},
      {"100029", false, 2}, {"100000", false, 2}, {"100031", false, 2},
  };
  for (const auto& c : cases) {
    PassRun r;
    r.reduced = c.reduced;
    ASSERT_TRUE(r.Run({Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0)), Zda(c.second), Vdm(Msg18(kShipA, 54.1, 8.1))}));
    EXPECT_EQ(r.Points(kShipA), c.points) << c.second << " " << c.reduced;
    EXPECT_EQ(r.state.Num_Dynamic, 2);
  }
}

TEST(LogPass, TimeRunningBackwardsCountsAsWithin) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100200"), Vdm(Msg1(kShipA, 54.0, 8.0)), Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0))}));
  EXPECT_EQ(r.Points(kShipA), 1u);
}

TEST(LogPass, ReducedDataReadAtEachPoint) {
  // The flag changes while the pass runs: the sink's pump is where the window would do it.
  struct FlippingSink : test::TRecordingSink {
    bool* flag = nullptr;
    void ProcessMessages() override {
      if (++Pumps > 4) *flag = false;
    }
  };
  TAnalysisState state;
  test::TTempDir dir;
  std::string text;
  for (const auto& l : {Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0)), Vdm(Msg1(kShipA, 54.0, 8.0)),
                        Vdm(Msg1(kShipA, 54.0, 8.0)), Vdm(Msg1(kShipA, 54.0, 8.0))})
    text += l + "\n";
  const std::string path = dir.Write("F.LOG", text).string();
  bool reduced = true;
  FlippingSink sink;
  sink.flag = &reduced;
  TLogPassOptions options;
  options.ReducedData = &reduced;
  ASSERT_TRUE(ReadLogFile_First(state, path, 0, 4, At(10, 0), At(10, 5), options, sink));
  // Lines 1 and 2 with the flag checked give one point; from line 3 on every report counts.
  ASSERT_EQ(state.aShipList.size(), 2u);
  EXPECT_EQ(state.aShipList[1].aPlot.size(), 3u);
}

TEST(LogPass, OwnShipFixesThenOwnAisTakesOver) {
  std::vector<std::string> lines;
  for (int s = 0; s < 60; ++s) {
    char t[8];
    std::snprintf(t, sizeof t, "1000%02d", s);
    lines.push_back(Rmc(t));
  }
  for (bool reduced : {true, false}) {
    PassRun r;
    r.reduced = reduced;
    std::vector<std::string> all = lines;
    all.push_back(Rmc("100100"));
    all.push_back(Rmc("100130"));
    all.push_back(Rmc("100201"));
    all.push_back(Vdm(Msg1(kOwn, 54.2, 8.2), "AIVDO"));
    all.push_back(Rmc("100230"));
    ASSERT_TRUE(r.Run(all));
    ASSERT_EQ(r.state.aShipList.size(), 1u);
    const TStatic& own = r.state.aShipList[0];
    EXPECT_EQ(own.ShipName, "Own Ship");
    EXPECT_EQ(own.MMSI, std::to_string(kOwn));
    // 10:00:00, 10:00:30, 10:01:00, 10:01:30, then the AIVDO report; no fix at 10:02:30.
    ASSERT_EQ(own.aPlot.size(), 5u);
    EXPECT_EQ(test::PointAt(own, 0).TimeStampStr, "2011-04-07T10:00:00Z");
    EXPECT_EQ(test::PointAt(own, 1).TimeStampStr, "2011-04-07T10:00:30Z");
    EXPECT_EQ(test::PointAt(own, 0).MMSI, "111111111");
    EXPECT_EQ(test::PointAt(own, 0).Lat, "54.070000");
    EXPECT_EQ(test::PointAt(own, 0).Lon, "7.980000");
    EXPECT_EQ(test::PointAt(own, 0).Speed, "2.5");
    EXPECT_EQ(test::PointAt(own, 0).COG, "90.4");
    EXPECT_EQ(test::PointAt(own, 0).NavStatus, "");
    EXPECT_EQ(test::PointAt(own, 4).MMSI, std::to_string(kOwn));
    EXPECT_EQ(test::PointAt(own, 4).TimeStampStr, "2011-04-07T10:02:01Z");
    EXPECT_TRUE(r.state.OwnAIS_Seen);
    EXPECT_EQ(r.state.Num_Dynamic, 1);
  }
}

TEST(LogPass, OwnShipFixSouthWestAndGarbledPosition) {
  PassRun r;
  ASSERT_TRUE(r.Run({
      test::Sentence('$', "GPRMC,100000.00,A,3330.0000,S,07030.0000,W,1.0,180.0,070411,,,A"),
      test::Sentence('$', "GPRMC,100030.00,A,54x4.2000,N,00758.8000,E,2.5,90.4,070411,,,A"),
      Vdm(Msg1(kShipA, 54.0, 8.0)),  // the garbled sentence still set the time and opened the window
  }));
  const TStatic& own = r.state.aShipList[0];
  ASSERT_EQ(own.aPlot.size(), 1u);
  EXPECT_EQ(test::PointAt(own, 0).Lat, "-33.500000");
  EXPECT_EQ(test::PointAt(own, 0).Lon, "-70.500000");
  EXPECT_EQ(r.state.GPS_TimeStampStr, "2011-04-07T10:00:30Z");
  ASSERT_NE(r.Ship(kShipA), nullptr);
  EXPECT_EQ(test::PointAt(*r.Ship(kShipA), 0).TimeStampStr, "2011-04-07T10:00:30Z");
}

TEST(LogPass, UnusableReportsAreCountedOnly) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100000"), Vdm(Msg1(kShipA, 0.0, 8.0)), Vdm(Msg1(0, 54.0, 8.0)),
                     Vdm(Msg1(kShipA, 91.0, 8.0))}));  // 91 degrees reads "n.a."
  EXPECT_EQ(r.state.Num_Dynamic, 3);
  EXPECT_TRUE(r.state.aShipList.empty());
}

TEST(LogPass, ShortPayloadsAreSkipped) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0).substr(0, 22)), Vdm(Msg18(kShipB, 54.0, 8.0).substr(0, 27)),
                     Vdm(Msg24A(kShipA, "X").substr(0, 26))}));
  EXPECT_EQ(r.state.Num_Dynamic, 0);
  EXPECT_EQ(r.state.Num_Static, 0);
  EXPECT_TRUE(r.state.aShipList.empty());
}

TEST(LogPass, SafetyBroadcastCreatesSartEntry) {
  PassRun r;
  // A real SART sends "SART ACTIVE": 18 characters of payload.
  const std::string p = Msg14(970012345, "SART ACTIVE");
  ASSERT_EQ(p.size(), 18u);
  ASSERT_TRUE(r.Run({Zda("100000"), Vdm(p), Vdm(Msg14(970012345, "")), Vdm(p.substr(0, 6))}));
  const TStatic* s = r.Ship(970012345);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->AISclass, "SART");
  EXPECT_EQ(s->Num_Msg14, 2);
  EXPECT_TRUE(s->aPlot.empty());
  EXPECT_EQ(r.state.Num_Static, 0);
  EXPECT_EQ(r.state.aShipList[0].MMSI, "111111111");
}

TEST(LogPass, ClassBPartsBlankEachOther) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100000"), Vdm(Msg24B(kShipB, "DB1234")), Vdm(Msg24A(kShipB, "BRAVO"))}));
  const TStatic* s = r.Ship(kShipB);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->CallSign, "");
  EXPECT_EQ(s->ShipName.substr(0, 5), "BRAVO");
  EXPECT_EQ(s->AISclass, "B");
  EXPECT_EQ(s->Num_Msg5, 1);
  EXPECT_EQ(r.state.Num_Static, 2);

  PassRun q;
  ASSERT_TRUE(q.Run({Zda("100000"), Vdm(Msg24A(kShipB, "BRAVO")), Vdm(Msg24B(kShipB, "DB1234"))}));
  EXPECT_EQ(q.Ship(kShipB)->CallSign.substr(0, 6), "DB1234");
}

TEST(LogPass, OwnStaticKeepsNameAndCallSign) {
  const std::string p = Msg5(kOwn, "MYBOAT", "DOWN");
  PassRun r;
  ASSERT_TRUE(r.Run({Rmc("100000"), VdmPart(p.substr(0, 60), 1, "1", "AIVDO"), VdmPart(p.substr(60), 2, "1", "AIVDO")}));
  ASSERT_EQ(r.state.aShipList.size(), 1u);
  const TStatic& own = r.state.aShipList[0];
  EXPECT_EQ(own.ShipName, "Own Ship");
  EXPECT_EQ(own.CallSign, "");
  EXPECT_EQ(own.IMO, "");
  EXPECT_EQ(own.MMSI, std::to_string(kOwn));
  EXPECT_EQ(own.Num_Msg5, 1);
  EXPECT_EQ(own.AISclass, "A");
  EXPECT_EQ(r.state.Num_Static, 1);
}

TEST(LogPass, LineRangeAndUnreadableFile) {
  PassRun r;
  const std::vector<std::string> lines = {Zda("100000"), Vdm(Msg1(kShipA, 54.0, 8.0))};
  ASSERT_TRUE(r.Run(lines));
  const std::string path = (r.dir.Path() / "T.LOG").string();
  TLogPassOptions options;
  // LineTo equal to the number of lines: false, nothing processed, table kept (continued).
  EXPECT_FALSE(ReadLogFile_Next(r.state, path, 0, 2, r.start, r.end, options, r.sink));
  EXPECT_EQ(r.state.Num_Dynamic, 1);
  EXPECT_TRUE(ReadLogFile_Next(r.state, path, 1, 0, r.start, r.end, options, r.sink));  // no line
  EXPECT_EQ(r.state.Num_Dynamic, 1);
  EXPECT_FALSE(ReadLogFile_Next(r.state, path, -1, 1, r.start, r.end, options, r.sink));
  EXPECT_FALSE(ReadLogFile_Next(r.state, (r.dir.Path() / "missing.LOG").string(), 0, 0, r.start, r.end, options,
                                r.sink));
  EXPECT_FALSE(ReadLogFile_Next(r.state, r.dir.Path().string(), 0, 0, r.start, r.end, options, r.sink));
  EXPECT_EQ(r.state.Num_Dynamic, 1);
  EXPECT_EQ(r.state.aShipList.size(), 2u);
  // A first pass starts a new table even when its file is short.
  EXPECT_FALSE(ReadLogFile_First(r.state, path, 0, 5, r.start, r.end, options, r.sink));
  EXPECT_EQ(r.state.Num_Dynamic, 0);
  EXPECT_TRUE(r.state.aShipList.empty());
  EXPECT_FALSE(r.state.InTimeWindow);
}

TEST(LogPass, WindowCarriesOverToTheNextFileButNotTheFirstPass) {
  PassRun r;
  ASSERT_TRUE(r.Run({Zda("100000")}));
  ASSERT_TRUE(r.Run({Vdm(Msg1(kShipA, 54.0, 8.0))}, false, "U.LOG"));
  EXPECT_EQ(r.state.Num_Dynamic, 1);
  ASSERT_TRUE(r.Run({Vdm(Msg1(kShipA, 54.0, 8.0))}, true, "V.LOG"));
  EXPECT_EQ(r.state.Num_Dynamic, 0);
  EXPECT_EQ(r.state.GPS_TimeStampStr, "2011-04-07T10:00:00Z");  // kept for the program's life
}

TEST(LogPass, CacheReadsTheFileOnce) {
  test::TTempDir dir;
  const std::string path =
      dir.Write("C.LOG", Zda("100000") + "\n" + Vdm(Msg1(kShipA, 54.0, 8.0)) + "\n" + Zda("100100") + "\n" +
                             Vdm(Msg1(kShipA, 54.1, 8.1)) + "\n")
          .string();
  TAnalysisState state;
  TLineFileCache cache;
  TLogPassOptions options;
  options.Cache = &cache;
  test::TRecordingSink sink;
  ASSERT_TRUE(ReadLogFile_First(state, path, 0, 1, At(10, 0), At(10, 5), options, sink));
  std::filesystem::remove(path);
  ASSERT_TRUE(ReadLogFile_Next(state, path, 2, 3, At(10, 0), At(10, 5), options, sink));
  EXPECT_EQ(state.aShipList[1].aPlot.size(), 2u);
  EXPECT_EQ(sink.Load.Min, 2);
  EXPECT_EQ(sink.Load.Max, 4);
  EXPECT_EQ(sink.Load.Position, 3);
}

// Lines from a real card (golden case1, made by the shared generator) through one pass.
TEST(LogPass, RealCardLines) {
  PELORIN_REQUIRE_SHARED();
  const std::string path = (test::SharedDir() / "golden/case1/card/00000001.LOG").string();
  TAnalysisState state;
  test::TRecordingSink sink;
  TLogPassOptions options;
  ASSERT_TRUE(ReadLogFile_First(state, path, 0, 29, At(9, 0), At(9, 59), options, sink));
  ASSERT_FALSE(state.aShipList.empty());
  EXPECT_EQ(state.aShipList[0].ShipName, "Own Ship");
  ASSERT_FALSE(state.aShipList[0].aPlot.empty());
  EXPECT_EQ(test::PointAt(state.aShipList[0], 0).TimeStampStr, "2011-04-07T09:00:00Z");
  EXPECT_EQ(test::PointAt(state.aShipList[0], 0).Lat, "54.070000");
  EXPECT_GT(state.Num_Dynamic, 10);
}

// Lines of samples/00000001.LOG (a generated card; its damaged lines are real damage).
constexpr const char* kSampleRmc = "$GPRMC,234000.00,A,5404.2000,N,00758.8000,E,2.5,90.1,070411,,,A*62";
constexpr const char* kSampleMsg1 = "!AIVDM,1,1,,A,137Jvm@P29PSHd:O1uk0L0F2205o,0*4C";
constexpr const char* kSampleMsg4 = "!AIVDM,1,1,,A,4020o21ue3o`9PT6hhO09S700L1p,0*44";
constexpr const char* kSampleMsg5a = "!AIVDM,2,1,0,B,539bubP2=BI0@@D@0009DM<TE:3740000000000O3`67654Ro;SS84U3@000,0*2D";
constexpr const char* kSampleMsg5b = "!AIVDM,2,2,0,B,00000000000,2*27";

TEST(LogPass, AccountCountsEachOutcomeWhereItHappens) {
  const std::string open = Rmc("100000");
  const std::string in = "-Time sentences in the window : 1";
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> account;  // after "Lines read"
  } cases[] = {
      {"time in the window", {open, Zda("100001")}, {"-Time sentences in the window : 2"}},
      {"time outside", {kSampleRmc}, {"-Time sentences outside the window : 1"}},
      {"status V", {Rmc("100000", "V")}, {"-Time sentences with status not A : 1"}},
      {"field count",
       {test::Sentence('$', "GPRMC,100000.00,A,5404.2000,N"), test::Sentence('$', "ECZDA,100000.00,07,04")},
       {"-Time sentences with a wrong field count : 2"}},
      {"garbled", {Rmc("10a000"), test::Sentence('$', "ECZDA,,07,04,2011,00,00")},
       {"-Time sentences with a garbled date or time : 2"}},
      {"impossible", {Rmc("250000"), Rmc("100000", "A", "5404.2000", "00758.8000", "310411")},
       {"-Time sentences with an impossible date or time : 2"}},
      {"closed window", {kSampleMsg1, open, Rmc("110000"), kSampleMsg1},
       {in, "-Time sentences outside the window : 1", "-AIS sentences while the window was closed : 2"}},
      {"stored and thinned", {open, kSampleMsg1, kSampleMsg1},
       {in, "-Positions stored as track points : 1", "-Positions thinned by Reduced Data : 1"}},
      {"unusable position", {open, Vdm(Msg1(kShipA, 0, 0))}, {in, "-Positions with unusable MMSI or position : 1"}},
      {"static", {open, kSampleMsg5a, kSampleMsg5b, Vdm(Msg14(970000001, "SART TEST")), Vdm(Msg24A(0, "NOBODY"))},
       {in, "-Static reports applied : 2", "-Static reports with unusable MMSI : 1", "-First parts joined : 1"}},
      {"first parts never joined", {open, kSampleMsg5a, kSampleMsg5a}, {in, "-First parts never joined : 2"}},
      {"second part alone", {open, kSampleMsg5b}, {in, "-Second parts without their first part : 1"}},
      {"three parts", {open, VdmPart(Msg1(kShipA, 54, 8), 1, "3", "AIVDM", 3)},
       {in, "-Part counts other than 1 or 2 : 1"}},
      {"AIS field count", {open, test::Sentence('!', "AIVDM,1,1,,A,15M67FC000G?ufbE`FepT@3n00Sa")},
       {in, "-AIS sentences with a wrong field count : 1"}},
      {"message 5 alone", {open, Vdm(Msg5(kShipA, "ALONE", "CALL"))}, {in, "-Message 5 not in two parts : 1"}},
      {"too short", {open, Vdm(Msg1(kShipA, 54, 8).substr(0, 22)), Vdm("")}, {in, "-Payloads too short : 2"}},
      {"not used", {open, kSampleMsg4, Vdm("E>kb9O9aS@7PUh10dh19<hP0000"), kSampleMsg4},
       {in, "-Message types not used : 4 (2), 21 (1)"}},
      {"checksums",  // both damaged lines of the sample card
       {"$GPRMC,234108.00,A,54u4.1996,N,00758.8804,E,2.5,91.2,070411,,,A*60",
        "!AIVDM,1,1,,A,>>MW<dQ<59q04=@UHD,2*65"},
       {"-Checksum errors : 2"}},
      {"other", {"$GP\"MC,000744.00,A,5403.9802,N,00800.7186,E,2.5,111.9,080411,,,A*5B", "", "!", "x"},
       {"-Other lines : 4"}},
  };
  for (const Case& c : cases) {
    PassRun r;
    ASSERT_TRUE(r.Run(c.lines)) << c.name;
    std::vector<std::string> want{"Lines read : " + std::to_string(c.lines.size())};
    want.insert(want.end(), c.account.begin(), c.account.end());
    EXPECT_EQ(LineAccountReport(r.state.Account), want) << c.name;
  }
}

// Passes of one run add up; a new run starts from nothing.
TEST(LogPass, AccountAddsUpOverPasses) {
  PassRun r;
  ASSERT_TRUE(r.Run({Rmc("100000"), kSampleMsg5a}));
  ASSERT_TRUE(r.Run({kSampleMsg5b, kSampleMsg1}, false));  // the first part stayed in its pass
  EXPECT_EQ(LineAccountReport(r.state.Account),
            (std::vector<std::string>{"Lines read : 4", "-Time sentences in the window : 1",
                                      "-Positions stored as track points : 1", "-First parts never joined : 1",
                                      "-Second parts without their first part : 1"}));
  ASSERT_TRUE(r.Run({kSampleMsg1}));
  EXPECT_EQ(r.state.Account.LinesRead, 1);
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// Every real recording through one pass with a window over all their years: the table
// keeps its shape whatever the recordings hold (corrupt lines, no final newline, ...).
TEST(LogPass, RealRecordingsKeepTheTableSound) {
  PELORIN_REQUIRE_SHARED();
  TDateTime from = 0, to = 0;
  ASSERT_TRUE(TryEncodeDateTime(2000, 1, 1, 0, 0, 0, from));
  ASSERT_TRUE(TryEncodeDateTime(2099, 12, 31, 23, 59, 0, to));
  int withShips = 0;
  for (const auto& entry : std::filesystem::directory_iterator(test::SharedDir() / "data/real")) {
    if (entry.path().extension() == ".md") continue;
    TLineReader file;
    ASSERT_TRUE(file.Open(entry.path().string()) && file.Index());
    if (file.LineCount() == 0) continue;
    TAnalysisState state;
    state.GPS_TimeStampStr = "2000-01-01T00:00:00Z";  // as after an earlier run
    state.InTimeWindow = true;  // AIS-only recordings: as if a time sentence had opened it
    test::TRecordingSink sink;
    for (bool reduced : {true, false}) {
      TLogPassOptions options;
      options.ReducedData = &reduced;
      ASSERT_TRUE(ReadLogFile(state, entry.path().string(), 0, file.LineCount() - 1, from, to, false, options, sink))
          << entry.path();
      std::set<std::string> seen;
      int64_t points = 0;
      for (size_t i = 0; i < state.aShipList.size(); ++i) {
        const TStatic& s = state.aShipList[i];
        if (i > 0) {
          EXPECT_TRUE(seen.insert(s.MMSI).second) << entry.path() << " duplicate " << s.MMSI;
          if (!s.aPlot.empty()) {
            EXPECT_EQ(test::PointAt(s, (s).aPlot.size() - 1).MMSI, s.MMSI);
          }
        }
        for (size_t k = 0; k < s.aPlot.size(); ++k) {
          const test::TPointStrings p = test::PointAt(s, k);
          EXPECT_TRUE(i == 0 || (HasValidPosition(s.aPlot, s.aPlot[k]) && IsValidMMSI(p.MMSI))) << entry.path();
          EXPECT_FALSE(p.TimeStampStr.empty());
        }
        if (i > 0) points += static_cast<int64_t>(s.aPlot.size());
      }
      EXPECT_LE(points, state.Num_Dynamic) << entry.path();
      const test::TAccountSum sum = test::SumAccount(LineAccountReport(state.Account));
      EXPECT_EQ(sum.LinesRead, file.LineCount()) << entry.path();
      EXPECT_EQ(sum.Outcomes, sum.LinesRead) << entry.path();
      if (!state.aShipList.empty()) ++withShips;
    }
  }
  EXPECT_GT(withShips, 10);
}

}  // namespace
}  // namespace pelorin
