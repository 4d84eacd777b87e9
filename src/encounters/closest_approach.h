#pragma once
// Closest approaches between two vessels' motions, to the second, and the stretches of
// time they spend within a range of each other. Both are searched slice by slice: a
// vessel's piece of a slice bounds where it can be then, so most slices of most pairs are
// ruled out by their boxes alone.
#include <cstdint>
#include <vector>

#include "encounters/motion_track.h"

namespace pelorin {

inline constexpr int64_t kSliceSeconds = 600;

struct TApproach {
  double DistanceNM = 0;
  double RelativeKn = 0;
  int64_t Seconds = 0;  // the first second of the least distance
  int32_t Bearing = 0;  // true, from the first vessel to the second
  bool Found = false;   // false: the two never had a position at the same time
};

// The points [First, Last] of a track whose segments meet the slice [From, From +
// kSliceSeconds], and the box they span (1/10000 minute; longitudes unwrapped).
struct TSlicePiece {
  uint32_t First = 0, Last = 0;
  int32_t MinLat = 0, MaxLat = 0, MinLon = 0, MaxLon = 0;
};
// False when the vessel has no position in the slice. `cursor` moves on from slice to
// slice (start it at 0 and ask for slices in time order).
bool SlicePieceOf(const TMotionTrack& track, int64_t from, size_t& cursor, TSlicePiece& piece);
// No less than the least distance two vessels in these boxes can have.
double BoxesApartNM(const TSlicePiece& a, const TSlicePiece& b);

// The least distance over the times both have a position.
TApproach ClosestApproach(const TMotionTrack& a, const TMotionTrack& b);

// A stretch of whole seconds during which the two were closer than the range, with its
// least distance (its bearing and relative speed are filled by FinishApproach).
struct TCloseStretch {
  int64_t Start = 0, End = 0;  // first and last second inside the range
  TApproach Closest;
};
// Those in one slice, continuing `open` (the pair's last stretch) when they meet it;
// `closed` receives the stretches that can grow no more.
void AddCloseStretches(const TMotionTrack& a, const TSlicePiece& pa, const TMotionTrack& b, const TSlicePiece& pb,
                       double rangeNM, int64_t from, TCloseStretch& open, std::vector<TCloseStretch>& closed);

// The exact figures at one second (false when either has no position then).
bool ApproachAt(const TMotionTrack& a, const TMotionTrack& b, int64_t seconds, TApproach& out);

}  // namespace pelorin
