#pragma once
// The times a line gives when its file has no usable GPS time sentences: the one reading
// of tag blocks and base stations that the scan uses to index such a file.
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/log_index.h"
#include "codec/line_stamp.h"
#include "codec/nmea.h"
#include "codec/station_clock.h"

namespace pelorin {

// Reads a file's lines in order from its first; the clock is the file's own.
struct TSourceReader {
  int CurrentYear = 0;
  TStationClock Clock;
  TFieldList Fields;
  std::string Date, Time;
};

struct TSourceTimes {
  bool GpsTime = false;  // a plain time sentence that reads: the file is timed by its GPS
  bool Stamped = false;  // the line's own time (tag block, ISO 8601 prefix, trailing UNIX time)
  int64_t StampSeconds = 0;
  bool Station = false;  // a base station's plausible UTC
  int64_t StationSeconds = 0;
};

// The line's own time (tag block, ISO 8601 prefix, trailing UNIX time), in seconds.
bool LineStampSeconds(std::string_view line, int currentYear, int64_t& seconds);

// A line longer than kLongestTimedLine (or its head of that length and one more) gives none.
TSourceTimes SourceLineTimes(TSourceReader& reader, std::string_view line);

// Whether a sentence of this kind, field count, sentence count and message identifier
// is a base station's UTC (message 4 or 11 in one sentence).
bool IsStationTimeSentence(TSentenceKind kind, size_t fields, bool oneSentence, int msgId);

}  // namespace pelorin
