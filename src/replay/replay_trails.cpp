#include "replay/replay_trails.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

// Greedy: a point closer than `pixel` (in x and y) to the last kept one is merged into it;
// the first and last point of every unbroken run stay. False once `kept` holds more
// than `limit` entries.
bool DecimateVessel(const TReplayModel& model, const TReplayVessel& v, float pixel, size_t limit,
                    std::vector<uint32_t>& kept) {
  const TReplayPoint* p = model.Points.data() + v.First;
  uint32_t last = 0;
  kept.push_back(v.First);
  for (uint32_t i = 1; i < v.Count; ++i) {
    const bool runStart = p[i].Time - p[i - 1].Time > kGapSeconds;
    const bool runEnd = i + 1 == v.Count || p[i + 1].Time - p[i].Time > kGapSeconds;
    const bool apart = std::fabs(p[i].X - p[last].X) >= pixel || std::fabs(p[i].Y - p[last].Y) >= pixel;
    if (runStart || runEnd || apart) {
      kept.push_back(v.First + i);
      last = i;
    }
  }
  return kept.size() <= limit;
}

// A level that would keep more than half of the points saves little drawing and costs
// memory: it uses every point instead, as does every finer level after it.
void BuildLevel(const TReplayModel& model, int level, bool finerThanAll, TDecimatedLevel& out) {
  out.Built = true;
  out.AllPoints = true;
  if (finerThanAll) return;
  const float pixel = static_cast<float>(1.0 / (256.0 * std::ldexp(1.0, level)));
  const size_t limit = model.Points.size() / 2;
  out.VesselStart.reserve(model.Vessels.size() + 1);
  for (const TReplayVessel& v : model.Vessels) {
    out.VesselStart.push_back(static_cast<uint32_t>(out.Kept.size()));
    if (!DecimateVessel(model, v, pixel, limit, out.Kept)) {
      std::vector<uint32_t>().swap(out.Kept);
      std::vector<uint32_t>().swap(out.VesselStart);
      return;
    }
  }
  out.VesselStart.push_back(static_cast<uint32_t>(out.Kept.size()));
  out.Kept.shrink_to_fit();  // up to half of it is growth room, kept for the model's life
  out.AllPoints = false;
}

// Appends slice points [from, to] as runs broken at gaps; `tail`, when given, continues
// the last run.
void AppendRuns(const TReplayModel& model, const TReplayVessel& v, const TTrackSlice& slice, uint32_t from, uint32_t to,
                const TWorldPoint* tail, TPolylines& out) {
  size_t runStart = out.Points.size();
  const auto closeRun = [&] {
    if (out.Points.size() - runStart >= 2)
      out.RunStarts.push_back(static_cast<uint32_t>(runStart));
    else
      out.Points.resize(runStart);
    runStart = out.Points.size();
  };
  for (uint32_t k = from; k <= to && k < slice.Count; ++k) {
    const TReplayPoint& p = model.Points[slice.At(k)];
    if (k > from && p.Time - model.Points[slice.At(k - 1)].Time > kGapSeconds) closeRun();
    out.Points.push_back(PointWorld(v, p));
  }
  if (tail != nullptr && (out.Points.size() == runStart || out.Points.back().X != tail->X ||
                          out.Points.back().Y != tail->Y))
    out.Points.push_back(*tail);
  closeRun();
}

}  // namespace

double TrailSeconds(TTrailKind kind) {
  switch (kind) {
    case TTrailKind::None: return 0;
    case TTrailKind::TenMinutes: return 600;
    case TTrailKind::Hour: return 3600;
    case TTrailKind::Whole: break;
  }
  return std::numeric_limits<double>::infinity();
}

void ClearPolylines(TPolylines& lines) {
  lines.Points.clear();
  lines.RunStarts.clear();
}

int DecimationLevel(double scale) {
  if (!(scale > 256)) return 0;
  const double level = std::ceil(std::log2(scale / 256) - 1e-9);
  return static_cast<int>(std::min<double>(level, kMaxDecimationLevel));
}

const TDecimatedLevel& DecimatedLevel(const TReplayModel& model, TDecimationCache& cache, double scale) {
  if (cache.Levels.size() != kMaxDecimationLevel + 1) cache.Levels.assign(kMaxDecimationLevel + 1, {});
  const int level = DecimationLevel(scale);
  TDecimatedLevel& out = cache.Levels[static_cast<size_t>(level)];
  if (!out.Built) {
    bool finerThanAll = false;
    for (int coarser = 0; coarser < level; ++coarser)
      finerThanAll |= cache.Levels[static_cast<size_t>(coarser)].AllPoints;
    BuildLevel(model, level, finerThanAll, out);
  }
  return out;
}

void AppendTrail(const TReplayModel& model, TDecimationCache& cache, uint32_t vessel, double t, TTrailKind kind,
                 double scale, TPolylines& out) {
  if (kind == TTrailKind::None) return;
  const TVesselState state = VesselAt(model, vessel, t);
  if (!state.Visible) return;
  const TTrackSlice slice = SliceOf(model, DecimatedLevel(model, cache, scale), vessel);
  const double base = static_cast<double>(model.BaseSeconds);
  const double from = t - TrailSeconds(kind) - base;
  const double to = t - base;
  uint32_t lo = 0, hi = slice.Count;  // first kept point at or after `from`
  while (lo < hi) {
    const uint32_t mid = lo + (hi - lo) / 2;
    if (model.Points[slice.At(mid)].Time < from) lo = mid + 1; else hi = mid;
  }
  uint32_t end = lo;  // one past the last kept point at or before t
  hi = slice.Count;
  while (end < hi) {
    const uint32_t mid = end + (hi - end) / 2;
    if (model.Points[slice.At(mid)].Time <= to) end = mid + 1; else hi = mid;
  }
  const TReplayVessel& v = model.Vessels[vessel];
  // The way from the last point to the marker belongs to the trail unless a gap breaks it.
  const TReplayPoint& last = model.Points[state.Point];
  const bool joined = state.Interpolated;
  if (end == lo) {
    // No kept point inside the trail's time: at most the way from the last point.
    if (!joined || last.Time < from) return;
    out.RunStarts.push_back(static_cast<uint32_t>(out.Points.size()));
    out.Points.push_back(PointWorld(v, last));
    out.Points.push_back(state.Position);
    return;
  }
  AppendRuns(model, v, slice, lo, end - 1, joined ? &state.Position : nullptr, out);
}

TTrackSlice SliceOf(const TReplayModel& model, const TDecimatedLevel& level, uint32_t vessel) {
  const TReplayVessel& v = model.Vessels[vessel];
  if (level.AllPoints) return {nullptr, v.First, v.Count};
  const uint32_t from = level.VesselStart[vessel];
  return {level.Kept.data() + from, 0, level.VesselStart[vessel + 1] - from};
}

void AppendWholeTrack(const TReplayModel& model, TDecimationCache& cache, uint32_t vessel, double scale,
                      TPolylines& out) {
  const TTrackSlice slice = SliceOf(model, DecimatedLevel(model, cache, scale), vessel);
  if (slice.Count == 0) return;
  AppendRuns(model, model.Vessels[vessel], slice, 0, slice.Count - 1, nullptr, out);
}

}  // namespace pelorin
