#pragma once
// The range as the command line prints it: one tab-separated row per degree of bearing,
// the distance with two decimals, the farthest vessel's MMSI and its report's time as
// YYYY-MM-DDTHH:MM:SSZ; only the bearing where nothing was heard.
#include <string>

#include "codec/ais_records.h"
#include "coverage/reception_range.h"

namespace pelorin {

inline constexpr const char* kRangeHeader = "Bearing\tMax_NM\tMMSI\tTime";

std::string RangeLine(const TShipList& ships, int bearing, const TRangeBin& bin);

}  // namespace pelorin
