#include "encounters/closest_approach.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

// A time span on which a vessel moves along one segment (or stands at a point), and the
// index of the segment's first point.
struct TSpan {
  int64_t From, To;
  size_t First;
};

// The segments of a track that meet [from, to] as spans: [t_k, t_k+1] within a stretch,
// a lone point as [t, t]. Into a reused list.
void SegmentSpans(const TMotionTrack& t, int64_t from, int64_t to, std::vector<TSpan>& spans) {
  spans.clear();
  const auto& p = t.Points;
  auto it = std::lower_bound(p.begin(), p.end(), from, [](const TMotionPoint& q, int64_t s) { return q.Seconds < s; });
  for (size_t k = it == p.begin() ? 0 : static_cast<size_t>(it - p.begin()) - 1; k < p.size() && p[k].Seconds <= to; ++k) {
    const bool next = k + 1 < p.size() && !p[k + 1].StartsStretch;
    if (next && p[k + 1].Seconds >= from)
      spans.push_back({p[k].Seconds, p[k + 1].Seconds, k});
    else if (!next && p[k].StartsStretch && p[k].Seconds >= from)
      spans.push_back({p[k].Seconds, p[k].Seconds, k});
  }
}

// Calls f(from, to, segment of a, segment of b) for every span within [from, to] on which
// both have a position and move linearly.
template <typename F>
void ForCommonSpans(const TMotionTrack& a, const TMotionTrack& b, int64_t from, int64_t to, F&& f) {
  thread_local std::vector<TSpan> sa, sb;
  SegmentSpans(a, from, to, sa);
  SegmentSpans(b, from, to, sb);
  size_t i = 0, j = 0;
  while (i < sa.size() && j < sb.size()) {
    const int64_t t0 = std::max({sa[i].From, sb[j].From, from}), t1 = std::min({sa[i].To, sb[j].To, to});
    if (t0 <= t1) f(t0, t1, sa[i].First, sb[j].First);
    if (sa[i].To < sb[j].To)
      ++i;
    else if (sb[j].To < sa[i].To)
      ++j;
    else
      ++i, ++j;
  }
}

constexpr int64_t kAllTime = int64_t{1} << 62;

// A vessel's place at `t` on the segment beginning at point k.
void PlaceOn(const TMotionTrack& track, size_t k, int64_t t, double& lat, double& lon) {
  const TMotionPoint& a = track.Points[k];
  lat = a.Lat, lon = a.Lon;
  if (k + 1 >= track.Points.size() || track.Points[k + 1].StartsStretch) return;
  const TMotionPoint& b = track.Points[k + 1];
  if (b.Seconds == a.Seconds) return;
  const double f = static_cast<double>(t - a.Seconds) / static_cast<double>(b.Seconds - a.Seconds);
  lat += (b.Lat - a.Lat) * f;
  lon += (b.Lon - a.Lon) * f;
}

// B's place less A's in degrees, longitude wrapped.
void DegreesApart(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t t, double& dlat,
                  double& dlon, double& lat) {
  double la, oa, lb, ob;
  PlaceOn(a, ka, t, la, oa);
  PlaceOn(b, kb, t, lb, ob);
  dlat = lb - la;
  dlon = ob - oa;
  dlon -= 360.0 * std::round(dlon / 360.0);
  lat = (la + lb) / 2;
}

// False when on [from, to] the two stay farther apart than `nm` in latitude or longitude
// alone (the cheap test that most spans of a candidate pair fail).
bool MayComeWithin(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t from, int64_t to,
                   double nm, double cosMin) {
  double lat0, lon0, lat1, lon1, mid;
  DegreesApart(a, ka, b, kb, from, lat0, lon0, mid);
  DegreesApart(a, ka, b, kb, to, lat1, lon1, mid);
  const auto apart = [](double x0, double x1, double limit) {
    return (x0 > limit && x1 > limit) || (x0 < -limit && x1 < -limit);
  };
  return !apart(lat0, lat1, nm / 60.0) && !apart(lon0, lon1, nm / (60.0 * cosMin));
}

}  // namespace

// The cosine of the farthest latitude either track reaches: east distances are at least
// their longitude difference times this.
double LeastCosine(const TMotionTrack& a, const TMotionTrack& b) {
  double far = 0;
  for (const auto* t : {&a, &b})
    for (const TMotionPoint& p : t->Points) far = std::max(far, std::fabs(p.Lat));
  return std::max(1e-6, std::cos(std::min(far, 89.999) * kRad));
}

