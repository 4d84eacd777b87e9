#include "encounters/motion_track.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace pelorin {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr int64_t kFullTurnRaw = 360 * 600000;
// An unwrapped longitude stays far inside int32: past this a stretch begins afresh.
constexpr int64_t kUnwrapLimitRaw = int64_t{1} << 30;

int32_t RawOf(double degrees) { return static_cast<int32_t>(std::llround(degrees * 600000.0)); }

}  // namespace

TMotionTrack MotionTrackOf(const TTrack& track, TPlacedPoints& placed) {
  PlacedPointsOf(track, placed);
  TMotionTrack motion;
  motion.Track = &track;
  if (placed.empty()) return motion;
  motion.TimeBase = placed.front().Seconds;
  motion.Points.reserve(placed.size());
  for (const TPlacedPoint& p : placed) {
    // Only a damaged date lies 68 years after the first point; no other vessel is there.
    if (p.Seconds - motion.TimeBase > std::numeric_limits<int32_t>::max()) break;
    int64_t lon = RawOf(p.Lon);
    bool starts = p.StartsStretch || motion.Points.empty();
    if (!starts) {
      const int64_t previous = motion.Points.back().LonRaw;
      lon += kFullTurnRaw * static_cast<int64_t>(std::llround(static_cast<double>(previous - lon) / kFullTurnRaw));
      if (std::llabs(lon) > kUnwrapLimitRaw) lon = RawOf(p.Lon), starts = true;
    }
    motion.Points.push_back({static_cast<int32_t>(p.Seconds - motion.TimeBase), RawOf(p.Lat),
                             static_cast<int32_t>(lon), p.Index | (starts ? kStretchBit : 0u)});
  }
  return motion;
}

void PlaceOn(const TMotionTrack& track, size_t k, int64_t seconds, double& lat, double& lon) {
  const TMotionPoint& a = track.Points[k];
  lat = DegreesOf(a.LatRaw), lon = DegreesOf(a.LonRaw);
  if (!GoesOn(track, k)) return;
  const TMotionPoint& b = track.Points[k + 1];
  const int64_t t = seconds - track.TimeBase;
  if (b.Offset == a.Offset || t <= a.Offset) return;
  if (t >= b.Offset) {
    lat = DegreesOf(b.LatRaw), lon = DegreesOf(b.LonRaw);
    return;
  }
  const double f = static_cast<double>(t - a.Offset) / static_cast<double>(b.Offset - a.Offset);
  lat += DegreesOf(b.LatRaw - a.LatRaw) * f;
  lon += DegreesOf(b.LonRaw - a.LonRaw) * f;
}

int64_t SegmentAt(const TMotionTrack& track, int64_t seconds) {
  const auto& pts = track.Points;
  const int64_t t = seconds - track.TimeBase;
  auto it = std::lower_bound(pts.begin(), pts.end(), t, [](const TMotionPoint& p, int64_t s) { return p.Offset < s; });
  if (it != pts.end() && it->Offset == t) return it - pts.begin();  // on a point
  if (it == pts.begin() || it == pts.end() || (it->Stored & kStretchBit) != 0) return -1;
  return (it - pts.begin()) - 1;
}

void MotionOn(const TMotionTrack& track, size_t k, TMotionFix& fix) {
  fix.NorthKn = fix.EastKn = 0;
  size_t from = k;
  if (!GoesOn(track, k)) {
    // The stretch's last point moves as the segment that led to it; a lone point stands.
    if (StartsStretch(track, k)) return;
    from = k - 1;
  }
  const TMotionPoint& a = track.Points[from];
  const TMotionPoint& b = track.Points[from + 1];
  if (b.Offset == a.Offset) return;
  const double perHour = 3600.0 / static_cast<double>(b.Offset - a.Offset);
  fix.NorthKn = DegreesOf(b.LatRaw - a.LatRaw) * 60.0 * perHour;
  fix.EastKn = DegreesOf(b.LonRaw - a.LonRaw) * 60.0 * std::cos(fix.Lat * kRad) * perHour;
}

bool FixAt(const TMotionTrack& track, int64_t seconds, TMotionFix& fix) {
  const int64_t k = SegmentAt(track, seconds);
  if (k < 0) return false;
  PlaceOn(track, static_cast<size_t>(k), seconds, fix.Lat, fix.Lon);
  MotionOn(track, static_cast<size_t>(k), fix);
  return true;
}

const TDynamic* ReportAt(const TMotionTrack& track, int64_t seconds) {
  const auto& pts = track.Points;
  const int64_t t = seconds - track.TimeBase;
  auto it = std::upper_bound(pts.begin(), pts.end(), t, [](int64_t s, const TMotionPoint& p) { return s < p.Offset; });
  if (it == pts.begin()) return nullptr;
  return &(*track.Track)[std::prev(it)->Stored & ~kStretchBit];
}

}  // namespace pelorin
