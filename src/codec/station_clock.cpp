#include "codec/station_clock.h"

#include "codec/ais_bits.h"
#include "codec/line_stamp.h"
#include "codec/tdatetime.h"

namespace pelorin {

namespace {

constexpr int64_t kAgreeSeconds = 60;
constexpr int64_t kDaySeconds = 86400;
constexpr size_t kTimeChars = 13;  // bits 0..77: identifier, repeat, MMSI and the six UTC fields

// 00MIDxxxx: a coast station, which a vessel's transponder never is.
bool IsBaseStationMMSI(uint32_t mmsi) { return mmsi > 0 && mmsi < 10000000; }

int64_t Distance(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

bool Confirms(const TStationClock& clock, const TStationClock::TWaiting& w, uint32_t mmsi, int64_t seconds) {
  if (!w.Used || Distance(w.Seconds, seconds) > kAgreeSeconds) return false;
  if (w.MMSI != mmsi) return true;
  return IsBaseStationMMSI(mmsi) &&
         (!clock.Confirmed || (seconds > clock.Seconds && seconds - clock.Seconds < kDaySeconds));
}

void Wait(TStationClock& clock, uint32_t mmsi, int64_t seconds) {
  for (TStationClock::TWaiting& w : clock.Waiting)
    if (w.Used && w.MMSI == mmsi) {
      w.Seconds = seconds;
      return;
    }
  clock.Waiting[clock.NextSlot] = {mmsi, seconds, true};
  clock.NextSlot = (clock.NextSlot + 1) % TStationClock::kWaiting;
}

}  // namespace

bool AIS_DecodeStationTime(std::string_view payload, TStationTime& out) {
  if (payload.size() < kTimeChars) return false;
  const TPayloadBits bits = AIS_PayloadBits(payload, kTimeChars);
  out.MMSI = AIS_Bits(bits, 8, 30);
  out.Year = static_cast<int>(AIS_Bits(bits, 38, 14));
  out.Month = static_cast<int>(AIS_Bits(bits, 52, 4));
  out.Day = static_cast<int>(AIS_Bits(bits, 56, 5));
  out.Hour = static_cast<int>(AIS_Bits(bits, 61, 5));
  out.Minute = static_cast<int>(AIS_Bits(bits, 66, 6));
  out.Second = static_cast<int>(AIS_Bits(bits, 72, 6));
  return true;
}

bool StationClockReport(TStationClock& clock, const TStationTime& report, int currentYear, int64_t& seconds) {
  TDateTime t = 0;
  if (!PlausibleYear(report.Year, currentYear) ||
      !TryEncodeDateTime(report.Year, report.Month, report.Day, report.Hour, report.Minute, report.Second, t))
    return false;
  const int64_t s = TDateTimeToSeconds(t);
  // Nothing before it to disagree with: a base station's first report sets the clock,
  // until a second report confirms it or two others agree on another time.
  if (!clock.Set && IsBaseStationMMSI(report.MMSI)) {
    clock.Set = true;
    clock.Seconds = seconds = s;
    return true;
  }
  const bool agrees = clock.Set && Distance(s, clock.Seconds) <= kAgreeSeconds;
  bool confirmed = false;
  for (const TStationClock::TWaiting& w : clock.Waiting) confirmed = confirmed || Confirms(clock, w, report.MMSI, s);
  if (!agrees && !confirmed) {
    Wait(clock, report.MMSI, s);
    return false;
  }
  if (!agrees)
    for (TStationClock::TWaiting& w : clock.Waiting) w.Used = false;
  // A station whose clock lags agrees, but does not pull the time back.
  clock.Seconds = agrees && clock.Seconds > s ? clock.Seconds : s;
  clock.Set = clock.Confirmed = true;
  seconds = clock.Seconds;
  return true;
}

}  // namespace pelorin
