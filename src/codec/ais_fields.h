#pragma once
// Display texts of the numeric fields that several messages share, with their
// not-available rules, written into a caller's buffer from its start.
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/ais_records.h"
#include "codec/number_text.h"

namespace pelorin {

std::string_view AIS_SpeedChars(uint32_t tenthsOfKnot, TNumberChars& out);  // 0..1022, else "n.a."
std::string_view AIS_LonChars(int32_t raw, TNumberChars& out);              // within +-180 degrees, else "n.a."
std::string_view AIS_LatChars(int32_t raw, TNumberChars& out);              // within +-90 degrees, else "n.a."
std::string_view AIS_CourseChars(uint32_t tenthsOfDegree, TNumberChars& out);  // 0..3599, else "n.a."
std::string_view AIS_HeadingChars(uint32_t degrees, TNumberChars& out);        // 0..359, else "n.a."
// "A" for part number 0, "B" for any other.
std::string AIS_PartText(uint32_t partNumber);

// The values that a position report gives its point; its time is the pass's to set.
void AIS_PositionValues(uint32_t mmsi, uint32_t speed, int32_t lon, int32_t lat, uint32_t cog, uint32_t th,
                       TDynamic& point);

// Whether AIS_LonChars / AIS_LatChars give "n.a.", and whether they give "0.000000".
inline bool AIS_LonAvailable(int32_t raw) { return raw >= -180 * 600000 && raw <= 180 * 600000; }
inline bool AIS_LatAvailable(int32_t raw) { return raw >= -90 * 600000 && raw <= 90 * 600000; }
// Only 0 rounds to six zero decimals: 1 is already 0.000002 degrees.
inline bool AIS_PositionIsZero(int32_t raw) { return raw == 0; }

}  // namespace pelorin
