#pragma once
// How the log pass stores a point: a report's values as they came, an own-ship fix of
// $GPRMC with the sentence's own texts, and the time texts numbers cannot give back.
#include <cstdint>
#include <string_view>

#include "analysis/ship_table.h"
#include "codec/nmea.h"

namespace pelorin {

inline constexpr uint32_t kOwnShipMMSINumber = 111111111;

// Whether the time text the points get now is not the text of their time.
bool StampIsOdd(const TAnalysisState& state);
// Appends the own-ship fix of an accepted $GPRMC (fields as NMEA_Split gave them) to
// entry 0 at the current GPS time; false, nothing stored, when its position is garbled.
bool StoreOwnShipFix(TAnalysisState& state, const TFieldList& fields, bool stampOdd);

}  // namespace pelorin
