#include "coverage/reception_range.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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
bool Record(TRangeBin& bin, double nm, size_t entry, const TPlacedPoint& p) {
  if (bin.Heard && nm <= bin.MaxNM) return false;
  bin = {true, nm, entry, p.Seconds, p.Lat, p.Lon};
  return true;
}

int64_t DayOf(int64_t seconds) {
  return (seconds / kDaySeconds - (seconds % kDaySeconds < 0)) * kDaySeconds;
}

// The ranges being filled, with each day's floor: the least distance over its bins (0
// while one is not heard). A report closer than its day's floor beats no bin of the day
// nor of the whole window, whose bins lie no nearer.
struct TRangeWork {
  TReceptionRanges& Out;
  std::vector<double> Floors;  // by day, as Out.Days
};

// A vessel's reports come in time order: its day changes seldom, and only then is the
// list searched (and a day added).
struct TDayCursor {
  int64_t Day = INT64_MIN;
  size_t Index = 0;
};

size_t DayIndex(TRangeWork& work, int64_t seconds, TDayCursor& cursor) {
  const int64_t day = DayOf(seconds);
  if (day != cursor.Day) {
    auto& days = work.Out.Days;
    auto it = std::lower_bound(days.begin(), days.end(), day,
                               [](const TReceptionDay& d, int64_t s) { return d.DaySeconds < s; });
    const auto index = it - days.begin();
    if (it == days.end() || it->DaySeconds != day) {
      days.insert(it, TReceptionDay{day, {}});
      work.Floors.insert(work.Floors.begin() + index, 0.0);
    }
    cursor = {day, static_cast<size_t>(index)};
  }
  return cursor.Index;
}

void RaiseFloor(TRangeWork& work, size_t day) {
  double floor = kRangeNearNM * 1000;
  for (const TRangeBin& bin : work.Out.Days[day].Range.Bins) floor = std::min(floor, bin.Heard ? bin.MaxNM : 0.0);
  work.Floors[day] = floor;
}

// The cosine of a latitude, taken anew only when the latitude moved by more than 0.05°
// (0.00087 rad): Cos stays no more than 0.001 below the cosine of the latitude given.
struct TCosineCache {
  double Lat = 1000, Cos = 0;
  double Upper(double lat) {
    if (std::fabs(lat - Lat) > 0.05) Lat = lat, Cos = std::cos(lat * std::numbers::pi / 180);
    return Cos + 0.001;
  }
};

// Whether the report surely lies within the near range and below the floor, by a flat
// measure that overstates the distance: such a report is kept and beats nothing, and
// needs neither the exact distance nor the bearing. Away from the poles and within the
// near range the flat measure errs by far less than the 1 % added.
bool SurelyBelow(const TMotionFix& own, const TPlacedPoint& p, double floorNM, TCosineCache& cosine) {
  constexpr double kNMPerDegree = kEarthRadiusNM * std::numbers::pi / 180.0 * 1.01;
  if (std::fabs(own.Lat) > 80) return false;
  const double east = (p.Lon - own.Lon) * cosine.Upper((p.Lat + own.Lat) / 2), north = p.Lat - own.Lat;
  const double flatNM = std::sqrt(east * east + north * north) * kNMPerDegree;
  return flatNM < kRangeNearNM && flatNM < floorNM;
}

// The own segment at `seconds` as SegmentAt finds it, searched on from the previous
// report's place in the own track (`next`: the first own point at or after that time): a
// vessel's reports come in time order, mostly a segment or two apart.
int64_t OwnSegmentAt(const TMotionTrack& own, int64_t seconds, size_t& next) {
  constexpr int kSteps = 8;
  const auto& pts = own.Points;
  const int64_t t = seconds - own.TimeBase;
  size_t i = next;
  for (int step = 0; i < pts.size() && pts[i].Offset < t; ++i)
    if (++step == kSteps) {
      i = static_cast<size_t>(std::lower_bound(pts.begin() + static_cast<std::ptrdiff_t>(i), pts.end(), t,
                                               [](const TMotionPoint& p, int64_t s) { return p.Offset < s; }) -
                              pts.begin());
      break;
    }
  next = i;
  if (i < pts.size() && pts[i].Offset == t) return static_cast<int64_t>(i);
  if (i == 0 || i == pts.size() || StartsStretch(own, i)) return -1;
  return static_cast<int64_t>(i) - 1;
}

void AddVessel(const TMotionTrack& own, size_t entry, const TPlacedPoints& points, TRangeWork& work) {
  TLastKept last;
  TDayCursor cursor;
  TMotionFix fix;
  TCosineCache cosine;
  size_t next = 0;
  for (const TPlacedPoint& p : points) {
    const int64_t segment = OwnSegmentAt(own, p.Seconds, next);
    if (segment < 0) continue;
    PlaceOn(own, static_cast<size_t>(segment), p.Seconds, fix.Lat, fix.Lon);
    const size_t day = DayIndex(work, p.Seconds, cursor);
    if (SurelyBelow(fix, p, work.Floors[day], cosine)) {
      last = {true, p.Seconds, p.Lat, p.Lon};
      continue;
    }
    const double nm = DistanceNM(fix.Lat, fix.Lon, p.Lat, p.Lon);
    if (!Plausible(nm, last, p)) continue;
    last = {true, p.Seconds, p.Lat, p.Lon};
    if (nm <= work.Floors[day]) continue;
    const int bearing = BearingDegrees(fix.Lat, fix.Lon, p.Lat, p.Lon);
    Record(work.Out.Whole.Bins[bearing], nm, entry, p);
    if (Record(work.Out.Days[day].Range.Bins[bearing], nm, entry, p)) RaiseFloor(work, day);
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
  TRangeWork work{out, {}};
  for (size_t i = 1; i < ships.size(); ++i) {
    sink.StepBar(TBar::Load, static_cast<int64_t>(i));
    if (!KmlShowsTrack(ships[i])) continue;
    PlacedPointsOf(ships[i].aPlot, placed);
    AddVessel(own, i, placed, work);
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
