#pragma once
// One frame of the replay: the markers of the vessels visible at a time in a view, in
// screen pixels, and the hit test on them.
#include <cstdint>
#include <vector>

#include "replay/mercator.h"
#include "replay/replay_model.h"

namespace pelorin {

struct TMarker {
  uint32_t Vessel = 0;   // index in model.Vessels
  float X = 0, Y = 0;    // screen pixels
  double Shift = 0;      // whole worlds added to the track's x for this copy (its trail too)
  TVesselState State;    // where and how it stands (Position unshifted, as its track)
};

struct TFrame {
  std::vector<TMarker> Markers;  // in vessel order; a vessel near the meridian zoomed
                                 // far out may appear once per visible copy of the world
};

// The markers of every vessel visible at t whose position lies within the view or
// marginPx around it. `out` is reused (no allocation once it has grown).
void ComputeFrame(const TReplayModel& model, double t, const TViewTransform& view, double widthPx,
                  double heightPx, double marginPx, TFrame& out);

// The marker nearest to the screen point within radiusPx (8 for a click), as an index
// into frame.Markers; -1 when none is that close.
int64_t HitTest(const TFrame& frame, double sx, double sy, double radiusPx);

}  // namespace pelorin
