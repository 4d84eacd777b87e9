#pragma once
// The time a line carries beside its sentence, as receivers other than a transponder
// write it: NMEA 4.10 tag blocks before the sentence (`c:`), an ISO 8601 time before it,
// or a UNIX time as the last field after its checksum.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace pelorin {

enum class TStampKind : uint8_t {
  None,         // a plain sentence
  Time,         // Seconds holds the line's time
  NoTime,       // a stamp whose time is missing or unusable (empty, negative, far off)
  BadChecksum,  // a tag block whose checksum fails: the sentence is used, its time not
};

// A longer line gives no time at all, whatever it holds: the scan reads no more of a line
// to find one.
inline constexpr size_t kLongestTimedLine = 1024;

struct TLineStamp {
  TStampKind Kind = TStampKind::None;
  int64_t Seconds = 0;  // since the TDateTime epoch, as TDateTimeToSeconds counts them
};

// The sentence of `line` without what surrounds it, and in `stamp` the time that did.
// A tag block without its closing backslash leaves the line as it is (no sentence in it).
// Times are usable from 2000 to the end of the year after `currentYear`.
// SentenceOfLine past its first look, which settles a transponder's every line at once.
std::string_view SentenceOfStampedLine(std::string_view line, int currentYear, TLineStamp& stamp);

inline std::string_view SentenceOfLine(std::string_view line, int currentYear, TLineStamp& stamp) {
  stamp = {};
  const size_t n = line.size();
  if (n >= 3 && line[0] != '\\' && (line[0] < '0' || line[0] > '9') && line[n - 3] == '*') return line;
  return SentenceOfStampedLine(line, currentYear, stamp);
}

// Whether a date with this year may be a reception time.
bool PlausibleYear(int year, int currentYear);

}  // namespace pelorin
