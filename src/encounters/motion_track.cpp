#include "encounters/motion_track.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

}  // namespace

TMotionTrack MotionTrackOf(const TTrack& track) {
  TPlacedPoints placed;
  PlacedPointsOf(track, placed);
  TMotionTrack motion;
  motion.Points.reserve(placed.size());
  for (const TPlacedPoint& p : placed) {
    double lon = p.Lon;
    if (!p.StartsStretch && !motion.Points.empty()) {
      const double previous = motion.Points.back().Lon;
      lon += 360.0 * std::round((previous - lon) / 360.0);
    }
    motion.Points.push_back({p.Seconds, p.Lat, lon, p.StartsStretch, p.Point});
  }
  return motion;
}

int64_t SegmentAt(const TMotionTrack& track, int64_t seconds) {
  const auto& pts = track.Points;
  auto it = std::lower_bound(pts.begin(), pts.end(), seconds,
                             [](const TMotionPoint& p, int64_t t) { return p.Seconds < t; });
  if (it != pts.end() && it->Seconds == seconds) return it - pts.begin();  // on a point
  if (it == pts.begin() || it == pts.end() || it->StartsStretch) return -1;
  return (it - pts.begin()) - 1;
}

bool FixAt(const TMotionTrack& track, int64_t seconds, TMotionFix& fix) {
  const int64_t k = SegmentAt(track, seconds);
  if (k < 0) return false;
  const size_t i = static_cast<size_t>(k);
  const TMotionPoint& a = track.Points[i];
  fix = {a.Lat, a.Lon, 0, 0};
  const auto motion = [&](const TMotionPoint& from, const TMotionPoint& to) {
    const double span = static_cast<double>(to.Seconds - from.Seconds);
    fix.NorthKn = (to.Lat - from.Lat) * 60.0 * 3600.0 / span;
    fix.EastKn = (to.Lon - from.Lon) * 60.0 * std::cos(fix.Lat * kRad) * 3600.0 / span;
  };
  const bool next = i + 1 < track.Points.size() && !track.Points[i + 1].StartsStretch;
  if (!next) {
    // The stretch's last point moves as the segment that led to it; a lone point stands.
    if (!a.StartsStretch && track.Points[i - 1].Seconds < a.Seconds) motion(track.Points[i - 1], a);
    return true;
  }
  const TMotionPoint& b = track.Points[i + 1];
  if (b.Seconds == a.Seconds) return true;
  const double f = static_cast<double>(seconds - a.Seconds) / static_cast<double>(b.Seconds - a.Seconds);
  fix.Lat = a.Lat + (b.Lat - a.Lat) * f;
  fix.Lon = a.Lon + (b.Lon - a.Lon) * f;
  motion(a, b);
  return true;
}

const TDynamic* ReportAt(const TMotionTrack& track, int64_t seconds) {
  const auto& pts = track.Points;
  auto it = std::upper_bound(pts.begin(), pts.end(), seconds,
                             [](int64_t t, const TMotionPoint& p) { return t < p.Seconds; });
  return it == pts.begin() ? nullptr : std::prev(it)->Report;
}

double DistanceNM(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRad, p2 = lat2 * kRad;
  const double dp = p2 - p1, dl = (lon2 - lon1) * kRad;
  const double h = std::sin(dp / 2) * std::sin(dp / 2) + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * kEarthRadiusNM * std::asin(std::min(1.0, std::sqrt(h)));
}

int BearingDegrees(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRad, p2 = lat2 * kRad, dl = (lon2 - lon1) * kRad;
  const double y = std::sin(dl) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  const int degrees = static_cast<int>(std::lround(std::atan2(y, x) / kRad));
  return ((degrees % 360) + 360) % 360;
}

}  // namespace pelorin
