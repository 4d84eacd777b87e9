#include "encounters/closest_approach.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace pelorin {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kNMPerDegree = kEarthRadiusNM * kRad;
constexpr int64_t kFullTurnRaw = 360 * 600000;

// The least great circle distance between latitudes `farDegrees` or nearer the equator
// that lie `latDegrees` and `lonDegrees` apart: sin²(d/2) is at least sin²(Δφ/2) and
// at least cos²φ · sin²(Δλ/2).
double LeastApartNM(double latDegrees, double lonDegrees, double farDegrees) {
  const double byLat = latDegrees * kNMPerDegree;
  const double s = std::cos(std::min(farDegrees, 90.0) * kRad) * std::sin(std::min(lonDegrees, 180.0) * kRad / 2);
  return std::max(byLat, 2 * kEarthRadiusNM * std::asin(std::min(1.0, s)));
}

double Gap(double lo1, double hi1, double lo2, double hi2) { return std::max({0.0, lo2 - hi1, lo1 - hi2}); }

// A time span on which both move along one segment each (or stand at a point).
struct TCommon {
  int64_t From, To;
  size_t Ka, Kb;
};

// The spans of a track's piece that meet [from, to]: [t_k, t_k+1] along a stretch, a lone
// point as [t, t].
template <typename F>
void ForPieceSpans(const TMotionTrack& t, const TSlicePiece& piece, int64_t from, int64_t to, F&& f) {
  for (size_t k = piece.First; k <= piece.Last; ++k) {
    const int64_t t0 = SecondsOf(t, k);
    if (t0 > to) break;
    if (GoesOn(t, k)) {
      if (const int64_t t1 = SecondsOf(t, k + 1); t1 >= from) f(t0, t1, k);
    } else if (StartsStretch(t, k) && t0 >= from) {
      f(t0, t0, k);
    }
  }
}

// Calls f(common span) for every span within the slice on which both have a position.
template <typename F>
void ForCommonSpans(const TMotionTrack& a, const TSlicePiece& pa, const TMotionTrack& b, const TSlicePiece& pb,
                    int64_t from, F&& f) {
  struct TSpan {
    int64_t From, To;
    size_t K;
  };
  thread_local std::vector<TSpan> sa, sb;
  const int64_t to = from + kSliceSeconds;
  sa.clear(), sb.clear();
  ForPieceSpans(a, pa, from, to, [&](int64_t t0, int64_t t1, size_t k) { sa.push_back({t0, t1, k}); });
  ForPieceSpans(b, pb, from, to, [&](int64_t t0, int64_t t1, size_t k) { sb.push_back({t0, t1, k}); });
  size_t i = 0, j = 0;
  while (i < sa.size() && j < sb.size()) {
    const int64_t t0 = std::max({sa[i].From, sb[j].From, from}), t1 = std::min({sa[i].To, sb[j].To, to});
    if (t0 <= t1) f(TCommon{t0, t1, sa[i].K, sb[j].K});
    if (sa[i].To < sb[j].To)
      ++i;
    else if (sb[j].To < sa[i].To)
      ++j;
    else
      ++i, ++j;
  }
}

// B's place less A's in degrees (longitude wrapped), and their mean latitude.
struct TApart {
  double Lat, Lon, Mid;
};
TApart ApartAt(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t t) {
  double la, oa, lb, ob;
  PlaceOn(a, ka, t, la, oa);
  PlaceOn(b, kb, t, lb, ob);
  double dlon = ob - oa;
  dlon -= 360.0 * std::round(dlon / 360.0);
  return {lb - la, dlon, (la + lb) / 2};
}

double DistanceOn(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t t) {
  double la, oa, lb, ob;
  PlaceOn(a, ka, t, la, oa);
  PlaceOn(b, kb, t, lb, ob);
  return DistanceNM(la, oa, lb, ob);
}

