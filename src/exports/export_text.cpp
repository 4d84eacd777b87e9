#include "exports/export_text.h"

#include <charconv>
#include <cmath>

#include "output/kml_writer.h"

namespace pelorin {

namespace {

constexpr int64_t kDaysFrom1899To1970 = 25569;

// Days since 1970-01-01 to a civil date (H. Hinnant's algorithm).
void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void Digits(std::string& out, int value, int width) {
  char text[4];
  for (int i = width - 1; i >= 0; --i) {
    text[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(text, static_cast<size_t>(width));
}

}  // namespace

void AppendFixed(std::string& out, double value, int decimals) {
  char text[40];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (ec == std::errc()) out.append(text, end);
}

void AppendDegrees(std::string& out, double degrees) { AppendFixed(out, degrees, 6); }

void AppendInt(std::string& out, int64_t value) {
  char text[24];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  (void)ec;
  out.append(text, end);
}

void AppendTenths(std::string& out, int tenths) {
  if (tenths < 0) {
    out += '-';
    tenths = -tenths;
  }
  AppendInt(out, tenths / 10);
  out += '.';
  out += static_cast<char>('0' + tenths % 10);
}

TUtcParts UtcPartsOf(int64_t seconds) {
  const int64_t day = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  const int64_t rest = seconds - day * 86400;
  TUtcParts p{};
  CivilFromDays(day - kDaysFrom1899To1970, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(rest / 3600);
  p.Minute = static_cast<int>(rest / 60 % 60);
  p.Second = static_cast<int>(rest % 60);
  return p;
}

bool AppendUtcTime(std::string& out, int64_t seconds, bool zone) {
  // A damaged date can lie millions of years away.
  if (seconds < -kDaysFrom1899To1970 * 86400 * 40 || seconds > 86400LL * 366 * 10000) return false;
  const TUtcParts p = UtcPartsOf(seconds);
  if (p.Year < 0 || p.Year > 9999) return false;
  Digits(out, p.Year, 4);
  out += '-';
  Digits(out, p.Month, 2);
  out += '-';
  Digits(out, p.Day, 2);
  out += 'T';
  Digits(out, p.Hour, 2);
  out += ':';
  Digits(out, p.Minute, 2);
  out += ':';
  Digits(out, p.Second, 2);
  if (zone) out += 'Z';
  return true;
}

void AppendUtf8(std::string& out, std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const size_t length = XmlCharLength(text, i);
    if (length == 0) {
      out.append("\xEF\xBF\xBD");
      ++i;
    } else {
      out.append(text.substr(i, length));
      i += length;
    }
  }
}

bool MetresOf(std::string_view text, double& metres) {
  if (text == "> 25 m") {
    metres = 25.5;
    return true;
  }
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), metres);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(metres);
}

}  // namespace pelorin
