// Closest approaches and encounters on tracks with known answers, and on a generated card
// against a search at every second.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "catalogue/log_scan.h"
#include "encounters/encounter_report.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

constexpr int64_t kT0 = 3'511'000'000;  // 2011-04-07, in the log's seconds

// A straight run by the equator, where a degree is 60 NM both ways: from (east, north)
// NM at kT0 + from, moving (east, north) knots, a point every `step` seconds until `to`.
struct TRun {
  double East, North, EastKn, NorthKn;
  int64_t From, To, Step = 60;
};

std::string TimeOf(int64_t seconds) {
  char text[20];
  TimeStampChars(SecondsToTDateTime(kT0 + seconds), text);
  return std::string(text, sizeof text);
}

TStatic Ship(const std::string& mmsi, const std::vector<TRun>& runs) {
  TStatic s;
  s.MMSI = mmsi;
  for (const TRun& r : runs)
    for (int64_t t = r.From; t <= r.To; t += r.Step) {
      const double h = static_cast<double>(t - r.From) / 3600.0;
      char lon[32], lat[32];
      // 6 NM off 0° both ways: a latitude or longitude of 0 is no position.
      double degrees = (r.East + 6 + r.EastKn * h) / 60.0;
      if (degrees >= 180) degrees -= 360;
      std::snprintf(lon, sizeof lon, "%.6f", degrees);
      std::snprintf(lat, sizeof lat, "%.6f", (r.North + 6 + r.NorthKn * h) / 60.0);
      test::AppendPoint(s.aPlot, {mmsi, "under way using engine", "10", lon, lat, "90", "90", TimeOf(t)});
    }
  return s;
}

