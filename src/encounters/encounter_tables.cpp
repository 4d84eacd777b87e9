#include "encounters/encounter_tables.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <numbers>
#include <tuple>

#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

// The search looks at 10-minute slices of time on a grid of cells of 0.02° (1.2 NM; cells
// of 0.05° took 1.8 times as long on a busy day): two vessels are measured against each
// other only when, in some slice, the boxes of their motion widened by the range share a
// cell.
constexpr int64_t kSliceSeconds = 600;
constexpr double kCellDegrees = 0.02;
constexpr int64_t kCellsAround = 18000;  // 360° in cells

struct TBox {
  double MinLat, MaxLat, MinLon, MaxLon;
};

// A vessel's box in the slice [from, from + kSliceSeconds]: its points there and the
// segments that lead into and out of it. `cursor` moves on from slice to slice.
bool SliceBox(const TMotionTrack& track, int64_t from, size_t& cursor, TBox& box) {
  const auto& p = track.Points;
  const int64_t to = from + kSliceSeconds;
  while (cursor < p.size() && p[cursor].Seconds < from) ++cursor;
  size_t first = cursor, last = cursor;
  if (first > 0 && (first == p.size() || !p[first].StartsStretch)) --first;  // the segment leading in
  while (last < p.size() && p[last].Seconds <= to) ++last;
  if (last < p.size() && !p[last].StartsStretch) ++last;  // the segment leading out
  if (first >= last) return false;
  // A segment that ends before the slice or starts after it has no place in it.
  if (last - first == 1 && (p[first].Seconds < from || p[first].Seconds > to)) return false;
  box = {p[first].Lat, p[first].Lat, p[first].Lon, p[first].Lon};
  for (size_t k = first; k < last; ++k) {
    box.MinLat = std::min(box.MinLat, p[k].Lat), box.MaxLat = std::max(box.MaxLat, p[k].Lat);
    box.MinLon = std::min(box.MinLon, p[k].Lon), box.MaxLon = std::max(box.MaxLon, p[k].Lon);
  }
  return true;
}

uint64_t PairKey(uint32_t a, uint32_t b) { return (static_cast<uint64_t>(std::min(a, b)) << 32) | std::max(a, b); }

int64_t Cell(double degrees) { return static_cast<int64_t>(std::floor(degrees / kCellDegrees)); }

// The pairs whose boxes, widened by the range, share a cell in the slice.
void SlicePairs(const TFleetMotion& fleet, int64_t from, double rangeNM, std::vector<size_t>& cursors,
                std::unordered_map<uint64_t, std::vector<uint32_t>>& cells, std::vector<uint64_t>& pairs) {
  cells.clear();
  pairs.clear();
  const double widenLat = rangeNM / 60.0;
  for (uint32_t v = 0; v < fleet.Tracks.size(); ++v) {
    TBox b;
    if (!SliceBox(fleet.Tracks[v], from, cursors[v], b)) continue;
    const double far = std::min(89.0, std::max(std::fabs(b.MinLat), std::fabs(b.MaxLat)) + widenLat);
    const double widenLon = widenLat / std::cos(far * std::numbers::pi / 180);
    for (int64_t y = Cell(b.MinLat - widenLat); y <= Cell(b.MaxLat + widenLat); ++y)
      for (int64_t x = Cell(b.MinLon - widenLon); x <= Cell(b.MaxLon + widenLon); ++x) {
        // Longitudes are unwrapped: the key wraps them, so that 179.99° meets -179.99°.
        const int64_t wrapped = ((x % kCellsAround) + kCellsAround) % kCellsAround;
        auto& members = cells[(static_cast<uint64_t>(y + kCellsAround) << 32) | static_cast<uint64_t>(wrapped)];
        for (uint32_t other : members) pairs.push_back(PairKey(other, v));
        members.push_back(v);
      }
  }
  std::sort(pairs.begin(), pairs.end());
  pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

}  // namespace

