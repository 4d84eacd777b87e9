// pelorin-cli --range on a generated card against a computation of its own from the table.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "codec/great_circle.h"
#include "codec/placed_points.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

struct TBest {
  double NM = -1;
  std::string MMSI;
};

// The own place at `t` from its placed points: linear between two at most 10 minutes apart.
bool OwnAt(const TPlacedPoints& own, int64_t t, double& lat, double& lon) {
  for (size_t k = 0; k < own.size(); ++k) {
    if (own[k].Seconds == t) return lat = own[k].Lat, lon = own[k].Lon, true;
    if (k + 1 < own.size() && own[k].Seconds < t && t < own[k + 1].Seconds && own[k + 1].Seconds - own[k].Seconds <= 600) {
      const double f = static_cast<double>(t - own[k].Seconds) / static_cast<double>(own[k + 1].Seconds - own[k].Seconds);
      return lat = own[k].Lat + (own[k + 1].Lat - own[k].Lat) * f, lon = own[k].Lon + (own[k + 1].Lon - own[k].Lon) * f, true;
    }
  }
  return false;
}

std::vector<TBest> Direct(const TShipList& ships) {
  std::vector<TBest> best(360);
  TPlacedPoints own, points;
  PlacedPointsOf(ships[0].aPlot, own);
  for (size_t i = 1; i < ships.size(); ++i) {
    if (!KmlShowsTrack(ships[i])) continue;
    PlacedPointsOf(ships[i].aPlot, points);
    const TPlacedPoint* kept = nullptr;
    for (const TPlacedPoint& p : points) {
      double lat = 0, lon = 0;
      if (!OwnAt(own, p.Seconds, lat, lon)) continue;
      const double nm = DistanceNM(lat, lon, p.Lat, p.Lon);
      if (nm > 50 && !(kept && DistanceNM(kept->Lat, kept->Lon, p.Lat, p.Lon) <= 60.0 * (p.Seconds - kept->Seconds) / 3600))
        continue;
      kept = &p;
      TBest& b = best[BearingDegrees(lat, lon, p.Lat, p.Lon)];
      if (nm > b.NM) b = {nm, ships[i].MMSI};
    }
  }
  return best;
}

TEST(RangeRows, EqualADirectComputation) {
  const auto genlog = test::SharedDir() / "tools" / "genlog.py";
  if (!std::filesystem::exists(genlog)) GTEST_SKIP() << "no genlog.py";
  test::TTempDir dir, cwd;
  const std::string command = "/usr/bin/python3 " + genlog.string() + " --out " + dir.Path().string() +
                              " --files 1 --hours 1 --vessels 60 --seed range --start 2011-04-07T23:30:00 --quiet";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const test::TCliRun run = test::RunCli(
      {"--quiet", "--full-data", "--range", "--from", "2011-04-07 23:00", "--to", "2011-04-08 01:00", dir.Path().string()},
      cwd.Path());
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::vector<std::string> lines = test::SplitLines(run.Out);
  ASSERT_EQ(lines.size(), 361u);
  EXPECT_EQ(lines[0], "Bearing\tMax_NM\tMMSI\tTime");

  TAnalysisState state;
  TNullSink sink;
  TLogPassOptions options;
  const bool reduced = false;
  options.ReducedData = &reduced;
  test::PassText(state, test::ReadFileBytes(dir.Path() / "00000001.LOG"), 0, 1e6, false, options, sink);
  const std::vector<TBest> best = Direct(state.aShipList);
  size_t heard = 0;
  for (int b = 0; b < 360; ++b) {
    SCOPED_TRACE(lines[b + 1]);
    std::vector<std::string> cells(1);
    for (char c : lines[b + 1])
      if (c == '\t') cells.emplace_back();
      else cells.back().push_back(c);
    ASSERT_EQ(cells.size(), 4u);
    EXPECT_EQ(cells[0], std::to_string(b));
    ASSERT_EQ(!cells[1].empty(), best[b].NM >= 0);
    if (best[b].NM < 0) continue;
    ++heard;
    EXPECT_NEAR(std::stod(cells[1]), best[b].NM, 0.01);
    EXPECT_EQ(cells[2], best[b].MMSI);
    EXPECT_EQ(cells[3].size(), 20u);
  }
  EXPECT_GT(heard, 180u);
}

}  // namespace
}  // namespace pelorin
