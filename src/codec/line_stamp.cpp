#include "codec/line_stamp.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "codec/tdatetime.h"

namespace pelorin {

namespace {

constexpr int64_t kUnixEpochSeconds = int64_t{25569} * 86400;  // 1 January 1970
constexpr int64_t kMillisecondsFrom = 100000000000;            // c: above 10^11 counts milliseconds
constexpr char kHex[] = "0123456789ABCDEF";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int64_t YearStartSeconds(int year) {
  TDateTime day = 0;
  TryEncodeDate(year, 1, 1, day);
  return static_cast<int64_t>(day) * 86400;
}

// PlausibleYear of the time, without decoding its date; every stamped line asks.
bool PlausibleSeconds(int64_t seconds, int currentYear) {
  static const int64_t first = YearStartSeconds(2000);
  thread_local int boundYear = 0;
  thread_local int64_t bound = 0;
  if (boundYear != currentYear) {
    boundYear = currentYear;
    bound = YearStartSeconds(currentYear + 2);
  }
  return seconds >= first && seconds < bound;
}

// Whether the eight bytes of `v` are all digits, and their value (first byte first): a
// UNIX time's ten digits one by one were a chain of ten multiplications on every line.
bool EightDigits(uint64_t v) {
  return ((v & 0xF0F0F0F0F0F0F0F0) | (((v + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) >> 4)) == 0x3333333333333333;
}
uint64_t EightDigitsValue(uint64_t v) {
  v = (v & 0x0F0F0F0F0F0F0F0F) * 2561 >> 8;
  v = (v & 0x00FF00FF00FF00FF) * 6553601 >> 16;
  return (v & 0x0000FFFF0000FFFF) * 42949672960001 >> 32;
}

// Digits only, at most 18 of them, so that no value overflows.
bool ReadDigits(std::string_view text, int64_t& value) {
  if (text.empty() || text.size() > 18) return false;
  value = 0;
  size_t i = 0;
  if constexpr (std::endian::native == std::endian::little) {
    uint64_t v = 0;
    if (text.size() >= 8 && (std::memcpy(&v, text.data(), 8), EightDigits(v))) {
      value = static_cast<int64_t>(EightDigitsValue(v));
      i = 8;
    }
  }
  for (; i < text.size(); ++i) {
    if (!IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

void UnixTime(std::string_view digits, bool milliseconds, int currentYear, TLineStamp& stamp) {
  int64_t value = 0;
  if (!ReadDigits(digits, value)) return;
  if (milliseconds && value > kMillisecondsFrom) value /= 1000;
  if (value > kMillisecondsFrom) return;  // beyond the year 5000 either way
  const int64_t seconds = value + kUnixEpochSeconds;
  if (!PlausibleSeconds(seconds, currentYear)) return;
  stamp = {TStampKind::Time, seconds};
}

// The time of `c:`, when `parameter` is one.
void TimeParameter(std::string_view parameter, int currentYear, TLineStamp& found) {
  if (parameter.size() < 2 || parameter[0] != 'c' || parameter[1] != ':') return;
  found.Kind = TStampKind::NoTime;
  UnixTime(parameter.substr(2), true, currentYear, found);
}

// The tag block at line[at] (a backslash), in one walk: its checksum over the characters
// up to its first "*", and where its last `c:` parameter begins. False without a closing
// backslash; `at` then moves past the block.
bool TagBlock(std::string_view line, size_t& at, int currentYear, bool& badSum, TLineStamp& found) {
  const char* p = line.data();
  const size_t n = line.size();
  const auto timeAt = [&](size_t i) { return i + 1 < n && p[i] == 'c' && p[i + 1] == ':'; };
  size_t i = at + 1, time = timeAt(i) ? i : std::string_view::npos;
  unsigned sum = 0;
  for (; i < n && p[i] != '*' && p[i] != '\\'; ++i) {
    sum ^= static_cast<unsigned char>(p[i]);
    if (p[i] == ',' && timeAt(i + 1)) time = i + 1;
  }
  const size_t star = i < n && p[i] == '*' ? i : std::string_view::npos;
  const size_t close = line.find('\\', i);
  if (close == std::string_view::npos) return false;
  if (time != std::string_view::npos) {
    const size_t end = std::min(line.find(',', time), star == std::string_view::npos ? close : star);
    TimeParameter(line.substr(time, end - time), currentYear, found);
  }
  badSum = badSum || star == std::string_view::npos || star + 3 != close || p[star + 1] != kHex[(sum >> 4) & 0xF] ||
           p[star + 2] != kHex[sum & 0xF];
  at = close + 1;
  return true;
}

// Every tag block in turn; one with a bad checksum takes the line's time away.
std::string_view TagBlocks(std::string_view line, int currentYear, TLineStamp& stamp) {
  TLineStamp found{TStampKind::NoTime, 0};
  bool badSum = false;
  size_t at = 0;
  while (at < line.size() && line[at] == '\\')
    if (!TagBlock(line, at, currentYear, badSum, found)) return line;
  stamp = badSum ? TLineStamp{TStampKind::BadChecksum, 0} : found;
  return line.substr(at);
}

bool Number(std::string_view text, size_t at, size_t width, int& value) {
  if (at + width > text.size()) return false;
  value = 0;
  for (size_t i = at; i < at + width; ++i) {
    if (!IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// "2024-12-09T22:07:14Z " or "2024-12-09 22:07:14.123;" before the sentence.
std::string_view IsoPrefix(std::string_view line, int currentYear, TLineStamp& stamp) {
  int year, month, day, hour, minute, second;
  if (line.size() < 20 || line[4] != '-' || line[7] != '-' || (line[10] != 'T' && line[10] != ' ') ||
      line[13] != ':' || line[16] != ':' || !Number(line, 0, 4, year) || !Number(line, 5, 2, month) ||
      !Number(line, 8, 2, day) || !Number(line, 11, 2, hour) || !Number(line, 14, 2, minute) ||
      !Number(line, 17, 2, second))
    return line;
  size_t at = 19;
  if (line[at] == '.') {
    ++at;
    while (at < line.size() && IsDigit(line[at])) ++at;
  }
  if (at < line.size() && line[at] == 'Z') ++at;
  if (at >= line.size() || (line[at] != ' ' && line[at] != '\t' && line[at] != ',' && line[at] != ';')) return line;
  TDateTime t = 0;
  stamp = {TStampKind::NoTime, 0};
  if (PlausibleYear(year, currentYear) && TryEncodeDateTime(year, month, day, hour, minute, second, t))
    stamp = {TStampKind::Time, TDateTimeToSeconds(t)};
  return line.substr(at + 1);
}

// "!AIVDM,...*hh,rSTATION,1241544035": the sentence ends with its checksum.
std::string_view TrailingTime(std::string_view line, int currentYear, TLineStamp& stamp) {
  const size_t star = line.find('*');
  if (star == std::string_view::npos || star + 3 >= line.size() || line[star + 3] != ',') return line;
  const std::string_view last = line.substr(line.rfind(',') + 1);
  int64_t ignored = 0;
  if (!ReadDigits(last, ignored)) return line;
  stamp = {TStampKind::NoTime, 0};
  UnixTime(last, false, currentYear, stamp);
  return line.substr(0, star + 3);
}

}  // namespace

bool PlausibleYear(int year, int currentYear) { return year >= 2000 && year <= currentYear + 1; }

std::string_view SentenceOfStampedLine(std::string_view line, int currentYear, TLineStamp& stamp) {
  stamp = {};
  if (line.empty() || line.size() > kLongestTimedLine) return line;
  if (line[0] == '\\') return TagBlocks(line, currentYear, stamp);
  if (IsDigit(line[0])) return IsoPrefix(line, currentYear, stamp);
  if (line.size() >= 3 && line[line.size() - 3] == '*') return line;
  return TrailingTime(line, currentYear, stamp);
}

}  // namespace pelorin
