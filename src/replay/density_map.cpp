#include "replay/density_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>

#include "replay/pixel_walk.h"

namespace pelorin {

namespace {

// Viridis, from its published table, reversed: light yellow for one vessel, deep violet
// for the most.
constexpr std::array<uint32_t, 9> kRamp = {0xfde725, 0xb5de2b, 0x6ece58, 0x35b779, 0x1f9e89,
                                           0x26828e, 0x31688e, 0x3e4989, 0x482878};

uint32_t Mix(uint32_t a, uint32_t b, double f) {
  uint32_t out = 0;
  for (int shift : {0, 8, 16}) {
    const double x = ((a >> shift) & 0xFF) * (1 - f) + ((b >> shift) & 0xFF) * f;
    out |= static_cast<uint32_t>(std::lround(x)) << shift;
  }
  return out;
}

}  // namespace

void ResetDensityGrid(int width, int height, TDensityGrid& grid) {
  grid.Width = std::max(0, width);
  grid.Height = std::max(0, height);
  const size_t n = static_cast<size_t>(grid.Width) * static_cast<size_t>(grid.Height);
  grid.Cells.assign(n, {});
  grid.Max = 0;
}

void CountVesselTrack(const TReplayModel& model, TDecimationCache& cache, uint32_t vessel, const TViewTransform& view,
                      TPolylines& lines, TDensityGrid& grid) {
  int first = 0, last = -1;
  const TWorldRect visible = VisibleWorld(view, grid.Width, grid.Height);
  if (!ShiftRange(model.Vessels[vessel].Box, visible, first, last)) return;
  ClearPolylines(lines);
  AppendWholeTrack(model, cache, vessel, view.Scale, lines);
  const uint32_t mark = vessel + 1;
  TDensityCell* cells = grid.Cells.data();
  const size_t width = static_cast<size_t>(grid.Width);
  uint32_t max = grid.Max;
  const auto count = [&](int x, int y) {
    TDensityCell& cell = cells[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    if (cell.Mark == mark) return;
    cell.Mark = mark;
    max = std::max(max, ++cell.Count);
  };
  for (int shift = first; shift <= last; ++shift)
    for (size_t r = 0; r < lines.RunStarts.size(); ++r) {
      const size_t begin = lines.RunStarts[r];
      const size_t end = r + 1 < lines.RunStarts.size() ? lines.RunStarts[r + 1] : lines.Points.size();
      ForEachPolylinePixel(lines.Points.data() + begin, end - begin, view, shift, grid.Width, grid.Height, count);
    }
  grid.Max = max;
}

void CountTrackDensity(const TReplayModel& model, TDecimationCache& cache, const TViewTransform& view, int width,
                       int height, const std::vector<char>& counted, TDensityGrid& grid) {
  ResetDensityGrid(width, height, grid);
  DecimatedLevel(model, cache, view.Scale);  // built here: the threads only read it
  const auto count = [&](size_t from, size_t to, TDensityGrid& into) {
    TPolylines lines;
    for (size_t v = from; v < to; ++v)
      if (counted[v]) CountVesselTrack(model, cache, static_cast<uint32_t>(v), view, lines, into);
  };
  const size_t n = model.Vessels.size();
  if (n < 64 || std::thread::hardware_concurrency() < 2) {
    count(0, n, grid);
    return;
  }
  // Halves by points, not vessels: a few vessels may hold most of them.
  size_t half = 0;
  for (uint64_t points = 0; half < n && points * 2 < model.Points.size(); ++half) points += model.Vessels[half].Count;
  TDensityGrid second;
  ResetDensityGrid(width, height, second);
  std::thread other([&] { count(half, n, second); });
  count(0, half, grid);
  other.join();
  // The halves hold other vessels: their counts add up.
  uint32_t max = 0;
  for (size_t i = 0; i < grid.Cells.size(); ++i) max = std::max(max, grid.Cells[i].Count += second.Cells[i].Count);
  grid.Max = max;
}

uint32_t DensityColour(uint32_t count, uint32_t max) {
  const double f = max <= 1 ? 0 : std::log(static_cast<double>(count)) / std::log(static_cast<double>(max));
  const double at = std::clamp(f, 0.0, 1.0) * (kRamp.size() - 1);
  const size_t i = std::min(kRamp.size() - 2, static_cast<size_t>(at));
  // Few: see-through, so the map stays readable under a single track; many: opaque.
  const uint32_t alpha = static_cast<uint32_t>(std::lround(170 + 85 * f));
  return (alpha << 24) | Mix(kRamp[i], kRamp[i + 1], at - static_cast<double>(i));
}

}  // namespace pelorin
