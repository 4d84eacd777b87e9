#include "replay/density_map.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <thread>
#include <utility>

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

void ResetDensityGrid(int width, int height, TDensityGrid& grid) {
  grid.Width = std::max(0, width);
  grid.Height = std::max(0, height);
  const size_t n = static_cast<size_t>(grid.Width) * static_cast<size_t>(grid.Height);
  grid.Cells.assign(n, {});
  grid.Max = 0;
}

// Rows [Top, Top + Height) of the grid, seen through a view moved down to them.
struct TBand {
  TDensityCell* Cells = nullptr;
  int Width = 0, Height = 0;
  TViewTransform View;
  uint32_t Max = 0;
};

// The slice's points through `pen`, broken at gaps: the walk is the whole cost of a new
// view's density, so every point costs some instructions less when the track is known to
// lie near the view, and of all its points the stretches wholly beside the band are
// passed by.
template <bool kNear, typename Pen>
void WalkPoint(const TReplayPoint& p, bool starts, double baseX, double baseY, double scale, Pen& pen) {
  const double x = baseX + p.X * scale, y = baseY + p.Y * scale;
  if (starts)
    pen.MoveTo(x, y);
  else
    pen.template LineTo<kNear>(x, y);
}

template <bool kNear, typename Pen>
void WalkKept(const TReplayModel& model, const TTrackSlice& slice, double baseX, double baseY, double scale, Pen& pen) {
  int32_t before = 0;
  for (uint32_t k = 0; k < slice.Count; ++k) {
    const TReplayPoint& p = model.Points[slice.Index[k]];
    WalkPoint<kNear>(p, k == 0 || p.Time - before > kGapSeconds, baseX, baseY, scale, pen);
    before = p.Time;
  }
}

template <bool kNear, typename Pen>
void WalkAll(const TReplayModel& model, const TReplayVessel& v, double baseX, double baseY, double scale, int width,
             int height, Pen& pen) {
  const TReplayPoint* points = model.Points.data() + v.First;
  int32_t before = 0;
  for (uint32_t from = 0, c = v.FirstChunk; from < v.Count; from += kChunkPoints, ++c) {
    uint32_t to = std::min(v.Count, from + kChunkPoints);
    const TPointChunk& chunk = model.Chunks[c];
    const bool beside = baseX + chunk.MaxX * scale < -1 || baseX + chunk.MinX * scale > width + 1 ||
                        baseY + chunk.MaxY * scale < -1 || baseY + chunk.MinY * scale > height + 1;
    // Beside the band: only the way in, which may cross it, and on to the last point.
    if (beside) to = from + 1;
    for (uint32_t k = from; k < to; ++k) {
      WalkPoint<kNear>(points[k], k == 0 || points[k].Time - before > kGapSeconds, baseX, baseY, scale, pen);
      before = points[k].Time;
    }
    if (beside) {
      const TReplayPoint& p = points[std::min(v.Count, from + kChunkPoints) - 1];
      pen.Jump(baseX + p.X * scale, baseY + p.Y * scale);
      before = p.Time;
    }
  }
}

