#pragma once
// A vessel's motion for closest approaches: its placed points, positions interpolated
// linearly in latitude and longitude between points at most 10 minutes apart, as the Track
// Replay moves them; across a longer gap, and outside its first and last point, none.
#include <cstdint>
#include <vector>

#include "codec/ais_records.h"
#include "codec/great_circle.h"
#include "codec/placed_points.h"

namespace pelorin {

// 16 bytes a point: the search holds every vessel's motion at once.
struct TMotionPoint {
  int32_t Offset = 0;  // seconds after TMotionTrack::TimeBase
  int32_t LatRaw = 0;  // 1/10000 minute, as the point stores it
  int32_t LonRaw = 0;  // the same, unwrapped along a stretch: a step across 180° goes on past it
  uint32_t Stored = 0;  // the point's index in the track; kStretchBit when a stretch begins here
};
inline constexpr uint32_t kStretchBit = 0x8000'0000u;

struct TMotionTrack {
  const TTrack* Track = nullptr;  // for the reports' speed and course
  int64_t TimeBase = 0;
  std::vector<TMotionPoint> Points;
};

// `placed` is the caller's buffer, reused from vessel to vessel.
TMotionTrack MotionTrackOf(const TTrack& track, TPlacedPoints& placed);

inline int64_t SecondsOf(const TMotionTrack& t, size_t k) { return t.TimeBase + t.Points[k].Offset; }
inline bool StartsStretch(const TMotionTrack& t, size_t k) { return (t.Points[k].Stored & kStretchBit) != 0; }
// Whether point k + 1 goes on from point k (a segment of the same stretch begins at k).
inline bool GoesOn(const TMotionTrack& t, size_t k) { return k + 1 < t.Points.size() && !StartsStretch(t, k + 1); }
inline double DegreesOf(int32_t raw) { return raw / 600000.0; }

// The place at `seconds` on the segment that begins at point k (at the point itself when
// it ends its stretch), in degrees; a point's own second gives exactly that point.
void PlaceOn(const TMotionTrack& track, size_t k, int64_t seconds, double& lat, double& lon);

// A place and the motion there (knots north and east; 0 at a lone point).
struct TMotionFix {
  double Lat = 0, Lon = 0;
  double NorthKn = 0, EastKn = 0;
};

// The segment of `track` that holds `seconds`: its first point's index, or -1 when the
// vessel has no position then. A point's own second belongs to the segment it begins.
int64_t SegmentAt(const TMotionTrack& track, int64_t seconds);
bool FixAt(const TMotionTrack& track, int64_t seconds, TMotionFix& fix);
// The motion along the segment that begins at point k (the segment before for the last
// point of a stretch).
void MotionOn(const TMotionTrack& track, size_t k, TMotionFix& fix);

// The report at or before `seconds` (for its speed and course); null before the first.
const TDynamic* ReportAt(const TMotionTrack& track, int64_t seconds);

}  // namespace pelorin