// The span's ends apart, and whether on it the two stay farther apart than the limits in
// latitude or in longitude alone (B less A moves linearly, so its ends bound it).
struct TSpanEnds {
  TApart At0, At1;
};
TSpanEnds EndsOf(const TMotionTrack& a, const TMotionTrack& b, const TCommon& s) {
  return {ApartAt(a, s.Ka, b, s.Kb, s.From), ApartAt(a, s.Ka, b, s.Kb, s.To)};
}
bool StaysApart(const TSpanEnds& e, double latLimit, double lonLimit) {
  const auto apart = [](double x0, double x1, double limit) {
    return (x0 > limit && x1 > limit) || (x0 < -limit && x1 < -limit);
  };
  return apart(e.At0.Lat, e.At1.Lat, latLimit) || apart(e.At0.Lon, e.At1.Lon, lonLimit);
}

// The limits in degrees within which two vessels no farther from the equator than
// `farDegrees` can come within `nm` (the inverse of LeastApartNM).
void DegreeLimits(double nm, double farDegrees, double& latLimit, double& lonLimit) {
  latLimit = nm / kNMPerDegree;
  const double s = std::sin(std::min(nm / kEarthRadiusNM, std::numbers::pi) / 2) /
                   std::max(1e-9, std::cos(std::min(farDegrees, 90.0) * kRad));
  lonLimit = s >= 1 ? 360.0 : 2 * std::asin(s) / kRad;
}

double FarDegrees(const TSlicePiece& a, const TSlicePiece& b) {
  return DegreesOf(std::max({std::abs(a.MinLat), std::abs(a.MaxLat), std::abs(b.MinLat), std::abs(b.MaxLat)}));
}

// The fraction of the span at which the flat motion of B relative to A comes closest.
double ClosestFraction(const TSpanEnds& e) {
  const double c0 = std::cos(e.At0.Mid * kRad), c1 = std::cos(e.At1.Mid * kRad);
  const double e0 = e.At0.Lon * c0, n0 = e.At0.Lat, de = e.At1.Lon * c1 - e0, dn = e.At1.Lat - n0;
  const double dd = de * de + dn * dn;
  return dd <= 0 ? 0 : std::clamp(-(e0 * de + n0 * dn) / dd, 0.0, 1.0);
}

void Consider(const TMotionTrack& a, size_t ka, const TMotionTrack& b, size_t kb, int64_t t, TApproach& best) {
  const double d = DistanceOn(a, ka, b, kb, t);
  if (!best.Found || d < best.DistanceNM || (d == best.DistanceNM && t < best.Seconds)) best = {d, 0, t, 0, true};
}

// The least distance on [from, to] of a span: at its ends and the seconds around the flat
// minimum.
void ClosestOn(const TMotionTrack& a, const TMotionTrack& b, const TCommon& s, const TSpanEnds& e, TApproach& best) {
  Consider(a, s.Ka, b, s.Kb, s.From, best);
  if (s.To == s.From) return;
  const double at = static_cast<double>(s.From) + ClosestFraction(e) * static_cast<double>(s.To - s.From);
  for (int64_t t = static_cast<int64_t>(std::floor(at)) - 1; t <= static_cast<int64_t>(std::ceil(at)) + 1; ++t)
    if (t > s.From && t < s.To) Consider(a, s.Ka, b, s.Kb, t, best);
  Consider(a, s.Ka, b, s.Kb, s.To, best);
}

// The least distance within one slice, when it can beat `best`.
void ClosestInSlice(const TMotionTrack& a, const TSlicePiece& pa, const TMotionTrack& b, const TSlicePiece& pb,
                    int64_t from, TApproach& best) {
  const double far = FarDegrees(pa, pb);
  double latLimit = 360, lonLimit = 360;
  ForCommonSpans(a, pa, b, pb, from, [&](const TCommon& s) {
    // A span that stays farther than the best so far cannot hold it.
    if (best.Found) DegreeLimits(best.DistanceNM, far, latLimit, lonLimit);
    const TSpanEnds e = EndsOf(a, b, s);
    if (best.Found && StaysApart(e, latLimit * 1.0001, lonLimit * 1.0001)) return;
    ClosestOn(a, b, s, e, best);
  });
}