TEST(ClosestApproach, AnalyticCases) {
  const struct {
    const char* Name;
    std::vector<TRun> Own, Other;
    double NM;
    int64_t At;  // seconds after kT0
    int Bearing;
    double RelKn;
    size_t Encounters;  // within 0.5 NM, 1 kn
  } cases[] = {
      // B crosses A's course at right angles, reaching the crossing 6 minutes after A.
      {"crossing", {{-5, 0, 10, 0, 0, 3600}}, {{0, -6, 0, 10, 0, 3600}}, std::sqrt(0.5), 1980, 225, std::sqrt(200.0), 0},
      {"head-on", {{-5, 0, 10, 0, 0, 3600}}, {{5, 0.3, -10, 0, 0, 3600}}, 0.3, 1800, 0, 20, 1},
      {"overtaking", {{0, 0, 10, 0, 0, 3600}}, {{-2.5, 0.2, 15, 0, 0, 3600}}, 0.2, 1800, 0, 5, 1},
      {"parallel", {{0, 0, 10, 0, 0, 3600}}, {{0, 0.2, 10, 0, 0, 3600}}, 0.2, 0, 0, 0, 0},
      {"at anchor", {{0, 0, 0, 0, 0, 3600}}, {{-4, 0.4, 8, 0, 0, 3600}}, 0.4, 1800, 0, 8, 1},
      // Closest (0.1 NM at 1800) inside a 20-minute silence of B: only its ends count.
      {"gap", {{-5, 0, 10, 0, 0, 3600}}, {{5, 0.1, -10, 0, 0, 1200}, {-5.0 / 3, 0.1, -10, 0, 2400, 3600}},
       std::hypot(10.0 / 3, 0.1), 1200, 88, 20, 0},
      {"moored together", {{0, 0, 0, 0, 0, 3600}}, {{0.01, 0, 0, 0, 0, 3600}}, 0.01, 0, 90, 0, 0},
      {"one point", {{-5, 0, 10, 0, 0, 3600}}, {{1, 1, 0, 0, 2160, 2160}}, 1.0, 2160, 0, 10, 0},
      // B appears already within range of A: the encounter starts at B's first point.
      {"starts inside", {{0, 0, 0, 0, 0, 3600}}, {{0.2, -0.1, 0, 6, 600, 3600}}, 0.2, 660, 90, 6, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TShipList ships{Ship("211512340", c.Own), Ship("244841101", c.Other)};
    const TFleetMotion fleet = FleetMotionOf(ships);
    TNullSink sink;
  bool stopped = false;
    const std::vector<TOwnApproach> own = OwnShipApproaches(fleet, sink);
    ASSERT_EQ(own.size(), 1u);
    const TApproach& a = own[0].Closest;
    ASSERT_TRUE(a.Found);
    EXPECT_NEAR(a.DistanceNM, c.NM, 0.005);
    EXPECT_NEAR(static_cast<double>(a.Seconds - kT0), static_cast<double>(c.At), 1.0);
    EXPECT_EQ(c.NM > 0.05 ? a.Bearing : c.Bearing, c.Bearing);
    EXPECT_NEAR(a.RelativeKn, c.RelKn, 0.1);
    const std::vector<TEncounter> e = FindEncounters(fleet, 0.5, sink, stopped);
    ASSERT_EQ(e.size(), c.Encounters);
    if (std::string(c.Name) == "starts inside") {
      EXPECT_EQ(e[0].Stretch.Start - kT0, 600);
    }
  }
}

// Across the 180th meridian: A runs east over it, B waits just past it.
TEST(ClosestApproach, AcrossTheDateLine) {
  // 179.9° and 10 kn: at -179.95° (180.05°) after 0.9 h, where B stands 0.1 NM north.
  TShipList ships{Ship("211512340", {{179.9 * 60, 0, 10, 0, 0, 3600}}),
                  Ship("244841101", {{-179.95 * 60, 0.1, 0, 0, 0, 3600}})};
  const TFleetMotion fleet = FleetMotionOf(ships);
  TNullSink sink;
  bool stopped = false;
  const TApproach a = OwnShipApproaches(fleet, sink)[0].Closest;
  ASSERT_TRUE(a.Found);
  EXPECT_NEAR(a.DistanceNM, 0.1, 0.005);
  EXPECT_NEAR(static_cast<double>(a.Seconds - kT0), 3600 * 9.0 / 10.0, 2.0);
  EXPECT_EQ(FindEncounters(fleet, 0.5, sink, stopped).size(), 1u);  // the grid's cells wrap too
}

// On a generated card every figure is the least of the distances at every second.
TEST(ClosestApproach, EqualsASearchAtEverySecond) {
  const auto genlog = test::SharedDir() / "tools" / "genlog.py";
  if (!std::filesystem::exists(genlog)) GTEST_SKIP() << "no genlog.py";
  test::TTempDir dir;
  const std::string command = "/usr/bin/python3 " + genlog.string() + " --out " + dir.Path().string() +
                              " --files 1 --hours 0.5 --vessels 40 --seed cpa --quiet";
  ASSERT_EQ(std::system(command.c_str()), 0);
  TAnalysisState state;
  TNullSink sink;
  bool stopped = false;
  TLogPassOptions options;
  const bool reduced = false;
  options.ReducedData = &reduced;
  test::PassText(state, test::ReadFileBytes(dir.Path() / "00000001.LOG"), 0, 1e6, false, options, sink);
  const TFleetMotion fleet = FleetMotionOf(state.aShipList);
  ASSERT_GT(fleet.Tracks.size(), 20u);

  const auto brute = [&](size_t a, size_t b, TApproach& best) {
    const TMotionTrack& ta = fleet.Tracks[a];
    const TMotionTrack& tb = fleet.Tracks[b];
    best = {};
    const int64_t last = std::min(SecondsOf(ta, ta.Points.size() - 1), SecondsOf(tb, tb.Points.size() - 1));
    for (int64_t t = std::max(SecondsOf(ta, 0), SecondsOf(tb, 0)); t <= last; ++t) {
      TApproach here;
      if (ApproachAt(fleet.Tracks[a], fleet.Tracks[b], t, here) && (!best.Found || here.DistanceNM < best.DistanceNM))
        best = here;
    }
  };
  for (const TOwnApproach& row : OwnShipApproaches(fleet, sink)) {
    const size_t v = static_cast<size_t>(std::find(fleet.Entries.begin(), fleet.Entries.end(), row.Entry) - fleet.Entries.begin());
    TApproach expected;
    brute(0, v, expected);
    ASSERT_EQ(row.Closest.Found, expected.Found) << row.Entry;
    if (!expected.Found) continue;
    EXPECT_NEAR(row.Closest.DistanceNM, expected.DistanceNM, 0.01) << row.Entry;
    EXPECT_NEAR(static_cast<double>(row.Closest.Seconds), static_cast<double>(expected.Seconds), 1.0) << row.Entry;
  }
  // Encounters: every pair within 1 NM at some second is found with its least distance.
  size_t checked = 0;
  const std::vector<TEncounter> found = FindEncounters(fleet, 1.0, sink, stopped);
  for (size_t a = 0; a < fleet.Tracks.size(); ++a)
    for (size_t b = a + 1; b < fleet.Tracks.size(); ++b) {
      TApproach expected;
      brute(a, b, expected);
      bool listed = false;
      for (const TEncounter& e : found)
        if (e.EntryA == fleet.Entries[a] && e.EntryB == fleet.Entries[b] &&
            std::fabs(e.Stretch.Closest.DistanceNM - expected.DistanceNM) < 0.01)
          listed = true;
      const bool moving = expected.Found && expected.RelativeKn >= kEncounterMinKn + 0.5;
      if (expected.Found && expected.DistanceNM < 0.99 && moving) {
        EXPECT_TRUE(listed) << fleet.Entries[a] << " " << fleet.Entries[b] << " " << expected.DistanceNM;
        ++checked;
      }
    }
  EXPECT_GT(checked, 0u);
}

}  // namespace
}  // namespace pelorin
