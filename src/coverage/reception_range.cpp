#include "coverage/reception_range.h"

#include <algorithm>

#include "codec/great_circle.h"
#include "codec/placed_points.h"
#include "codec/vessel_rules.h"
#include "encounters/motion_track.h"

namespace pelorin {

namespace {

constexpr int64_t kDaySeconds = 86400;

// The vessel's last report that counted.
struct TLastKept {
  bool Any = false;
  int64_t Seconds = 0;
  double Lat = 0, Lon = 0;
};

// A rejected report is nobody's previous point: the next one is judged against the last
// report that was kept, so a corrupt position neither counts nor vouches for the one
// after it, and a kept report beyond the near range always lies a voyage at the top speed
// or less from one heard within it. A vessel's first report beyond it is rejected.
bool Plausible(double ownNM, const TLastKept& last, const TPlacedPoint& p) {
  if (ownNM <= kRangeNearNM) return true;
  if (!last.Any) return false;
  const double hours = static_cast<double>(p.Seconds - last.Seconds) / 3600.0;
  return DistanceNM(last.Lat, last.Lon, p.Lat, p.Lon) <= kRangeMaxKn * hours;
}

// Equal distances keep the report found first (table order, then time order).
void Record(TRangeBin& bin, double nm, size_t entry, const TPlacedPoint& p) {
  if (bin.Heard && nm <= bin.MaxNM) return;
  bin = {true, nm, entry, p.Seconds, p.Lat, p.Lon};
}

int64_t DayOf(int64_t seconds) {
  return (seconds / kDaySeconds - (seconds % kDaySeconds < 0)) * kDaySeconds;
}

// A vessel's reports come in time order: its day changes seldom, and only then is the
// list searched (and a day added).
struct TDayCursor {
  int64_t Day = INT64_MIN;
  size_t Index = 0;
};

TReceptionRange& RangeOfDay(std::vector<TReceptionDay>& days, int64_t seconds, TDayCursor& cursor) {
  const int64_t day = DayOf(seconds);
  if (day != cursor.Day) {
    auto it = std::lower_bound(days.begin(), days.end(), day,
                               [](const TReceptionDay& d, int64_t s) { return d.DaySeconds < s; });
    if (it == days.end() || it->DaySeconds != day) it = days.insert(it, TReceptionDay{day, {}});
    cursor = {day, static_cast<size_t>(it - days.begin())};
  }
  return days[cursor.Index].Range;
}

void AddVessel(const TMotionTrack& own, size_t entry, const TPlacedPoints& points, TReceptionRanges& out) {
  TLastKept last;
  TDayCursor day;
  TMotionFix fix;
  for (const TPlacedPoint& p : points) {
    if (!FixAt(own, p.Seconds, fix)) continue;
    const double nm = DistanceNM(fix.Lat, fix.Lon, p.Lat, p.Lon);
    if (!Plausible(nm, last, p)) continue;
    last = {true, p.Seconds, p.Lat, p.Lon};
    const int bearing = BearingDegrees(fix.Lat, fix.Lon, p.Lat, p.Lon);
    Record(out.Whole.Bins[bearing], nm, entry, p);
    Record(RangeOfDay(out.Days, p.Seconds, day).Bins[bearing], nm, entry, p);
  }
}

}  // namespace

TReceptionRanges ReceptionRangesOf(const TShipList& ships, TProgressSink& sink) {
  TReceptionRanges out;
  if (ships.empty()) return out;
  TPlacedPoints placed;
  const TMotionTrack own = MotionTrackOf(ships[0].aPlot, placed);
  if (own.Points.empty()) return out;
  sink.SetBarMax(TBar::Load, static_cast<int64_t>(ships.size()));
  for (size_t i = 1; i < ships.size(); ++i) {
    sink.StepBar(TBar::Load, static_cast<int64_t>(i));
    if (!KmlShowsTrack(ships[i])) continue;
    PlacedPointsOf(ships[i].aPlot, placed);
    AddVessel(own, i, placed, out);
  }
  return out;
}

const TRangeBin* FarthestBin(const TReceptionRange& range) {
  const TRangeBin* best = nullptr;
  for (const TRangeBin& bin : range.Bins)
    if (bin.Heard && (!best || bin.MaxNM > best->MaxNM)) best = &bin;
  return best;
}

}  // namespace pelorin
