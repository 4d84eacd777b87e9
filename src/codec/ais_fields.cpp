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

std::string AIS_PartText(uint32_t partNumber) { return partNumber == 0 ? "A" : "B"; }

void AIS_PositionValues(uint32_t mmsi, uint32_t speed, int32_t lon, int32_t lat, uint32_t cog, uint32_t th,
                        TDynamic& point) {
  point.MMSI_Number = mmsi;
  point.SOG_Tenths = static_cast<uint16_t>(speed);
  point.Lon_Raw = lon;
  point.Lat_Raw = lat;
  point.COG_Tenths = static_cast<uint16_t>(cog);
  point.TH_Degrees = static_cast<uint16_t>(th);
  point.Time_Offset = 0;
  point.Extra = 0;
}

}  // namespace pelorin
