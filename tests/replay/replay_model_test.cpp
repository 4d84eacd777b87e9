#include "replay/replay_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/log_pass.h"
#include "codec/number_text.h"
#include "output/kml_writer.h"
#include "replay/density_map.h"
#include "replay/pixel_walk.h"
#include "replay/replay_frame.h"
#include "replay/timeline_bins.h"
#include "replay/replay_trails.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

// 2011-04-07 23:40:00, the sample card's first second.
int64_t T0() {
  TDateTime dt = 0;
  TryEncodeDateTime(2011, 4, 7, 23, 40, 0, dt);
  return TDateTimeToSeconds(dt);
}

struct TFix {
  double Lat, Lon;
  int Second;  // after T0()
  uint16_t Cog = 900;  // tenths; 3600 not available
  uint16_t Sog = 100;
};

TStatic Ship(const std::string& mmsi, const std::vector<TFix>& fixes) {
  TStatic s;
  s.MMSI = mmsi;
  for (const TFix& f : fixes) {
    TDynamic& d = s.aPlot.emplace_back();
    d.MsgType = 1;
    d.MMSI_Number = static_cast<uint32_t>(std::atoll(mmsi.c_str()));
    d.Lat_Raw = static_cast<int32_t>(std::llround(f.Lat * 600000));
    d.Lon_Raw = static_cast<int32_t>(std::llround(f.Lon * 600000));
    d.COG_Tenths = f.Cog;
    d.SOG_Tenths = f.Sog;
    StampPoint(s.aPlot, d, T0() + f.Second, {});
  }
  return s;
}

TShipList Table(std::vector<TStatic> ships) {
  TShipList list;
  for (TStatic& s : ships) list.push_back(std::move(s));
  return list;
}

double At(int second) { return static_cast<double>(T0() + second); }

TEST(ReplayProjection, RoundTripAndClamp) {
  const struct { double lat, lon; } cases[] = {{0, 0}, {54.020567, 7.979417}, {-33.5, -70.25}, {85, 179.999}, {-85, -180}};
  for (const auto& c : cases) {
    const TWorldPoint w = LatLonToWorld(c.lat, c.lon);
    EXPECT_NEAR(WorldYToLat(w.Y), c.lat, 1e-9);
    EXPECT_NEAR(WorldXToLon(w.X), c.lon, 1e-9);
  }
  EXPECT_DOUBLE_EQ(LatToWorldY(0), 0.5);
  EXPECT_NEAR(LatToWorldY(kMercatorMaxLat), 0, 1e-12);
  EXPECT_EQ(LatToWorldY(89.9), LatToWorldY(kMercatorMaxLat));  // beyond the edge: on it
  EXPECT_EQ(LatToWorldY(-90), LatToWorldY(-kMercatorMaxLat));
  EXPECT_NEAR(WorldXToLon(1.25), -90, 1e-9);  // an unwrapped x names a real longitude
}

