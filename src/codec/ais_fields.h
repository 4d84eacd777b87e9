#pragma once
// Display texts of the numeric fields that several messages share, with their
// not-available rules. Used by the message decoders.
#include <cstdint>
#include <string>

namespace pelorin {

std::string AIS_SpeedText(uint32_t tenthsOfKnot);  // 0..1022, else "n.a."
std::string AIS_LonText(int32_t raw);              // within +-180 degrees, else "n.a."
std::string AIS_LatText(int32_t raw);              // within +-90 degrees, else "n.a."
std::string AIS_CourseText(uint32_t tenthsOfDegree);  // 0..3599, else "n.a."
std::string AIS_HeadingText(uint32_t degrees);        // 0..359, else "n.a."
// "A" for part number 0, "B" for any other.
std::string AIS_PartText(uint32_t partNumber);

}  // namespace pelorin
