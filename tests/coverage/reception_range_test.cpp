// The range rule on hand-made tracks by the equator (a degree there is 60 NM both ways).
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "codec/great_circle.h"
#include "coverage/reception_range.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

constexpr int64_t kT0 = 3'511'000'000;  // 2011-04-07 14:13:20, in the log's seconds
// On the sphere of the distances a degree is a little more than 60 NM.
const double kNMPerDegree = kEarthRadiusNM * std::numbers::pi / 180;

// A report at kT0 + T, (East, North) NM from (6 NM, 6 NM): a latitude of 0 is no position.
struct TAt {
  int64_t T;
  double East, North;
};

TStatic Ship(const std::string& mmsi, const std::vector<TAt>& points) {
  TStatic s;
  s.MMSI = mmsi;
  for (const TAt& p : points) {
    char lon[32], lat[32], time[20];
    std::snprintf(lon, sizeof lon, "%.6f", (6 + p.East) / kNMPerDegree);
    std::snprintf(lat, sizeof lat, "%.6f", (6 + p.North) / kNMPerDegree);
    TimeStampChars(SecondsToTDateTime(kT0 + p.T), time);
    test::AppendPoint(s.aPlot, {mmsi, "under way using engine", "10", lon, lat, "90", "90", std::string(time, sizeof time)});
  }
  return s;
}

// The own vessel still at the origin for an hour, a point a minute.
std::vector<TAt> Anchored() {
  std::vector<TAt> own;
  for (int64_t t = 0; t <= 3600; t += 60) own.push_back({t, 0, 0});
  return own;
}

TEST(ReceptionRange, KeepsOnlyPlausiblePositions) {
  const struct {
    const char* Name;
    std::vector<TAt> Own, Other;
    int Bearing;   // the bin looked at
    double NM;     // its distance; 0: nothing heard there
    size_t Heard;  // bins heard in all
  } cases[] = {
      {"within 50 NM, however it jumped", Anchored(), {{0, 0, 1}, {60, 45, 0}}, 90, 45, 2},
      {"a corrupt jump", Anchored(), {{0, 0, 10}, {60, 200, 0}, {120, 0, 10.5}}, 90, 0, 1},
      {"the first report beyond 50 NM", Anchored(), {{0, 0, 55}, {60, 0, 55.1}}, 0, 0, 0},
      {"out at 57 kn", Anchored(), {{0, 0, 45}, {600, 0, 54.5}}, 0, 54.5, 1},
      {"out at 63 kn", Anchored(), {{0, 0, 45}, {600, 0, 55.5}}, 0, 45, 1},
      // Judged against the last kept report, not the rejected one between.
      {"after a corrupt jump", Anchored(), {{0, 0, 45}, {60, 200, 0}, {600, 0, 54.5}}, 0, 54.5, 1},
      {"-0.4 degrees", Anchored(), {{0, -0.07, 10}}, 0, 10, 1},
      {"-0.6 degrees", Anchored(), {{0, -0.105, 10}}, 359, 10, 1},
      // 5 NM east, where the own vessel (moving east at 60 kn) is at half time: due north.
      {"the own position interpolated", {{0, 0, 0}, {600, 10, 0}}, {{300, 5, 3}}, 0, 3, 1},
      // Own points 20 minutes apart, and after its last: no own position.
      {"no own position", {{0, 0, 0}, {1200, 0, 0}}, {{600, 0, 3}, {1260, 0, 4}}, 0, 0, 0},
  };
  TNullSink sink;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TReceptionRanges r = ReceptionRangesOf({Ship("211512340", c.Own), Ship("244841101", c.Other)}, sink);
    size_t heard = 0;
    for (const TRangeBin& bin : r.Whole.Bins) heard += bin.Heard;
    EXPECT_EQ(heard, c.Heard);
    const TRangeBin& bin = r.Whole.Bins[c.Bearing];
    EXPECT_EQ(bin.Heard, c.NM > 0);
    if (c.NM > 0) {
      EXPECT_NEAR(bin.MaxNM, c.NM, 0.01);
      EXPECT_EQ(bin.Entry, 1u);
    }
  }
}

// Two UTC days, each with its own farthest report; the whole window's is the farther.
TEST(ReceptionRange, SplitsByDay) {
  const int64_t midnight = (kT0 / 86400 + 1) * 86400 - kT0;
  std::vector<TAt> own;
  for (int64_t t = midnight - 1800; t <= midnight + 1800; t += 60) own.push_back({t, 0, 0});
  TNullSink sink;
  const TReceptionRanges r = ReceptionRangesOf(
      {Ship("211512340", own), Ship("244841101", {{midnight - 60, 0, 8}, {midnight, 0, 5}}),
       Ship("244660000", {{midnight - 120, 0, -3}})},
      sink);
  ASSERT_EQ(r.Days.size(), 2u);
  EXPECT_EQ(r.Days[0].DaySeconds, kT0 + midnight - 86400);
  EXPECT_EQ(r.Days[1].DaySeconds, kT0 + midnight);
  EXPECT_NEAR(r.Days[0].Range.Bins[0].MaxNM, 8, 0.01);
  EXPECT_NEAR(r.Days[1].Range.Bins[0].MaxNM, 5, 0.01);
  EXPECT_EQ(r.Days[0].Range.Bins[180].Entry, 2u);
  EXPECT_FALSE(r.Days[1].Range.Bins[180].Heard);
  EXPECT_EQ(r.Whole.Bins[0].Seconds, kT0 + midnight - 60);
  EXPECT_NEAR(FarthestBin(r.Whole)->MaxNM, 8, 0.01);
}

}  // namespace
}  // namespace pelorin