bool Inside(const TMotionTrack& a, const TMotionTrack& b, const TCommon& s, int64_t t, double rangeNM) {
  return DistanceOn(a, s.Ka, b, s.Kb, t) < rangeNM;
}

// The seconds of a span within the range, and their least distance: the flat motion's
// seconds within it, widened by a second, then narrowed by the exact distance.
bool WithinOn(const TMotionTrack& a, const TMotionTrack& b, const TCommon& s, const TSpanEnds& e, double rangeNM,
              TCloseStretch& out) {
  const double c0 = std::cos(e.At0.Mid * kRad) * kNMPerDegree, c1 = std::cos(e.At1.Mid * kRad) * kNMPerDegree;
  const double e0 = e.At0.Lon * c0, n0 = e.At0.Lat * kNMPerDegree;
  const double de = e.At1.Lon * c1 - e0, dn = e.At1.Lat * kNMPerDegree - n0;
  const double aa = de * de + dn * dn, bb = 2 * (e0 * de + n0 * dn);
  const double cc = e0 * e0 + n0 * n0 - rangeNM * rangeNM * 1.0001;
  double s1 = 0, s2 = 1;
  if (aa <= 0) {
    if (cc > 0) return false;
  } else {
    const double disc = bb * bb - 4 * aa * cc;
    if (disc < 0) return false;
    s1 = (-bb - std::sqrt(disc)) / (2 * aa);
    s2 = (-bb + std::sqrt(disc)) / (2 * aa);
    if (s2 < 0 || s1 > 1) return false;
  }
  const double span = static_cast<double>(s.To - s.From);
  int64_t lo = std::max(s.From, static_cast<int64_t>(std::floor(s.From + std::max(0.0, s1) * span)) - 1);
  int64_t hi = std::min(s.To, static_cast<int64_t>(std::ceil(s.From + std::min(1.0, s2) * span)) + 1);
  while (lo <= hi && !Inside(a, b, s, lo, rangeNM)) ++lo;
  while (hi >= lo && !Inside(a, b, s, hi, rangeNM)) --hi;
  if (lo > hi) return false;
  out = {lo, hi, {}};
  ClosestOn(a, b, {lo, hi, s.Ka, s.Kb}, lo == s.From && hi == s.To ? e : EndsOf(a, b, {lo, hi, s.Ka, s.Kb}),
            out.Closest);
  return true;
}

int64_t SliceOf(int64_t seconds) { return seconds / kSliceSeconds - (seconds % kSliceSeconds < 0); }

}  // namespace

bool SlicePieceOf(const TMotionTrack& track, int64_t from, size_t& cursor, TSlicePiece& piece) {
  const size_t n = track.Points.size();
  const int64_t to = from + kSliceSeconds;
  while (cursor < n && SecondsOf(track, cursor) < from) ++cursor;
  const bool leadsIn = cursor > 0 && cursor < n && !StartsStretch(track, cursor);
  size_t last = cursor;
  while (last < n && SecondsOf(track, last) <= to) ++last;
  if (last == cursor && !leadsIn) return false;  // no point inside and no segment across
  size_t end = last == cursor ? cursor : last - 1;
  if (last > cursor && last < n && !StartsStretch(track, last)) end = last;  // the segment leading out
  piece.First = static_cast<uint32_t>(leadsIn ? cursor - 1 : cursor);
  piece.Last = static_cast<uint32_t>(end);
  const TMotionPoint& p0 = track.Points[piece.First];
  piece.MinLat = piece.MaxLat = p0.LatRaw;
  piece.MinLon = piece.MaxLon = p0.LonRaw;
  for (size_t k = piece.First + 1; k <= piece.Last; ++k) {
    const TMotionPoint& p = track.Points[k];
    piece.MinLat = std::min(piece.MinLat, p.LatRaw), piece.MaxLat = std::max(piece.MaxLat, p.LatRaw);
    piece.MinLon = std::min(piece.MinLon, p.LonRaw), piece.MaxLon = std::max(piece.MaxLon, p.LonRaw);
  }
  return true;
}