// The sample card, read as a run reads it: every vessel of the document, every valid
// point, in time order, each point exactly where its texts say.
TEST(ReplayModel, SampleCardAsTheDocumentShowsIt) {
  TAnalysisState state;
  test::TRecordingSink sink;
  TDateTime start = 0, end = 0;
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, 0, 0, 0, start));
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 9, 0, 0, 0, end));
  bool first = true;
  for (const char* name : {"00000001.LOG", "00000002.LOG", "00000003.LOG"}) {
    const std::string path = (test::SourceDir() / "samples" / name).string();
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int64_t lines = std::count(bytes.begin(), bytes.end(), '\n');
    ASSERT_TRUE(first ? ReadLogFile_First(state, path, 0, lines - 1, start, end, {}, sink)
                      : ReadLogFile_Next(state, path, 0, lines - 1, start, end, {}, sink));
    first = false;
  }
  const TShipList& ships = state.aShipList;
  const TReplayModel model = BuildReplayModel(ships, false);
  ASSERT_GE(model.Vessels.size(), 7u);
  EXPECT_EQ(model.Vessels[0].Kind, TVesselKind::Own);
  bool sart = false;
  size_t points = 0;
  for (uint32_t i = 0; i < model.Vessels.size(); ++i) {
    const TReplayVessel& v = model.Vessels[i];
    const TStatic& ship = ships[v.Entry];
    if (v.Kind == TVesselKind::Sart) {
      sart = true;
      EXPECT_EQ(v.Name, "SART " + std::string(ship.MMSI));
    }
    size_t valid = 0;
    for (const TDynamic& d : ship.aPlot) valid += HasValidPosition(ship.aPlot, d);
    EXPECT_EQ(v.Count, valid) << v.Name;
    points += valid;
    for (uint32_t k = v.First; k < v.First + v.Count; ++k) {
      const TReplayPoint& p = model.Points[k];
      if (k > v.First) {
        EXPECT_LE(model.Points[k - 1].Time, p.Time);
      }
      const TDynamic& d = ship.aPlot[p.Source];
      const TWorldPoint w = PointWorld(v, p);
      EXPECT_NEAR(WorldYToLat(w.Y), LatDegrees(d), 2e-6);
      EXPECT_NEAR(WorldXToLon(w.X), LonDegrees(d), 2e-6);
      EXPECT_EQ(model.BaseSeconds + p.Time, PointSeconds(ship.aPlot, d));
    }
  }
  EXPECT_TRUE(sart);
  EXPECT_EQ(model.Points.size(), points);
  EXPECT_EQ(model.StartSeconds, T0());
  EXPECT_GT(model.EndSeconds, T0() + 40 * 60);
  // Own track only: entry 0 alone, and the fit box is its track's.
  const TReplayModel own = BuildReplayModel(ships, true);
  ASSERT_EQ(own.Vessels.size(), 1u);
  EXPECT_EQ(own.Vessels[0].Entry, 0u);
  EXPECT_DOUBLE_EQ(own.Bounds.MinY, own.Vessels[0].Box.MinY);
}

TEST(ReplayModel, NothingToShow) {
  const TShipList empty;
  EXPECT_TRUE(IsEmpty(BuildReplayModel(empty, false)));
  TStatic noPosition = Ship("211000001", {{54, 8, 0}});
  noPosition.aPlot[0].Lat_Raw = 91 * 600000;
  // A fix whose text passes the document's test but names no place.
  test::AppendPoint(noPosition.aPlot, {"111111111", "", "1", "3683241.685000", "54.0", "1", "", "2011-04-07T10:00:00Z"});
  const TReplayModel model =
      BuildReplayModel(Table({Ship("0", {{54, 8, 0}}), noPosition, Ship("n.a.", {{54, 8, 0}})}), false);
  EXPECT_TRUE(IsEmpty(model));
  EXPECT_TRUE(model.Points.empty());
  EXPECT_FALSE(model.Bounds.Valid);
  // A time 40 years off (a damaged date) cannot share the span: that point is dropped.
  const TReplayModel far = BuildReplayModel(Table({Ship("211000001", {{54, 8, 0}, {54, 8, 40 * 31557600}})}), false);
  EXPECT_EQ(far.Points.size(), 1u);
}

TEST(ReplayModel, InterpolatesHoldsAndFades) {
  const TReplayModel model = BuildReplayModel(
      Table({Ship("211000001", {{54, 8, 0}, {54, 8.01, 60, 3600}, {54, 8.02, 120, 450, 2},
                                {54, 8.03, 2000}})}),
      false);
  const double x0 = LonToWorldX(8), x1 = LonToWorldX(8.01), x2 = LonToWorldX(8.02);
  const struct {
    int second;
    bool visible;
    double x;
    float alpha;
    bool hasCourse;
  } cases[] = {
      {-1, false, 0, 0, false},
      {0, true, x0, 1, true},
      {30, true, (x0 + x1) / 2, 1, true},
      {60, true, x1, 1, false},        // no course: a circle
      {120, true, x2, 1, false},       // under half a knot: a circle
      {120 + 600, true, x2, 1, false}, // the gap to the next point is not crossed
      {120 + 750, true, x2, 0.5f, false},
      {120 + 900, false, 0, 0, false},
      {2000, true, LonToWorldX(8.03), 1, true},
      {2000 + 899, true, LonToWorldX(8.03), 1.0f / 300, true},
  };
  for (const auto& c : cases) {
    const TVesselState s = VesselAt(model, 0, At(c.second));
    EXPECT_EQ(s.Visible, c.visible) << c.second;
    if (!c.visible) continue;
    EXPECT_NEAR(s.Position.X, c.x, 1e-9) << c.second;
    EXPECT_NEAR(s.Alpha, c.alpha, 1e-6) << c.second;
    EXPECT_EQ(s.HasCourse, c.hasCourse) << c.second;
  }
}