TFleetMotion FleetMotionOf(const TShipList& ships) {
  TFleetMotion fleet;
  for (size_t i = 0; i < ships.size(); ++i)
    if (i == 0 || KmlShowsTrack(ships[i])) {
      fleet.Entries.push_back(i);
      fleet.Tracks.push_back(MotionTrackOf(ships[i].aPlot));
    }
  return fleet;
}

std::vector<TOwnApproach> OwnShipApproaches(const TFleetMotion& fleet, TProgressSink& sink) {
  std::vector<TOwnApproach> rows;
  if (fleet.Entries.empty() || fleet.Entries[0] != 0 || fleet.Tracks[0].Points.empty()) return rows;
  sink.SetBarMax(TBar::Load, static_cast<int64_t>(fleet.Entries.size()));
  for (size_t v = 1; v < fleet.Entries.size(); ++v) {
    sink.StepBar(TBar::Load, static_cast<int64_t>(v));
    rows.push_back({fleet.Entries[v], ClosestApproach(fleet.Tracks[0], fleet.Tracks[v])});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TOwnApproach& x, const TOwnApproach& y) {
    if (x.Closest.Found != y.Closest.Found) return x.Closest.Found;
    if (!x.Closest.Found) return false;
    return std::tie(x.Closest.DistanceNM, x.Closest.Seconds) < std::tie(y.Closest.DistanceNM, y.Closest.Seconds);
  });
  return rows;
}

std::vector<TEncounter> FindEncounters(const TFleetMotion& fleet, double rangeNM, TProgressSink& sink) {
  int64_t first = INT64_MAX, last = INT64_MIN;
  std::vector<double> cosFar(fleet.Tracks.size(), 1.0);
  for (size_t v = 0; v < fleet.Tracks.size(); ++v) {
    const auto& p = fleet.Tracks[v].Points;
    if (p.empty()) continue;
    first = std::min(first, p.front().Seconds);
    last = std::max(last, p.back().Seconds);
    double far = 0;
    for (const TMotionPoint& q : p) far = std::max(far, std::fabs(q.Lat));
    cosFar[v] = std::cos(std::min(far, 89.999) * std::numbers::pi / 180);
  }
  std::vector<TEncounter> found;
  if (first > last) return found;
  const int64_t firstSlice = first / kSliceSeconds - (first % kSliceSeconds < 0);
  const int64_t slices = (last - firstSlice * kSliceSeconds) / kSliceSeconds + 1;
  sink.SetBarMax(TBar::Load, slices);
  std::vector<size_t> cursors(fleet.Tracks.size(), 0);
  std::unordered_map<uint64_t, std::vector<uint32_t>> cells;
  std::vector<uint64_t> pairs;
  std::unordered_map<uint64_t, std::vector<TCloseStretch>> stretches;
  for (int64_t n = 0; n < slices; ++n) {
    sink.StepBar(TBar::Load, n);
    if (sink.StopKeyPressed()) break;
    const int64_t from = (firstSlice + n) * kSliceSeconds;
    SlicePairs(fleet, from, rangeNM, cursors, cells, pairs);
    for (uint64_t key : pairs) {
      const auto a = static_cast<uint32_t>(key >> 32), b = static_cast<uint32_t>(key);
      const double cosMin = std::max(1e-6, std::min(cosFar[a], cosFar[b]));
      std::vector<TCloseStretch>& list = stretches[key];
      AddCloseStretches(fleet.Tracks[a], fleet.Tracks[b], rangeNM, from, from + kSliceSeconds, cosMin, list);
      if (list.empty()) stretches.erase(key);
    }
  }
  for (const auto& [key, list] : stretches)
    for (const TCloseStretch& s : list)
      if (s.Closest.RelativeKn >= kEncounterMinKn)
        found.push_back({fleet.Entries[key >> 32], fleet.Entries[static_cast<uint32_t>(key)], s});
  std::sort(found.begin(), found.end(), [](const TEncounter& x, const TEncounter& y) {
    return std::tie(x.Stretch.Closest.Seconds, x.EntryA, x.EntryB) < std::tie(y.Stretch.Closest.Seconds, y.EntryA, y.EntryB);
  });
  return found;
}

}  // namespace pelorin
