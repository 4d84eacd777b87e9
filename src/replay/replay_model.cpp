#include "replay/replay_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "codec/tdatetime.h"
#include "codec/vessel_rules.h"
#include "codec/point_texts.h"
#include "memory/huge_pages.h"

namespace pelorin {

namespace {

// A value of the point, or kNoValue.
uint16_t ValueOr(int value) { return value < 0 || value >= kNoValue ? kNoValue : static_cast<uint16_t>(value); }

// A time further than this from the first point cannot fit a point's 32-bit offset once
// the base moves to the earliest point; such a point is dropped as damaged.
constexpr int64_t kMaxOffset = int64_t{1} << 30;

// Reused across vessels, so that the build allocates per vessel at most while they grow.
struct TScratch {
  std::vector<double> X, Y;
  std::vector<uint32_t> Order;
  std::vector<TReplayPoint> Points;
  std::vector<double> X2, Y2;
};

bool InTimeOrder(const TReplayPoint* p, size_t n) {
  for (size_t i = 1; i < n; ++i)
    if (p[i].Time < p[i - 1].Time) return false;
  return true;
}

// Stable: equal times keep log order, so many points in one second replay as logged.
void SortByTime(TReplayPoint* p, size_t n, TScratch& s) {
  s.Order.resize(n);
  std::iota(s.Order.begin(), s.Order.end(), 0u);
  std::stable_sort(s.Order.begin(), s.Order.end(), [p](uint32_t a, uint32_t b) { return p[a].Time < p[b].Time; });
  s.Points.assign(p, p + n);
  s.X2 = s.X;
  s.Y2 = s.Y;
  for (size_t i = 0; i < n; ++i) {
    p[i] = s.Points[s.Order[i]];
    s.X[i] = s.X2[s.Order[i]];
    s.Y[i] = s.Y2[s.Order[i]];
  }
}

// Makes the vessel's points relative to its first one, with x unwrapped across the
// meridian: each step goes to the nearest copy of the next point.
// Also appends the vessel's chunks.
void Unwrap(TReplayVessel& v, TReplayPoint* p, size_t n, const TScratch& s, std::vector<TPointChunk>& chunks) {
  v.OriginX = s.X[0];
  v.OriginY = s.Y[0];
  double previous = s.X[0];
  for (size_t i = 0; i < n; ++i) {
    const double x = s.X[i] + std::round(previous - s.X[i]);
    previous = x;
    p[i].X = static_cast<float>(x - v.OriginX);
    p[i].Y = static_cast<float>(s.Y[i] - v.OriginY);
    Extend(v.Box, x, s.Y[i]);
    if (i % kChunkPoints == 0) chunks.push_back({p[i].X, p[i].X, p[i].Y, p[i].Y});
    TPointChunk& c = chunks.back();
    c.MinX = std::min(c.MinX, p[i].X), c.MaxX = std::max(c.MaxX, p[i].X);
    c.MinY = std::min(c.MinY, p[i].Y), c.MaxY = std::max(c.MaxY, p[i].Y);
  }
}

// The shortest x range on the circle of the world that holds every vessel's box: the
// complement of the widest gap between them.
TWorldRect MeridianAwareBounds(const std::vector<TReplayVessel>& vessels) {
  struct TSpan {
    double From, To;
  };
  std::vector<TSpan> spans;
  spans.reserve(vessels.size());
  TWorldRect out;
  for (const TReplayVessel& v : vessels) {
    const double shift = std::floor(v.Box.MinX);
    spans.push_back({v.Box.MinX - shift, v.Box.MaxX - shift});
    Extend(out, v.Box.MinX, v.Box.MinY);
    Extend(out, v.Box.MaxX, v.Box.MaxY);
  }
  if (spans.empty()) return out;
  std::sort(spans.begin(), spans.end(), [](const TSpan& a, const TSpan& b) { return a.From < b.From; });
  double reach = spans[0].To;
  double gap = 0, gapFrom = 0, gapTo = 0;
  for (size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].From - reach > gap) {
      gap = spans[i].From - reach;
      gapFrom = reach;
      gapTo = spans[i].From;
    }
    reach = std::max(reach, spans[i].To);
  }
  const double wrapGap = spans[0].From + 1 - reach;
  if (wrapGap >= gap && wrapGap > 0) {
    out.MinX = spans[0].From;
    out.MaxX = reach;
  } else if (gap > 0) {
    out.MinX = gapTo;
    out.MaxX = gapFrom + 1;
  } else {
    out.MinX = 0;
    out.MaxX = 1;
  }
  return out;
}

