#pragma once
// A vessel's motion for closest approaches: its placed points, positions interpolated
// linearly in latitude and longitude between points at most 10 minutes apart, as the Track
// Replay moves them; across a longer gap, and outside its first and last point, none.
#include <cstdint>
#include <vector>

#include "codec/ais_records.h"
#include "codec/placed_points.h"

namespace pelorin {

inline constexpr double kEarthRadiusNM = 3440.065;

struct TMotionPoint {
  int64_t Seconds = 0;
  double Lat = 0;
  double Lon = 0;  // unwrapped along a stretch: a step across 180° goes on past it
  bool StartsStretch = false;
  const TDynamic* Report = nullptr;
};

struct TMotionTrack {
  std::vector<TMotionPoint> Points;
};

TMotionTrack MotionTrackOf(const TTrack& track);

// A place and the motion there (knots north and east; 0 at a lone point).
struct TMotionFix {
  double Lat = 0, Lon = 0;
  double NorthKn = 0, EastKn = 0;
};

// The segment of `track` that holds `seconds`: its first point's index, or -1 when the
// vessel has no position then. A point's own second belongs to the first segment holding it.
int64_t SegmentAt(const TMotionTrack& track, int64_t seconds);
bool FixAt(const TMotionTrack& track, int64_t seconds, TMotionFix& fix);

// The report at or before `seconds` (for its speed and course); null before the first.
const TDynamic* ReportAt(const TMotionTrack& track, int64_t seconds);

// Great circle distance in NM, and true bearing from the first place to the second in
// whole degrees (0..359).
double DistanceNM(double lat1, double lon1, double lat2, double lon2);
int BearingDegrees(double lat1, double lon1, double lat2, double lon2);

}  // namespace pelorin
