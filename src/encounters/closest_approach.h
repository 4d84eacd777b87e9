#pragma once
// Closest approaches between two vessels' motions, to the second, and the stretches of
// time they spend within a range of each other.
#include <cstdint>
#include <vector>

#include "encounters/motion_track.h"

namespace pelorin {

struct TApproach {
  bool Found = false;  // false: the two never had a position at the same time
  double DistanceNM = 0;
  int64_t Seconds = 0;  // the first second of the least distance
  int Bearing = 0;      // true, from the first vessel to the second
  double RelativeKn = 0;
};

// The least distance over the times both have a position.
TApproach ClosestApproach(const TMotionTrack& a, const TMotionTrack& b);

// A stretch of whole seconds during which the two were closer than the range, with its
// least distance.
struct TCloseStretch {
  int64_t Start = 0, End = 0;  // first and last second inside the range
  TApproach Closest;
};
// Those on [from, to], joined to `stretches` found before it (in time order); `cosMin` is
// LeastCosine of the two.
void AddCloseStretches(const TMotionTrack& a, const TMotionTrack& b, double rangeNM, int64_t from, int64_t to,
                       double cosMin, std::vector<TCloseStretch>& stretches);
double LeastCosine(const TMotionTrack& a, const TMotionTrack& b);

// The exact figures at one second (false when either has no position then).
bool ApproachAt(const TMotionTrack& a, const TMotionTrack& b, int64_t seconds, TApproach& out);

}  // namespace pelorin
