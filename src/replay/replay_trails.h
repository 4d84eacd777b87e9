#pragma once
// Trails and whole tracks as polylines, thinned per zoom level: points closer than a
// pixel at that level are merged, the two end points of every unbroken run are kept (a
// run breaks where two points lie more than kGapSeconds apart), so no vessel is ever
// lost. A level is built the first time it is asked for and kept in the cache.
#include <cstdint>
#include <vector>

#include "replay/mercator.h"
#include "replay/replay_model.h"

namespace pelorin {

enum class TTrailKind : uint8_t { None, TenMinutes, Hour, Whole };

// 0, 600, 3600 seconds; Whole: back to the first point.
double TrailSeconds(TTrailKind kind);

// Polylines in unwrapped world units (the renderer adds the marker's world shift, or
// each shift of ShiftRange for a whole track). Run i is Points[RunStarts[i],
// RunStarts[i + 1]), the last one ending at Points.size(); every run has 2+ points.
struct TPolylines {
  std::vector<TWorldPoint> Points;
  std::vector<uint32_t> RunStarts;
};
void ClearPolylines(TPolylines& lines);

// Zoom levels 0..kMaxDecimationLevel; level L merges points closer than one pixel at a
// scale of 256 · 2^L. Finer scales use the last level.
inline constexpr int kMaxDecimationLevel = 24;
// The coarsest level that is still fine enough for `scale` pixels per world width.
int DecimationLevel(double scale);

// One level: the points kept, as indexes into model.Points, vessel by vessel. A level
// that would keep more than half of the points keeps no list and uses every point
// (AllPoints), and so do the finer levels after it.
struct TDecimatedLevel {
  bool Built = false;
  bool AllPoints = false;
  std::vector<uint32_t> Kept;
  std::vector<uint32_t> VesselStart;  // vessel v's kept points: Kept[VesselStart[v], VesselStart[v+1])
};

// Belongs to one model; clear it (or make a new one) with the model.
struct TDecimationCache {
  std::vector<TDecimatedLevel> Levels;
};

// The level for `scale`, built now if it was not yet.
const TDecimatedLevel& DecimatedLevel(const TReplayModel& model, TDecimationCache& cache, double scale);

// A vessel's points at one level: indexes into model.Points, or every point from First.
struct TTrackSlice {
  const uint32_t* Index = nullptr;  // null: every point, from First
  uint32_t First = 0;
  uint32_t Count = 0;
  uint32_t At(uint32_t k) const { return Index ? Index[k] : First + k; }
};
// The vessel's whole track at one level, the points AppendWholeTrack joins.
TTrackSlice SliceOf(const TReplayModel& model, const TDecimatedLevel& level, uint32_t vessel);

// The vessel's trail at time t: its points from t - TrailSeconds(kind) up to t, ending
// at its interpolated position at t, broken at gaps; nothing while the vessel is not
// shown or for TTrailKind::None. Appended to `out`.
void AppendTrail(const TReplayModel& model, TDecimationCache& cache, uint32_t vessel, double t, TTrailKind kind,
                 double scale, TPolylines& out);
// The vessel's whole track, as "All tracks" shows it and a selected vessel is
// highlighted. Appended to `out`.
void AppendWholeTrack(const TReplayModel& model, TDecimationCache& cache, uint32_t vessel, double scale,
                      TPolylines& out);

}  // namespace pelorin
