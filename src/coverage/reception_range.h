#pragma once
// How far the receiver heard: in each whole degree of true bearing from the own vessel,
// the farthest position a vessel plausibly sent, per UTC day and for the whole table.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "codec/ais_records.h"
#include "platform/progress_sink.h"

namespace pelorin {

// A position farther than this from the own vessel must be reachable from its vessel's
// previous position at no more than kRangeMaxKn.
inline constexpr double kRangeNearNM = 50.0;
inline constexpr double kRangeMaxKn = 60.0;

struct TRangeBin {
  bool Heard = false;
  double MaxNM = 0;
  size_t Entry = 0;      // ship-table entry of the farthest vessel
  int64_t Seconds = 0;   // its report's time (seconds as PointSeconds gives them)
  double Lat = 0, Lon = 0;  // where it was
};
struct TReceptionRange {
  std::array<TRangeBin, 360> Bins;
};
struct TReceptionDay {
  int64_t DaySeconds = 0;  // 0:00 UTC of the day
  TReceptionRange Range;
};
struct TReceptionRanges {
  TReceptionRange Whole;
  std::vector<TReceptionDay> Days;  // in time order; only days that heard someone
};

// The vessels whose tracks the KML document draws, measured from entry 0's position at
// each report's time as the Track Replay interpolates it; a report at a time without an
// own position counts nowhere. Progress on the Load bar, one step a vessel.
TReceptionRanges ReceptionRangesOf(const TShipList& ships, TProgressSink& sink);

// The bin of the whole range that lies farthest out; null when nothing was heard.
const TRangeBin* FarthestBin(const TReceptionRange& range);

}  // namespace pelorin