double BoxesApartNM(const TSlicePiece& a, const TSlicePiece& b) {
  const double lat = DegreesOf(static_cast<int32_t>(Gap(a.MinLat, a.MaxLat, b.MinLat, b.MaxLat)));
  // Unwrapped longitudes of two tracks may lie whole turns apart: B's box is moved to A's.
  const int64_t twiceA = int64_t{a.MinLon} + a.MaxLon, twiceB = int64_t{b.MinLon} + b.MaxLon;
  const int64_t shift = kFullTurnRaw * static_cast<int64_t>(std::llround(static_cast<double>(twiceA - twiceB) / (2.0 * kFullTurnRaw)));
  const double lonRaw = Gap(a.MinLon, a.MaxLon, static_cast<double>(b.MinLon + shift), static_cast<double>(b.MaxLon + shift));
  return LeastApartNM(lat, lonRaw / 600000.0, FarDegrees(a, b));
}

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
  if (a.Points.empty() || b.Points.empty()) return best;
  // The slices both have a piece in, nearest boxes first: once a box lies farther than
  // the best distance found, no later one can hold a nearer moment.
  struct TCandidate {
    double Bound;
    int64_t From;
    TSlicePiece A, B;
  };
  thread_local std::vector<TCandidate> candidates;
  candidates.clear();
  const int64_t first = SliceOf(std::max(SecondsOf(a, 0), SecondsOf(b, 0)));
  const int64_t last = SliceOf(std::min(SecondsOf(a, a.Points.size() - 1), SecondsOf(b, b.Points.size() - 1)));
  size_t ca = 0, cb = 0;
  for (int64_t n = first; n <= last; ++n) {
    TCandidate c{0, n * kSliceSeconds, {}, {}};
    if (!SlicePieceOf(a, c.From, ca, c.A) || !SlicePieceOf(b, c.From, cb, c.B)) continue;
    c.Bound = BoxesApartNM(c.A, c.B);
    candidates.push_back(c);
  }
  std::sort(candidates.begin(), candidates.end(),
            [](const TCandidate& x, const TCandidate& y) { return x.Bound < y.Bound || (x.Bound == y.Bound && x.From < y.From); });
  for (const TCandidate& c : candidates) {
    if (best.Found && c.Bound > best.DistanceNM) break;
    ClosestInSlice(a, c.A, b, c.B, c.From, best);
  }
  if (best.Found) ApproachAt(a, b, best.Seconds, best);
  return best;
}

void AddCloseStretches(const TMotionTrack& a, const TSlicePiece& pa, const TMotionTrack& b, const TSlicePiece& pb,
                       double rangeNM, int64_t from, TCloseStretch& open, std::vector<TCloseStretch>& closed) {
  double latLimit, lonLimit;
  DegreeLimits(rangeNM, FarDegrees(pa, pb), latLimit, lonLimit);
  ForCommonSpans(a, pa, b, pb, from, [&](const TCommon& s) {
    const TSpanEnds e = EndsOf(a, b, s);
    if (StaysApart(e, latLimit * 1.0001, lonLimit * 1.0001)) return;
    TCloseStretch here;
    if (!WithinOn(a, b, s, e, rangeNM, here)) return;
    // Spans meet at their ends: a stretch goes on when the next begins at its last second.
    if (open.Closest.Found && here.Start <= open.End + 1) {
      open.End = std::max(open.End, here.End);
      if (here.Closest.DistanceNM < open.Closest.DistanceNM) open.Closest = here.Closest;
      return;
    }
    if (open.Closest.Found) closed.push_back(open);
    open = here;
  });
}

}  // namespace pelorin