namespace {

// B's motion relative to A's on [from, to], both on the given segments, in NM on a flat
// chart around them (east, north): at `from`, and its change to `to`.
struct TFlatMotion {
  double E0 = 0, N0 = 0, DE = 0, DN = 0;
};
TFlatMotion FlatMotion(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t from, int64_t to) {
  double lat0, lon0, mid0, lat1, lon1, mid1;
  DegreesApart(a, ka, b, kb, from, lat0, lon0, mid0);
  DegreesApart(a, ka, b, kb, to, lat1, lon1, mid1);
  const double c0 = 60.0 * std::cos(mid0 * kRad), c1 = 60.0 * std::cos(mid1 * kRad);
  return {lon0 * c0, lat0 * 60.0, lon1 * c1 - lon0 * c0, (lat1 - lat0) * 60.0};
}
double ClosestFraction(const TFlatMotion& m) {
  const double dd = m.DE * m.DE + m.DN * m.DN;
  return dd <= 0 ? 0 : std::clamp(-(m.E0 * m.DE + m.N0 * m.DN) / dd, 0.0, 1.0);
}

void Consider(const TMotionTrack& a, const TMotionTrack& b, int64_t t, TApproach& best) {
  TApproach here;
  if (!ApproachAt(a, b, t, here)) return;
  if (!best.Found || here.DistanceNM < best.DistanceNM || (here.DistanceNM == best.DistanceNM && t < best.Seconds))
    best = here;
}

// The least distance on [from, to]: at its ends and the seconds around the flat minimum.
void ClosestOn(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t from, int64_t to,
               TApproach& best) {
  Consider(a, b, from, best);
  if (to == from) return;
  const double at =
      static_cast<double>(from) + ClosestFraction(FlatMotion(a, ka, b, kb, from, to)) * static_cast<double>(to - from);
  for (int64_t t = static_cast<int64_t>(std::floor(at)) - 1; t <= static_cast<int64_t>(std::ceil(at)) + 1; ++t)
    if (t > from && t < to) Consider(a, b, t, best);
  Consider(a, b, to, best);
}

bool Inside(const TMotionTrack& a, const TMotionTrack& b, int64_t t, double rangeNM) {
  TApproach here;
  return ApproachAt(a, b, t, here) && here.DistanceNM < rangeNM;
}

}  // namespace

bool ApproachAt(const TMotionTrack& a, const TMotionTrack& b, int64_t seconds, TApproach& out) {
  TMotionFix fa, fb;
  if (!FixAt(a, seconds, fa) || !FixAt(b, seconds, fb)) return false;
  out.Found = true;
  out.Seconds = seconds;
  out.DistanceNM = DistanceNM(fa.Lat, fa.Lon, fb.Lat, fb.Lon);
  out.Bearing = BearingDegrees(fa.Lat, fa.Lon, fb.Lat, fb.Lon);
  out.RelativeKn = std::hypot(fb.NorthKn - fa.NorthKn, fb.EastKn - fa.EastKn);
  return true;
}

TApproach ClosestApproach(const TMotionTrack& a, const TMotionTrack& b) {
  TApproach best;
  const double cosMin = LeastCosine(a, b);
  ForCommonSpans(a, b, -kAllTime, kAllTime, [&](int64_t from, int64_t to, size_t ka, size_t kb) {
    // A span that stays farther than the best so far cannot hold it.
    if (best.Found && !MayComeWithin(a, ka, b, kb, from, to, best.DistanceNM * 1.01 + 0.01, cosMin)) return;
    ClosestOn(a, ka, b, kb, from, to, best);
  });
  return best;
}

void AddCloseStretches(const TMotionTrack& a, const TMotionTrack& b, double rangeNM, int64_t from, int64_t to,
                       double cosMin, std::vector<TCloseStretch>& stretches) {
  ForCommonSpans(a, b, from, to, [&](int64_t from, int64_t to, size_t ka, size_t kb) {
    if (!MayComeWithin(a, ka, b, kb, from, to, rangeNM * 1.01, cosMin)) return;
    const TFlatMotion m = FlatMotion(a, ka, b, kb, from, to);
    // Where the flat motion is within the range, widened by a second; then by the exact
    // distance, second by second at the ends.
    const double aa = m.DE * m.DE + m.DN * m.DN, bb = 2 * (m.E0 * m.DE + m.N0 * m.DN);
    const double cc = m.E0 * m.E0 + m.N0 * m.N0 - rangeNM * rangeNM * 1.0001;
    double s1 = 0, s2 = 1;
    if (aa <= 0) {
      if (cc > 0) return;
    } else {
      const double disc = bb * bb - 4 * aa * cc;
      if (disc < 0) return;
      s1 = (-bb - std::sqrt(disc)) / (2 * aa);
      s2 = (-bb + std::sqrt(disc)) / (2 * aa);
      if (s2 < 0 || s1 > 1) return;
    }
    const double span = static_cast<double>(to - from);
    int64_t lo = std::max(from, static_cast<int64_t>(std::floor(from + std::max(0.0, s1) * span)) - 1);
    int64_t hi = std::min(to, static_cast<int64_t>(std::ceil(from + std::min(1.0, s2) * span)) + 1);
    while (lo <= hi && !Inside(a, b, lo, rangeNM)) ++lo;
    while (hi >= lo && !Inside(a, b, hi, rangeNM)) --hi;
    if (lo > hi) return;
    TApproach closest;
    ClosestOn(a, ka, b, kb, lo, hi, closest);
    // Spans meet at their ends: a stretch goes on when the next begins at its last second.
    if (!stretches.empty() && lo <= stretches.back().End + 1) {
      TCloseStretch& s = stretches.back();
      s.End = std::max(s.End, hi);
      if (closest.DistanceNM < s.Closest.DistanceNM) s.Closest = closest;
      return;
    }
    stretches.push_back({lo, hi, closest});
  });
}

}  // namespace pelorin
