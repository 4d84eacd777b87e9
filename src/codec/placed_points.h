#pragma once
// A vessel's points that name a place, in time order: what the exports write and what
// closest approaches are measured on.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/ais_records.h"

namespace pelorin {

// A new stretch begins after a silence of more than this: no line is drawn across it, and
// no position is interpolated inside it.
inline constexpr int64_t kStretchGapSeconds = 10 * 60;

struct TPlacedPoint {
  const TDynamic* Point = nullptr;
  int64_t Seconds = 0;      // PointSeconds
  double Lon = 0, Lat = 0;  // degrees
  bool StartsStretch = false;
  uint32_t Index = 0;  // the point's place in the track
};

// Reused by the caller from vessel to vessel.
using TPlacedPoints = std::vector<TPlacedPoint>;

// The points with a position (HasValidPosition), in time order (stable: stored order
// among equal times). A fix's degrees are its sentence's texts, a report's the sender's
// numbers.
void PlacedPointsOf(const TTrack& track, TPlacedPoints& out);

// Begin and end of each stretch of `points`, in order.
template <typename F>
void ForEachStretch(const TPlacedPoints& points, F&& stretch) {
  size_t begin = 0;
  for (size_t k = 1; k <= points.size(); ++k)
    if (k == points.size() || points[k].StartsStretch) {
      stretch(begin, k);
      begin = k;
    }
}

}  // namespace pelorin