// One vessel's whole track, as it is drawn at the view's scale, into one band.
void CountVesselTrack(const TReplayModel& model, const TDecimatedLevel& level, uint32_t vessel, TBand& band) {
  int first = 0, last = -1;
  const TReplayVessel& v = model.Vessels[vessel];
  const TViewTransform& view = band.View;
  if (!ShiftRange(v.Box, VisibleWorld(view, band.Width, band.Height), first, last)) return;
  const TTrackSlice slice = SliceOf(model, level, vessel);
  const uint16_t mark = static_cast<uint16_t>(vessel % 65535 + 1);
  TDensityCell* cells = band.Cells;
  const size_t width = static_cast<size_t>(band.Width);
  uint32_t max = band.Max;
  const auto count = [&](int x, int y) {
    TDensityCell& cell = cells[static_cast<size_t>(y) * width + static_cast<size_t>(x)];
    if (cell.Mark == mark) return;
    cell.Mark = mark;
    if (cell.Count < UINT16_MAX) max = std::max<uint32_t>(max, ++cell.Count);
  };
  // Straight from the model's points, each projected once: the whole track is walked for
  // every new view, and copying it into polylines first cost as much as the walk.
  TPixelPen pen(band.Width, band.Height, count);
  const double reach = pixel_walk::kFarPx - 1;
  for (int shift = first; shift <= last; ++shift) {
    const double baseX = (v.OriginX + shift - view.OriginX) * view.Scale, baseY = (v.OriginY - view.OriginY) * view.Scale;
    const bool near = std::fabs(ScreenX(view, v.Box.MinX + shift)) < reach && std::fabs(ScreenX(view, v.Box.MaxX + shift)) < reach &&
                      std::fabs(ScreenY(view, v.Box.MinY)) < reach && std::fabs(ScreenY(view, v.Box.MaxY)) < reach;
    if (slice.Index != nullptr && near)
      WalkKept<true>(model, slice, baseX, baseY, view.Scale, pen);
    else if (slice.Index != nullptr)
      WalkKept<false>(model, slice, baseX, baseY, view.Scale, pen);
    else if (near)
      WalkAll<true>(model, v, baseX, baseY, view.Scale, band.Width, band.Height, pen);
    else
      WalkAll<false>(model, v, baseX, baseY, view.Scale, band.Width, band.Height, pen);
  }
  band.Max = max;
}

TBand BandOf(TDensityGrid& grid, const TViewTransform& view, int top, int bottom) {
  return {grid.Cells.data() + static_cast<size_t>(top) * static_cast<size_t>(grid.Width), grid.Width, bottom - top,
          {view.OriginX, view.OriginY + top / view.Scale, view.Scale}, 0};
}

// The row that splits the tracks' points in two, by where the vessels' boxes lie.
int MiddleRow(const TReplayModel& model, const TViewTransform& view, int height, const std::vector<char>& counted) {
  std::vector<std::pair<int, uint64_t>> rows;
  uint64_t total = 0;
  for (size_t v = 0; v < model.Vessels.size(); ++v) {
    if (!counted[v]) continue;
    const TWorldRect& box = model.Vessels[v].Box;
    const double y = ScreenY(view, (box.MinY + box.MaxY) / 2);
    rows.push_back({static_cast<int>(std::clamp(y, 0.0, static_cast<double>(height))), model.Vessels[v].Count});
    total += model.Vessels[v].Count;
  }
  std::sort(rows.begin(), rows.end());
  uint64_t points = 0;
  for (const auto& [row, count] : rows)
    if ((points += count) * 2 >= total) return std::clamp(row, 1, height - 1);
  return height / 2;
}

}  // namespace

bool CountTrackDensity(const TReplayModel& model, const TDecimatedLevel& level, const TViewTransform& view, int width,
                       int height, const std::vector<char>& counted, TDensityGrid& grid, const std::atomic<bool>* stop) {
  ResetDensityGrid(width, height, grid);
  if (grid.Width == 0 || grid.Height == 0) return true;
  const auto stopped = [stop] { return stop != nullptr && stop->load(std::memory_order_relaxed); };
  const auto count = [&](TBand& band) {
    for (size_t v = 0; v < model.Vessels.size() && !stopped(); ++v) {
      if (v > 0 && v % UINT16_MAX == 0)  // the marks come round again
        for (TDensityCell* c = band.Cells; c != band.Cells + size_t(band.Width) * size_t(band.Height); ++c) c->Mark = 0;
      if (counted[v]) CountVesselTrack(model, level, static_cast<uint32_t>(v), band);
    }
  };
  if (model.Vessels.size() < 64 || grid.Height < 2 || std::thread::hardware_concurrency() < 2) {
    TBand whole = BandOf(grid, view, 0, grid.Height);
    count(whole);
    grid.Max = whole.Max;
    return !stopped();
  }
  // Two threads, each with every track but half of the rows: the count is bound by the
  // walk through the pixels, which splits by rows, and no second grid is added up.
  const int middle = MiddleRow(model, view, grid.Height, counted);
  TBand upper = BandOf(grid, view, 0, middle), lower = BandOf(grid, view, middle, grid.Height);
  std::thread other([&] { count(lower); });
  count(upper);
  other.join();
  grid.Max = std::max(upper.Max, lower.Max);
  return !stopped();
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
