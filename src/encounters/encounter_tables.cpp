#include "encounters/encounter_tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <unordered_map>
#include <numbers>
#include <tuple>

#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

// Candidates per 10-minute slice come from a grid of cells of 0.02° (1.2 NM; cells of
// 0.05° took 1.8 times as long on a busy day): two vessels are measured against each other
// only when, in some slice, the boxes of their pieces widened by the range share a cell
// and lie within the range of each other.
constexpr double kCellDegrees = 0.02;
constexpr int64_t kCellsAround = 18000;  // 360° in cells

uint64_t PairKey(uint32_t a, uint32_t b) { return (static_cast<uint64_t>(std::min(a, b)) << 32) | std::max(a, b); }

int64_t Cell(double degrees) { return static_cast<int64_t>(std::floor(degrees / kCellDegrees)); }

struct TSliceState {
  std::vector<size_t> Cursors;
  std::vector<TSlicePiece> Pieces;
  std::vector<char> Present;
  std::vector<std::pair<uint64_t, uint32_t>> Cells;  // cell key, vessel
  std::vector<uint64_t> Pairs;
};

// The pairs whose pieces, widened by the range, share a cell in the slice.
void SlicePairs(const TFleetMotion& fleet, int64_t from, double rangeNM, TSliceState& s) {
  s.Cells.clear();
  s.Pairs.clear();
  const double widenLat = rangeNM / 60.0;
  for (uint32_t v = 0; v < fleet.Tracks.size(); ++v) {
    TSlicePiece& p = s.Pieces[v];
    s.Present[v] = SlicePieceOf(fleet.Tracks[v], from, s.Cursors[v], p);
    if (!s.Present[v]) continue;
    const double minLat = DegreesOf(p.MinLat), maxLat = DegreesOf(p.MaxLat);
    const double far = std::min(89.0, std::max(std::fabs(minLat), std::fabs(maxLat)) + widenLat);
    const double widenLon = widenLat / std::cos(far * std::numbers::pi / 180);
    for (int64_t y = Cell(minLat - widenLat); y <= Cell(maxLat + widenLat); ++y)
      for (int64_t x = Cell(DegreesOf(p.MinLon) - widenLon); x <= Cell(DegreesOf(p.MaxLon) + widenLon); ++x) {
        // Longitudes are unwrapped: the key wraps them, so that 179.99° meets -179.99°.
        const int64_t wrapped = ((x % kCellsAround) + kCellsAround) % kCellsAround;
        s.Cells.push_back({(static_cast<uint64_t>(y + kCellsAround) << 32) | static_cast<uint64_t>(wrapped), v});
      }
  }
  std::sort(s.Cells.begin(), s.Cells.end());
  for (size_t i = 0; i < s.Cells.size();) {
    size_t j = i;
    while (j < s.Cells.size() && s.Cells[j].first == s.Cells[i].first) ++j;
    for (size_t x = i; x < j; ++x)
      for (size_t y = x + 1; y < j; ++y)
        if (s.Cells[x].second != s.Cells[y].second) s.Pairs.push_back(PairKey(s.Cells[x].second, s.Cells[y].second));
    i = j;
  }
  std::sort(s.Pairs.begin(), s.Pairs.end());
  s.Pairs.erase(std::unique(s.Pairs.begin(), s.Pairs.end()), s.Pairs.end());
}

}  // namespace

bool ParseEncounterNM(const std::string& text, double& nm) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !(value > 0 && value <= 100)) return false;
  nm = value;
  return true;
}

TFleetMotion FleetMotionOf(const TShipList& ships) {
  TFleetMotion fleet;
  TPlacedPoints placed;
  for (size_t i = 0; i < ships.size(); ++i)
    if (i == 0 || KmlShowsTrack(ships[i])) {
      fleet.Entries.push_back(i);
      fleet.Tracks.push_back(MotionTrackOf(ships[i].aPlot, placed));
    }
  return fleet;
}

