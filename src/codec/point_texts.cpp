#include "codec/point_texts.h"

#include <cstdint>
#include <cstring>

#include "codec/ais_fields.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"

namespace pelorin {

namespace {

bool FromReport(const TDynamic& point) { return point.MsgType != kOwnShipFix; }

// A fix's value stands in its field as given, 0xFFFF when it had none.
int FixValue(uint16_t value) { return value == 0xFFFF ? -1 : value; }

// Copied to the room's next free place; the view points there.
std::string_view Keep(std::string_view text, char*& at) {
  std::memcpy(at, text.data(), text.size());
  const std::string_view kept(at, text.size());
  at += text.size();
  return kept;
}

void TwoDigits(char* at, int value) {
  at[0] = static_cast<char>('0' + value / 10);
  at[1] = static_cast<char>('0' + value % 10);
}

}  // namespace

int64_t PointSeconds(const TTrack& track, const TDynamic& point) {
  const TPointExtra* extra = track.ExtraOf(point);
  if (extra != nullptr && extra->Seconds != TPointExtra::kNoSeconds) return extra->Seconds;
  return track.TimeBase + point.Time_Offset;
}

void StampPoint(TTrack& track, TDynamic& point, int64_t seconds, std::string_view oddStamp) {
  if (track.size() == 1) track.TimeBase = seconds;
  const int64_t offset = seconds - track.TimeBase;
  const bool fits = offset >= INT32_MIN && offset <= INT32_MAX;
  point.Time_Offset = fits ? static_cast<int32_t>(offset) : 0;
  TPointExtra* extra = point.Extra != 0 ? &track.Extras[point.Extra - 1] : nullptr;
  if (extra != nullptr) {  // a fix's own texts: the time goes beside them
    if (!fits) extra->Seconds = seconds;
    if (!oddStamp.empty()) extra->TimeStampStr.assign(oddStamp);
    return;
  }
  if (fits && oddStamp.empty()) return;
  // A time sentence's text is kept once for all the points stored under it.
  if (fits && !track.Extras.empty()) {
    const TPointExtra& last = track.Extras.back();
    if (last.Lon.empty() && last.Seconds == TPointExtra::kNoSeconds && last.TimeStampStr == oddStamp) {
      point.Extra = static_cast<uint32_t>(track.Extras.size());
      return;
    }
  }
  TPointExtra& added = track.Extras.emplace_back();
  added.TimeStampStr.assign(oddStamp);
  if (!fits) added.Seconds = seconds;
  point.Extra = static_cast<uint32_t>(track.Extras.size());
}

std::string_view NavStatusOf(const TDynamic& point) {
  if (!FromReport(point) || point.MsgType == 18) return {};
  return NavStatusText(point.NavStatusCode);
}

int SpeedTenths(const TDynamic& point) {
  if (!FromReport(point)) return FixValue(point.SOG_Tenths);
  return point.SOG_Tenths <= 1022 ? point.SOG_Tenths : -1;
}

int CourseTenths(const TDynamic& point) {
  if (!FromReport(point)) return FixValue(point.COG_Tenths);
  return point.COG_Tenths <= 3599 ? point.COG_Tenths : -1;
}

bool TimeStampChars(TDateTime value, char (&out)[20]) {
  const TDateParts p = DecodeDateTime(value);
  if (p.Year < 1000 || p.Year > 9999) return false;
  TwoDigits(out, p.Year / 100);
  TwoDigits(out + 2, p.Year % 100);
  out[4] = '-';
  TwoDigits(out + 5, p.Month);
  out[7] = '-';
  TwoDigits(out + 8, p.Day);
  out[10] = 'T';
  TwoDigits(out + 11, p.Hour);
  out[13] = ':';
  TwoDigits(out + 14, p.Minute);
  out[16] = ':';
  TwoDigits(out + 17, p.Second);
  out[19] = 'Z';
  return true;
}

void PointTexts(const TTrack& track, const TDynamic& point, TPointTexts& out) {
  const TPointExtra* extra = track.ExtraOf(point);
  char* at = out.Room;
  TNumberChars chars;
  out.MMSI = Keep(UIntChars(point.MMSI_Number, chars), at);
  if (FromReport(point)) {
    out.NavStatus = NavStatusOf(point);
    out.Speed = Keep(AIS_SpeedChars(point.SOG_Tenths, chars), at);
    out.Lon = Keep(AIS_LonChars(point.Lon_Raw, chars), at);
    out.Lat = Keep(AIS_LatChars(point.Lat_Raw, chars), at);
    out.COG = Keep(AIS_CourseChars(point.COG_Tenths, chars), at);
    out.TH = Keep(AIS_HeadingChars(point.TH_Degrees, chars), at);
  } else {
    static const TPointExtra kNone;  // a fix always has its texts; a bare record shows none
    const TPointExtra& fix = extra != nullptr ? *extra : kNone;
    out.NavStatus = {};
    out.Speed = fix.Speed;
    out.Lon = fix.Lon;
    out.Lat = fix.Lat;
    out.COG = fix.COG;
    out.TH = {};
  }
  out.TimeStampDT = PointTime(track, point);
  if (extra != nullptr && !extra->TimeStampStr.empty()) {
    out.TimeStampStr = extra->TimeStampStr;
    return;
  }
  char stamp[20];
  out.TimeStampStr = TimeStampChars(out.TimeStampDT, stamp) ? Keep({stamp, sizeof stamp}, at) : std::string_view();
}

}  // namespace pelorin
