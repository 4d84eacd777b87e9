#include "codec/ais_fields.h"

#include <cstring>

namespace pelorin {

namespace {
// Written into the caller's buffer too, so that every view points into it.
std::string_view NotAvailable(TNumberChars& out) {
  std::memcpy(out.Text, "n.a.", 4);
  return std::string_view(out.Text, 4);
}
}  // namespace

std::string_view AIS_SpeedChars(uint32_t tenthsOfKnot, TNumberChars& out) {
  return tenthsOfKnot <= 1022 ? TenthsWholeChars(tenthsOfKnot, out) : NotAvailable(out);
}

std::string_view AIS_LonChars(int32_t raw, TNumberChars& out) {
  return AIS_LonAvailable(raw) ? PositionChars(raw, out) : NotAvailable(out);
}

std::string_view AIS_LatChars(int32_t raw, TNumberChars& out) {
  return AIS_LatAvailable(raw) ? PositionChars(raw, out) : NotAvailable(out);
}

std::string_view AIS_CourseChars(uint32_t tenthsOfDegree, TNumberChars& out) {
  return tenthsOfDegree <= 3599 ? TenthsWholeChars(tenthsOfDegree, out) : NotAvailable(out);
}

std::string_view AIS_HeadingChars(uint32_t degrees, TNumberChars& out) {
  return degrees < 360 ? UIntChars(degrees, out) : NotAvailable(out);
}

std::string AIS_SpeedText(uint32_t tenthsOfKnot) {
  TNumberChars chars;
  return std::string(AIS_SpeedChars(tenthsOfKnot, chars));
}

std::string AIS_LonText(int32_t raw) {
  TNumberChars chars;
  return std::string(AIS_LonChars(raw, chars));
}

std::string AIS_LatText(int32_t raw) {
  TNumberChars chars;
  return std::string(AIS_LatChars(raw, chars));
}

std::string AIS_CourseText(uint32_t tenthsOfDegree) {
  TNumberChars chars;
  return std::string(AIS_CourseChars(tenthsOfDegree, chars));
}

std::string AIS_HeadingText(uint32_t degrees) {
  TNumberChars chars;
  return std::string(AIS_HeadingChars(degrees, chars));
}

std::string AIS_PartText(uint32_t partNumber) { return partNumber == 0 ? "A" : "B"; }

}  // namespace pelorin