void AddVessel(TReplayModel& model, const TShipList& ships, size_t entry, int64_t& base, bool& haveBase,
               TScratch& s) {
  const TStatic& ship = ships[entry];
  const size_t first = model.Points.size();
  s.X.clear();
  s.Y.clear();
  uint32_t source = 0;
  for (const TDynamic& point : ship.aPlot) {
    const uint32_t k = source++;
    if (!HasValidPosition(ship.aPlot, point)) continue;
    const double lat = LatDegrees(point), lon = LonDegrees(point);
    // A fix's text may name a place its value cannot be: beyond the poles or the meridian.
    if (std::fabs(lat) > 90 || std::fabs(lon) > 180) continue;
    const int64_t seconds = PointSeconds(ship.aPlot, point);
    if (!haveBase) {
      base = seconds;
      haveBase = true;
    }
    if (seconds - base >= kMaxOffset || base - seconds >= kMaxOffset) continue;
    const TWorldPoint w = LatLonToWorld(lat, lon);
    s.X.push_back(w.X - std::floor(w.X));  // a longitude beyond ±180 from a damaged fix
    s.Y.push_back(w.Y);
    TReplayPoint& p = model.Points.emplace_back();
    p.Time = static_cast<int32_t>(seconds - base);
    p.Course = ValueOr(CourseTenths(point));
    p.Speed = ValueOr(SpeedTenths(point));
    p.Source = k;
  }
  const size_t n = model.Points.size() - first;
  if (n == 0) return;
  TReplayPoint* p = model.Points.data() + first;
  if (!InTimeOrder(p, n)) SortByTime(p, n, s);
  TReplayVessel& v = model.Vessels.emplace_back();
  v.First = static_cast<uint32_t>(first);
  v.Count = static_cast<uint32_t>(n);
  v.Entry = static_cast<uint32_t>(entry);
  v.Kind = VesselKindOf(ship, entry == 0);
  v.TypeGroup = ShipTypeGroupOf(ship.ShipsTypeCode);
  const TVesselName name = KmlVesselName(ship);
  v.Name.reserve(name.Prefix.size() + name.Text.size());
  v.Name.append(name.Prefix).append(name.Text);
  v.FirstChunk = static_cast<uint32_t>(model.Chunks.size());
  Unwrap(v, p, n, s, model.Chunks);
}

}  // namespace

TReplayModel BuildReplayModel(const TShipList& ships, bool ownTrackOnly) {
  TReplayModel model;
  const size_t visited = ownTrackOnly ? std::min<size_t>(ships.size(), 1) : ships.size();
  size_t capacity = 0;
  for (size_t i = 0; i < visited; ++i)
    if (KmlShowsTrack(ships[i])) capacity += ships[i].aPlot.size();
  model.Points.reserve(capacity);
  PreferHugePages(model.Points.data(), capacity * sizeof(TReplayPoint));

  TScratch scratch;
  int64_t base = 0;
  bool haveBase = false;
  for (size_t i = 0; i < visited; ++i)
    if (KmlShowsTrack(ships[i])) AddVessel(model, ships, i, base, haveBase, scratch);
  if (model.Vessels.empty()) {
    model.Points.clear();
    model.Chunks.clear();
    return model;
  }

  int32_t earliest = std::numeric_limits<int32_t>::max();
  int32_t latest = std::numeric_limits<int32_t>::min();
  for (const TReplayVessel& v : model.Vessels) {
    earliest = std::min(earliest, model.Points[v.First].Time);
    latest = std::max(latest, model.Points[v.First + v.Count - 1].Time);
  }
  if (earliest != 0)
    for (TReplayPoint& p : model.Points) p.Time -= earliest;
  model.BaseSeconds = base + earliest;
  model.StartSeconds = model.BaseSeconds;
  model.EndSeconds = base + latest;
  model.Bounds = MeridianAwareBounds(model.Vessels);
  return model;
}

int64_t PointAtOrBefore(const TReplayModel& model, uint32_t vessel, double t) {
  const TReplayVessel& v = model.Vessels[vessel];
  const TReplayPoint* begin = model.Points.data() + v.First;
  const TReplayPoint* end = begin + v.Count;
  const double offset = t - static_cast<double>(model.BaseSeconds);
  const TReplayPoint* after =
      std::upper_bound(begin, end, offset, [](double value, const TReplayPoint& p) { return value < p.Time; });
  return static_cast<int64_t>(v.First) + (after - begin) - 1;
}

TVesselState VesselAt(const TReplayModel& model, uint32_t vessel, double t) {
  TVesselState state;
  const TReplayVessel& v = model.Vessels[vessel];
  const int64_t at = PointAtOrBefore(model, vessel, t);
  if (at < static_cast<int64_t>(v.First)) return state;
  const size_t i = static_cast<size_t>(at);
  const TReplayPoint& p = model.Points[i];
  const double offset = t - static_cast<double>(model.BaseSeconds);
  const double since = offset - p.Time;
  const bool joined = i + 1 < size_t{v.First} + v.Count && model.Points[i + 1].Time - p.Time <= kGapSeconds;
  state.Point = static_cast<uint32_t>(i);
  state.Position = PointWorld(v, p);
  if (joined) {
    const TReplayPoint& q = model.Points[i + 1];
    const double f = since / (q.Time - p.Time);
    state.Position.X += f * (static_cast<double>(q.X) - p.X);
    state.Position.Y += f * (static_cast<double>(q.Y) - p.Y);
    state.Alpha = 1;
    state.Interpolated = true;
  } else if (since <= kHoldSeconds) {
    state.Alpha = 1;
  } else if (since < kHoldSeconds + kFadeSeconds) {
    state.Alpha = static_cast<float>(1 - (since - kHoldSeconds) / kFadeSeconds);
  } else {
    return TVesselState{};
  }
  state.Visible = true;
  if (p.Speed != kNoValue) state.Speed = static_cast<float>(p.Speed) / 10;
  state.HasCourse = p.Course != kNoValue && (p.Speed == kNoValue || p.Speed >= kMovingTenthsOfKnot);
  if (state.HasCourse) state.Course = static_cast<float>(p.Course) / 10;
  return state;
}

}  // namespace pelorin
