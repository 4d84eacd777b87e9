#include "catalogue/time_stamp.h"

namespace pelorin {

namespace {

// Up to `maxDigits` decimal digits, at least one, nothing else.
bool ReadNumber(std::string_view text, size_t maxDigits, int& value) {
  if (text.empty() || text.size() > maxDigits) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

// Three numbers separated by `sep`.
bool ReadThree(std::string_view text, char sep, std::string_view parts[3]) {
  const size_t a = text.find(sep);
  if (a == std::string_view::npos) return false;
  const size_t b = text.find(sep, a + 1);
  if (b == std::string_view::npos || text.find(sep, b + 1) != std::string_view::npos) return false;
  parts[0] = text.substr(0, a);
  parts[1] = text.substr(a + 1, b - a - 1);
  parts[2] = text.substr(b + 1);
  return true;
}

}  // namespace

bool ReadTimeStamp(std::string_view date, std::string_view time, int currentYear, TDateTime& stamp) {
  std::string_view d[3], t[3];
  if (!ReadThree(date, '.', d) || !ReadThree(time, ':', t)) return false;
  int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
  if (!ReadNumber(d[0], 2, day) || !ReadNumber(d[1], 2, month)) return false;
  if (d[2].size() == 4) {
    if (!ReadNumber(d[2], 4, year)) return false;
  } else {
    // One digit is a date field that lost a character, not a year.
    if (!SentenceYear(d[2], currentYear, year)) return false;
  }
  if (!ReadNumber(t[0], 2, hour) || !ReadNumber(t[1], 2, minute) || !ReadNumber(t[2], 2, second)) return false;
  return TryEncodeDateTime(year, month, day, hour, minute, second, stamp);
}

}  // namespace pelorin
