#pragma once
// What a track point gives its readers: its values with the not-available rules of the
// reports, and the texts the KML document, the sheet and the Track Replay show, made
// from the numbers when read, by the rules the decoders use.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/ais_records.h"
#include "codec/tdatetime.h"

namespace pelorin {

// Speed over ground in tenths of a knot, course in tenths of a degree; -1 when not
// available.
int SpeedTenths(const TDynamic& point);
int CourseTenths(const TDynamic& point);
// The log's GPS time when the point was stored, in seconds (TDateTimeToSeconds) and as
// the value the time sentence gave.
int64_t PointSeconds(const TTrack& track, const TDynamic& point);
inline TDateTime PointTime(const TTrack& track, const TDynamic& point) {
  return SecondsToTDateTime(PointSeconds(track, point));
}
// Gives a point of `track` its time, and `oddStamp`, when not empty, as its time text;
// the first point of a track sets the track's base.
void StampPoint(TTrack& track, TDynamic& point, int64_t seconds, std::string_view oddStamp);

// Degrees, east and north positive.
inline double LonDegrees(const TDynamic& point) { return point.Lon_Raw / 600000.0; }
inline double LatDegrees(const TDynamic& point) { return point.Lat_Raw / 600000.0; }

// "" for message 18 and a fix, else the status code's text.
std::string_view NavStatusOf(const TDynamic& point);

// The texts of one point: views into `Room` or into the track's or the code table's
// texts, valid while both stay as they are. Filled again and again without allocating.
struct TPointTexts {
  std::string_view MMSI, NavStatus, Speed, Lon, Lat, COG, TH, TimeStampStr;
  TDateTime TimeStampDT = 0;
  char Room[96];

  TPointTexts() = default;
  TPointTexts(const TPointTexts&) = delete;  // the views point into Room
  TPointTexts& operator=(const TPointTexts&) = delete;
};

void PointTexts(const TTrack& track, const TDynamic& point, TPointTexts& out);

// YYYY-MM-DDTHH:MM:SSZ of a time from whole seconds into out[0..20); false for a year
// outside 1000..9999.
bool TimeStampChars(TDateTime value, char (&out)[20]);

}  // namespace pelorin