TEST(ReplayModel, TimeOrderSinglePointsAndCrowdedSeconds) {
  const TReplayModel model = BuildReplayModel(
      Table({Ship("211000001", {{54, 8, 0}, {54, 8.2, 120}, {54, 8.1, 60}}),  // the clock stepped back
             Ship("211000002", {{55, 8, 5}, {55, 8.1, 5}, {55, 8.2, 5}, {55, 8.3, 10}}),
             Ship("211000003", {{56, 8, 30}})}),
      false);
  ASSERT_EQ(model.Vessels.size(), 3u);
  const auto sources = [&](uint32_t v) {
    std::vector<uint32_t> out;
    for (uint32_t k = 0; k < model.Vessels[v].Count; ++k) out.push_back(model.Points[model.Vessels[v].First + k].Source);
    return out;
  };
  EXPECT_EQ(sources(0), (std::vector<uint32_t>{0, 2, 1}));
  EXPECT_EQ(sources(1), (std::vector<uint32_t>{0, 1, 2, 3}));  // equal times keep log order
  EXPECT_NEAR(VesselAt(model, 0, At(90)).Position.X, LonToWorldX(8.15), 1e-9);
  EXPECT_NEAR(VesselAt(model, 1, At(5)).Position.X, LonToWorldX(8.2), 1e-9);  // the last of that second
  const TVesselState single = VesselAt(model, 2, At(30));
  EXPECT_TRUE(single.Visible);
  EXPECT_FALSE(VesselAt(model, 2, At(29)).Visible);
  TDecimationCache cache;
  TPolylines lines;
  AppendTrail(model, cache, 2, At(40), TTrailKind::Whole, 1e6, lines);
  AppendWholeTrack(model, cache, 2, 1e6, lines);
  EXPECT_TRUE(lines.Points.empty());  // one point draws a marker, never a line
}

TEST(ReplayModel, TrackAcrossTheMeridian) {
  const TReplayModel model = BuildReplayModel(
      Table({Ship("211000001", {{-17, 179.8, 0}, {-17, 179.95, 60}, {-17, -179.9, 120}, {-17, -179.7, 180}}),
             Ship("211000002", {{-16, -179.5, 0}})}),
      false);
  const TReplayVessel& v = model.Vessels[0];
  EXPECT_NEAR(v.Box.MaxX - v.Box.MinX, 0.5 / 360, 1e-9);
  // Halfway between 179.95° E and 179.9° W lies 179.975° W, not Greenwich.
  const TVesselState s = VesselAt(model, 0, At(90));
  EXPECT_NEAR(WorldXToLon(s.Position.X), -179.975, 1e-6);
  TDecimationCache cache;
  TPolylines lines;
  AppendWholeTrack(model, cache, 0, 1e9, lines);
  ASSERT_EQ(lines.Points.size(), 4u);
  for (size_t i = 1; i < lines.Points.size(); ++i)
    EXPECT_LT(std::fabs(lines.Points[i].X - lines.Points[i - 1].X), 0.001);
  // Both vessels fit in a box a degree wide, not one around the world.
  EXPECT_NEAR(model.Bounds.MaxX - model.Bounds.MinX, 0.7 / 360, 1e-9);
}