std::vector<TOwnApproach> OwnShipApproaches(const TFleetMotion& fleet, TProgressSink& sink) {
  std::vector<TOwnApproach> rows;
  if (fleet.Entries.empty() || fleet.Entries[0] != 0 || fleet.Tracks[0].Points.empty()) return rows;
  sink.SetBarMax(TBar::Load, static_cast<int64_t>(fleet.Entries.size()));
  for (size_t v = 1; v < fleet.Entries.size(); ++v) {
    sink.StepBar(TBar::Load, static_cast<int64_t>(v));
    rows.push_back({fleet.Entries[v], v, ClosestApproach(fleet.Tracks[0], fleet.Tracks[v])});
  }
  std::stable_sort(rows.begin(), rows.end(), [](const TOwnApproach& x, const TOwnApproach& y) {
    if (x.Closest.Found != y.Closest.Found) return x.Closest.Found;
    if (!x.Closest.Found) return false;
    return std::tie(x.Closest.DistanceNM, x.Closest.Seconds) < std::tie(y.Closest.DistanceNM, y.Closest.Seconds);
  });
  return rows;
}

std::vector<TEncounter> FindEncounters(const TFleetMotion& fleet, double rangeNM, TProgressSink& sink, bool& stopped) {
  stopped = false;
  int64_t first = INT64_MAX, last = INT64_MIN;
  for (const TMotionTrack& t : fleet.Tracks) {
    if (t.Points.empty()) continue;
    first = std::min(first, SecondsOf(t, 0));
    last = std::max(last, SecondsOf(t, t.Points.size() - 1));
  }
  std::vector<TEncounter> found;
  if (first > last) return found;
  const int64_t firstSlice = first / kSliceSeconds - (first % kSliceSeconds < 0);
  const int64_t slices = (last - firstSlice * kSliceSeconds) / kSliceSeconds + 1;
  sink.SetBarMax(TBar::Load, slices);
  TSliceState state;
  state.Cursors.assign(fleet.Tracks.size(), 0);
  state.Pieces.resize(fleet.Tracks.size());
  state.Present.assign(fleet.Tracks.size(), 0);
  // Each pair's stretch that may still grow; the others are decided at once.
  std::unordered_map<uint64_t, TCloseStretch> open;
  std::vector<TCloseStretch> closed;
  const auto decide = [&](uint64_t key, const TCloseStretch& s) {
    if (s.Closest.Found) {
      TEncounter e{static_cast<uint32_t>(fleet.Entries[key >> 32]), static_cast<uint32_t>(fleet.Entries[static_cast<uint32_t>(key)]), s};
      if (ApproachAt(fleet.Tracks[key >> 32], fleet.Tracks[static_cast<uint32_t>(key)], s.Closest.Seconds,
                     e.Stretch.Closest) &&
          e.Stretch.Closest.RelativeKn >= kEncounterMinKn)
        found.push_back(e);
    }
  };
  for (int64_t n = 0; n < slices; ++n) {
    sink.StepBar(TBar::Load, n);
    if (sink.StopKeyPressed()) {
      stopped = true;
      break;
    }
    const int64_t from = (firstSlice + n) * kSliceSeconds;
    SlicePairs(fleet, from, rangeNM, state);
    for (uint64_t key : state.Pairs) {
      const auto a = static_cast<uint32_t>(key >> 32), b = static_cast<uint32_t>(key);
      if (BoxesApartNM(state.Pieces[a], state.Pieces[b]) >= rangeNM) continue;
      TCloseStretch& stretch = open[key];
      closed.clear();
      AddCloseStretches(fleet.Tracks[a], state.Pieces[a], fleet.Tracks[b], state.Pieces[b], rangeNM, from, stretch,
                        closed);
      for (const TCloseStretch& s : closed) decide(key, s);
      if (!stretch.Closest.Found) open.erase(key);
    }
    // A stretch that ended before this slice's last second grows no more.
    for (auto it = open.begin(); it != open.end();)
      if (it->second.End < from + kSliceSeconds) {
        decide(it->first, it->second);
        it = open.erase(it);
      } else {
        ++it;
      }
  }
  for (const auto& [key, s] : open) decide(key, s);
  std::sort(found.begin(), found.end(), [](const TEncounter& x, const TEncounter& y) {
    return std::tie(x.Stretch.Closest.Seconds, x.EntryA, x.EntryB) < std::tie(y.Stretch.Closest.Seconds, y.EntryA, y.EntryB);
  });
  return found;
}

}  // namespace pelorin
