#pragma once
// Time from the UTC that base stations broadcast (messages 4 and 11), for logs without
// any other time: taken only when plausible, so that one station's wrong date, or a
// vessel's message 4 from a transponder with a flat clock battery, cannot move the clock.
#include <cstdint>
#include <string_view>

namespace pelorin {

struct TStationTime {
  uint32_t MMSI = 0;
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

// The sender and UTC of a message 4 or 11 payload; false when it is too short for them.
bool AIS_DecodeStationTime(std::string_view payload, TStationTime& out);

// What the reports so far imply: the time last accepted, and the latest report of a few
// stations that disagreed with it, each waiting for a report that confirms it.
struct TStationClock {
  static constexpr int kWaiting = 4;
  struct TWaiting {
    uint32_t MMSI = 0;
    int64_t Seconds = 0;
    bool Used = false;
  };
  bool Set = false;
  bool Confirmed = false;  // a second report agreed with it
  int64_t Seconds = 0;
  TWaiting Waiting[kWaiting];
  int NextSlot = 0;
};

// True, with `seconds` (TDateTimeToSeconds counting) the clock's time after it, when the
// report is accepted (one within a minute behind the clock leaves it as it is): a valid
// date from 2000 to the year after `currentYear`, and either the first report of a base
// station (00MIDxxxx) when no clock is set, or within a minute of the clock, or within a
// minute of a report that waits, from another station, or from the same base station
// while the clock is unconfirmed or when it moves the clock less than a day forward.
bool StationClockReport(TStationClock& clock, const TStationTime& report, int currentYear, int64_t& seconds);

}  // namespace pelorin