TEST(ReplayTrails, DecimationKeepsRunEndsAndEveryVessel) {
  std::vector<TFix> crowded;
  for (int i = 0; i < 200; ++i) crowded.push_back({54 + i * 1e-5, 8, i});  // 1 m steps
  crowded.push_back({54.5, 8, 200 + kGapSeconds + 1});                     // after a gap
  crowded.push_back({54.5, 8.5, 200 + kGapSeconds + 61});
  const TReplayModel model = BuildReplayModel(Table({Ship("211000001", crowded), Ship("211000002", {{50, 1, 0}})}), false);
  TDecimationCache cache;
  const TDecimatedLevel& coarse = DecimatedLevel(model, cache, 256);
  ASSERT_FALSE(coarse.AllPoints);
  std::vector<uint32_t> kept(coarse.Kept.begin() + coarse.VesselStart[0], coarse.Kept.begin() + coarse.VesselStart[1]);
  EXPECT_EQ(kept, (std::vector<uint32_t>{0, 199, 200, 201}));
  EXPECT_EQ(coarse.VesselStart[2] - coarse.VesselStart[1], 1u);
  EXPECT_TRUE(DecimatedLevel(model, cache, 256.0 * (1 << 30)).AllPoints);  // beyond the last level
  TPolylines lines;
  AppendWholeTrack(model, cache, 0, 256, lines);
  EXPECT_EQ(lines.RunStarts, (std::vector<uint32_t>{0, 2}));  // broken at the gap
}

TEST(ReplayTrails, TrailEndsAtTheMarker) {
  const TReplayModel model = BuildReplayModel(
      Table({Ship("211000001", {{54, 8, 0}, {54, 8.01, 300}, {54, 8.02, 600}, {54, 8.03, 900}})}), false);
  TDecimationCache cache;
  const struct {
    TTrailKind kind;
    int second;
    size_t points;
  } cases[] = {{TTrailKind::None, 750, 0},     {TTrailKind::TenMinutes, 750, 3}, {TTrailKind::Hour, 750, 4},
               {TTrailKind::Whole, 900, 4},    {TTrailKind::TenMinutes, 60, 2},  {TTrailKind::Whole, 2000, 0}};
  for (const auto& c : cases) {
    TPolylines lines;
    AppendTrail(model, cache, 0, At(c.second), c.kind, 1e7, lines);
    EXPECT_EQ(lines.Points.size(), c.points) << c.second;
    if (c.points == 0) continue;
    EXPECT_NEAR(lines.Points.back().X, VesselAt(model, 0, At(c.second)).Position.X, 1e-12);
  }
}

