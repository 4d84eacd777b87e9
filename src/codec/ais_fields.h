#pragma once
// Display texts of the numeric fields that several messages share, with their
// not-available rules. Used by the message decoders; the Chars forms write into a
// caller's buffer, from its start, for the hot path.
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/number_text.h"

namespace pelorin {

std::string AIS_SpeedText(uint32_t tenthsOfKnot);  // 0..1022, else "n.a."
std::string AIS_LonText(int32_t raw);              // within +-180 degrees, else "n.a."
std::string AIS_LatText(int32_t raw);              // within +-90 degrees, else "n.a."
std::string AIS_CourseText(uint32_t tenthsOfDegree);  // 0..3599, else "n.a."
std::string AIS_HeadingText(uint32_t degrees);        // 0..359, else "n.a."
// "A" for part number 0, "B" for any other.
std::string AIS_PartText(uint32_t partNumber);

std::string_view AIS_SpeedChars(uint32_t tenthsOfKnot, TNumberChars& out);
std::string_view AIS_LonChars(int32_t raw, TNumberChars& out);
std::string_view AIS_LatChars(int32_t raw, TNumberChars& out);
std::string_view AIS_CourseChars(uint32_t tenthsOfDegree, TNumberChars& out);
std::string_view AIS_HeadingChars(uint32_t degrees, TNumberChars& out);

// Whether AIS_LonText / AIS_LatText give "n.a.", and whether they give "0.000000".
inline bool AIS_LonAvailable(int32_t raw) { return raw >= -180 * 600000 && raw <= 180 * 600000; }
inline bool AIS_LatAvailable(int32_t raw) { return raw >= -90 * 600000 && raw <= 90 * 600000; }
// Only 0 rounds to six zero decimals: 1 is already 0.000002 degrees.
inline bool AIS_PositionIsZero(int32_t raw) { return raw == 0; }

}  // namespace pelorin
