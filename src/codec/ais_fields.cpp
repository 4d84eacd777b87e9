#include "codec/ais_fields.h"

#include "codec/number_text.h"

namespace pelorin {

namespace {
constexpr int32_t kRawPerDegree = 600000;
}

std::string AIS_SpeedText(uint32_t tenthsOfKnot) {
  return tenthsOfKnot <= 1022 ? TenthsWholeText(tenthsOfKnot) : std::string("n.a.");
}

std::string AIS_LonText(int32_t raw) {
  return raw >= -180 * kRawPerDegree && raw <= 180 * kRawPerDegree ? PositionText(raw) : std::string("n.a.");
}

std::string AIS_LatText(int32_t raw) {
  return raw >= -90 * kRawPerDegree && raw <= 90 * kRawPerDegree ? PositionText(raw) : std::string("n.a.");
}

std::string AIS_CourseText(uint32_t tenthsOfDegree) {
  return tenthsOfDegree <= 3599 ? TenthsWholeText(tenthsOfDegree) : std::string("n.a.");
}

std::string AIS_HeadingText(uint32_t degrees) {
  return degrees < 360 ? UIntToText(degrees) : std::string("n.a.");
}

std::string AIS_PartText(uint32_t partNumber) { return partNumber == 0 ? "A" : "B"; }

}  // namespace pelorin
