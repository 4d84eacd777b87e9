#include "analysis/position_store.h"

#include <charconv>
#include <cmath>
#include <string>
#include <system_error>
#include <utility>

#include "codec/point_texts.h"

namespace pelorin {

namespace {

// The values of a fix, for readers of values; its texts stay as the sentence gave them.
bool FixNumber(std::string_view text, double& value) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

// Degrees in 1/10000 minute; beyond `limit` degrees, not available as a report says it.
int32_t FixRaw(std::string_view degrees, int limit) {
  double value = 0;
  if (!FixNumber(degrees, value) || std::fabs(value) > limit) return (limit + 1) * 600000;
  return static_cast<int32_t>(std::llround(value * 600000));
}

// Tenths; 0xFFFF when the text is no number, or negative.
uint16_t FixTenths(std::string_view text) {
  double value = 0;
  if (!FixNumber(text, value) || value < 0 || value * 10 > 0xFFFE) return 0xFFFF;
  return static_cast<uint16_t>(std::llround(value * 10));
}

}  // namespace

bool StampIsOdd(const TAnalysisState& state) {
  char own[20];
  return !state.GPS_TimeStampStr.empty() &&
         (!TimeStampChars(state.GPS_TimeStampDT, own) || std::string_view(own, sizeof own) != state.GPS_TimeStampStr);
}

bool StoreOwnShipFix(TAnalysisState& state, const TFieldList& fields, bool stampOdd) {
  TPointExtra fix;
  if (!NMEA_LonToDeg(fields[5], fix.Lon) || !NMEA_LatToDeg(fields[3], fix.Lat)) return false;
  if (fields[6] == "W") fix.Lon.insert(0, 1, '-');
  if (fields[4] == "S") fix.Lat.insert(0, 1, '-');
  fix.Speed = fields[7];
  fix.COG = fields[8];
  TTrack& track = state.aShipList[0].aPlot;
  TDynamic& point = track.emplace_back();
  point.MMSI_Number = kOwnShipMMSINumber;
  point.MsgType = kOwnShipFix;
  point.Lon_Raw = FixRaw(fix.Lon, 180);
  point.Lat_Raw = FixRaw(fix.Lat, 90);
  point.SOG_Tenths = FixTenths(fix.Speed);
  point.COG_Tenths = FixTenths(fix.COG);
  track.Extras.push_back(std::move(fix));
  point.Extra = static_cast<uint32_t>(track.Extras.size());
  StampPoint(track, point, TDateTimeToSeconds(state.GPS_TimeStampDT),
             stampOdd ? std::string_view(state.GPS_TimeStampStr) : std::string_view());
  return true;
}

}  // namespace pelorin
