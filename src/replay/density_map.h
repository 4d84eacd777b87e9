#pragma once
// "All tracks" as a density map: every pixel counts how many vessels' tracks cross it, a
// track once per pixel however often it passes, from the tracks thinned for the view's
// scale; shown with a perceptual ramp, light where few, strong where many.
#include <atomic>
#include <cstdint>
#include <vector>

#include "replay/mercator.h"
#include "replay/replay_model.h"
#include "replay/replay_trails.h"

namespace pelorin {

// Above this many vessels "All tracks" starts as a density map.
inline constexpr size_t kDensityDefaultVessels = 200;

// A pixel's count (at most 65,535) beside the mark of the vessel that counted last there
// (1 + its index modulo 65,535): four bytes a pixel.
struct TDensityCell {
  uint16_t Count = 0;
  uint16_t Mark = 0;
};
struct TDensityGrid {
  int Width = 0, Height = 0;
  std::vector<TDensityCell> Cells;  // row by row
  uint32_t Max = 0;
};

// The counts of a width × height view, of every vessel whose `counted` entry is set, from
// the tracks thinned at `level` (the level for the view's scale). The count is all a new
// view's density costs: the rows are split between two threads. False, and the grid
// incomplete, when `stop` was set before the end.
bool CountTrackDensity(const TReplayModel& model, const TDecimatedLevel& level, const TViewTransform& view, int width,
                       int height, const std::vector<char>& counted, TDensityGrid& grid,
                       const std::atomic<bool>* stop = nullptr);

// The ramp's colour for `count` of `max` (count ≥ 1), as ARGB with its alpha: a
// logarithmic scale, since a few lanes hold most of the traffic.
uint32_t DensityColour(uint32_t count, uint32_t max);

}  // namespace pelorin