TEST(ReplayFrame, HitTestFindsTheNearestMarker) {
  const TReplayModel model = BuildReplayModel(
      Table({Ship("211000001", {{54, 8, 0}}), Ship("211000002", {{54, 8.001, 0}}), Ship("211000003", {{40, -170, 0}})}),
      false);
  const TViewTransform view = FitView(model.Vessels[0].Box, 800, 600, 0, 256.0 * (1 << 16));
  TFrame frame;
  ComputeFrame(model, At(0), view, 800, 600, 20, frame);
  ASSERT_EQ(frame.Markers.size(), 2u);  // the third lies far outside the view
  const TMarker& second = frame.Markers[1];
  EXPECT_EQ(HitTest(frame, second.X + 3, second.Y - 3, 8), 1);
  EXPECT_EQ(HitTest(frame, 400, 300, 8), 0);
  EXPECT_EQ(HitTest(frame, 400, 300 + 30, 8), -1);
  // Zoomed out, a vessel appears once per copy of the world on the screen.
  ComputeFrame(model, At(0), {-1, 0, 256}, 768, 256, 0, frame);
  EXPECT_EQ(frame.Markers.size(), 9u);
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// Three tracks: A and C along one parallel (C three times over), B across them. A pixel
// counts vessels, not passes.
TEST(DensityMap, CountsEachVesselOncePerPixel) {
  const TShipList ships = Table({Ship("211000001", {{53.9, 8.0, 0}, {54.1, 8.0, 60}}),
                                 Ship("211000002", {{54.0, 7.9, 0}, {54.0, 8.1, 60}}),
                                 Ship("211000003", {{54.0, 7.9, 0}, {54.0, 8.1, 60}, {54.0, 7.9, 120}, {54.0, 8.1, 180}}),
                                 Ship("211000004", {{54.3, 8.3, 0}, {54.3, 8.31, 60}})});
  const TReplayModel model = BuildReplayModel(ships, false);
  TDecimationCache cache;
  TDensityGrid grid;
  const TViewTransform view = FitView(model.Bounds, 200, 200, 10, 1e9);
  CountTrackDensity(model, DecimatedLevel(model, cache, view.Scale), view, 200, 200, std::vector<char>(model.Vessels.size(), 1), grid);
  const auto at = [&](double lat, double lon) {
    const TWorldPoint w = LatLonToWorld(lat, lon);
    const int x = static_cast<int>(std::lround(ScreenX(view, w.X))), y = static_cast<int>(std::lround(ScreenY(view, w.Y)));
    return grid.Cells[static_cast<size_t>(y) * 200 + static_cast<size_t>(x)].Count;
  };
  EXPECT_EQ(at(54.0, 7.95), 2u);
  EXPECT_EQ(at(54.0, 8.0), 3u);
  EXPECT_EQ(at(53.95, 8.0), 1u);
  EXPECT_EQ(at(54.15, 7.95), 0u);
  EXPECT_EQ(grid.Max, 3u);
  // Many vessels are counted on two threads: the halves add up.
  std::vector<TStatic> many;
  for (int k = 0; k < 70; ++k) many.push_back(Ship(std::to_string(211000100 + k), {{54.0, 7.9, k}, {54.0, 8.1, 60 + k}}));
  const TReplayModel crowd = BuildReplayModel(Table(std::move(many)), false);
  TDecimationCache crowdCache;
  CountTrackDensity(crowd, DecimatedLevel(crowd, crowdCache, view.Scale), view, 200, 200, std::vector<char>(crowd.Vessels.size(), 1), grid);
  EXPECT_EQ(at(54.0, 7.95), 70u);
  EXPECT_EQ(grid.Max, 70u);
  // Fewer vessels: lighter and more transparent.
  EXPECT_LT(DensityColour(1, 3) >> 24, DensityColour(3, 3) >> 24);
  EXPECT_NE(DensityColour(1, 3) & 0xFFFFFF, DensityColour(3, 3) & 0xFFFFFF);
}

// Long tracks that wander over both halves of the view (counted by two threads, their
// stretches beyond a half passed by), tracks of a few pixels a point that run on beyond
// the view, and an anchored vessel that never leaves one pixel: each pixel counts the
// vessels whose drawn track covers it.
TEST(DensityMap, CountsThePixelsTheLinesDraw) {
  std::vector<TStatic> ships;
  for (int k = 0; k < 70; ++k) {
    std::vector<TFix> fixes;
    for (int i = 0; i < 700; ++i) {
      const double phase = (i + 37 * k) % 300 / 150.0;  // down and up again
      fixes.push_back({53.9 + 0.2 * std::fabs(phase - 1), 7.9 + 0.2 * (i / 700.0) + 0.001 * k, 10 * i});
    }
    ships.push_back(Ship(std::to_string(211000100 + k), fixes));
  }
  for (int k = 0; k < 20; ++k) {
    std::vector<TFix> fixes;
    for (int i = 0; i < 300; ++i) fixes.push_back({53.85 + 0.001 * (i + 7 * k), 7.451 + 0.004 * i + 0.00037 * k, 10 * i});
    ships.push_back(Ship(std::to_string(211000200 + k), fixes));
  }
  ships.push_back(Ship("211000999", {{54.05, 8.05, 0}, {54.05001, 8.05001, 60}, {54.05, 8.05, 120}}));
  const TReplayModel model = BuildReplayModel(Table(std::move(ships)), false);
  TWorldRect box;
  for (const auto& [lat, lon] : {std::pair{53.9, 7.9}, std::pair{54.1, 8.17}}) Extend(box, LatLonToWorld(lat, lon).X, LatLonToWorld(lat, lon).Y);
  const TViewTransform view = FitView(box, 300, 300, 10, 1e9);
  TDecimationCache cache;
  TDensityGrid grid;
  CountTrackDensity(model, DecimatedLevel(model, cache, view.Scale), view, 300, 300, std::vector<char>(model.Vessels.size(), 1), grid);
  std::vector<uint32_t> expected(300 * 300);
  for (uint32_t v = 0; v < model.Vessels.size(); ++v) {
    TPolylines lines;
    AppendWholeTrack(model, cache, v, view.Scale, lines);
    std::vector<char> seen(expected.size());
    for (size_t r = 0; r < lines.RunStarts.size(); ++r) {
      const size_t end = r + 1 < lines.RunStarts.size() ? lines.RunStarts[r + 1] : lines.Points.size();
      ForEachPolylinePixel(lines.Points.data() + lines.RunStarts[r], end - lines.RunStarts[r], view, 0, 300, 300,
                           [&](int x, int y) { seen[static_cast<size_t>(y) * 300 + static_cast<size_t>(x)] = 1; });
    }
    for (size_t i = 0; i < seen.size(); ++i) expected[i] += static_cast<uint32_t>(seen[i]);
  }
  size_t differing = 0;
  for (size_t i = 0; i < expected.size(); ++i) differing += grid.Cells[i].Count != expected[i];
  EXPECT_EQ(differing, 0u);
  const TWorldPoint anchor = LatLonToWorld(54.05, 8.05);
  const size_t at = static_cast<size_t>(std::lround(ScreenY(view, anchor.Y))) * 300 +
                    static_cast<size_t>(std::lround(ScreenX(view, anchor.X)));
  EXPECT_GE(grid.Cells[at].Count, 1u);
}

// A segment with an end beyond the image walks only its steps inside, and they are the
// pixels Bresenham's walk over the whole segment gives inside.
TEST(PixelWalk, ASegmentBeyondTheImageGivesThePixelsOfTheWholeWalkInside) {
  const auto whole = [](int w, int h, int x0, int y0, int x1, int y1, bool skipFirst) {
    std::vector<std::pair<int, int>> out;
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1, dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;; skipFirst = false) {
      if (!skipFirst && x0 >= 0 && x0 < w && y0 >= 0 && y0 < h) out.push_back({x0, y0});
      if (x0 == x1 && y0 == y1) return out;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  };
  uint32_t seed = 7;
  const auto next = [&seed](int span) { return static_cast<int>((seed = seed * 1664525u + 1013904223u) >> 8) % span; };
  for (int k = 0; k < 20000; ++k) {
    const int w = 1 + next(9), h = 1 + next(7), far = k % 2 ? 40 : 4000;
    const int x0 = next(2 * far) - far, y0 = next(2 * far) - far, x1 = next(2 * far) - far, y1 = next(2 * far) - far;
    std::vector<std::pair<int, int>> walked;
    const auto add = [&walked](int x, int y) { walked.push_back({x, y}); };
    pixel_walk::Walk(w, h, x0, y0, x1, y1, add, k % 3 == 0);
    ASSERT_EQ(walked, whole(w, h, x0, y0, x1, y1, k % 3 == 0)) << w << "x" << h << " " << x0 << "," << y0 << " " << x1 << "," << y1;
  }
}

// A vessel counts once in each 10 minutes it sent a position; spans over two days are
// counted by the hour; midnights within the span are marked.
TEST(Timeline, BinsCountVesselsAndDaysBegin) {
  // T0 is 23:40: bins from 23:40, 23:50, 00:00 ...
  const TShipList ships = Table({Ship("211000001", {{54, 8, 0}, {54, 8, 10}, {54, 8, 30}, {54, 8, 1500}}),
                                 Ship("211000002", {{54, 8, 610}, {54, 8, 620}})});
  const TTimelineBins bins = TimelineBinsOf(BuildReplayModel(ships, false));
  EXPECT_EQ(bins.BinSeconds, 600);
  EXPECT_EQ(bins.Start, T0());
  EXPECT_EQ(bins.Vessels, (std::vector<uint32_t>{1, 1, 1}));
  EXPECT_EQ(bins.Max, 1u);
  EXPECT_EQ(DayStartsWithin(T0(), T0() + 1500), (std::vector<int64_t>{T0() + 1200}));
  const TShipList long_ = Table({Ship("211000001", {{54, 8, 0}, {54, 8, 3 * 86400}}),
                                 Ship("211000002", {{54, 8, 100}})});
  const TTimelineBins hours = TimelineBinsOf(BuildReplayModel(long_, false));
  EXPECT_EQ(hours.BinSeconds, 3600);
  EXPECT_EQ(hours.Vessels.front(), 2u);
  EXPECT_EQ(hours.Vessels.back(), 1u);
  EXPECT_EQ(DayStartsWithin(T0(), T0() + 3 * 86400).size(), 3u);
}

}  // namespace
}  // namespace pelorin
