#include "exports/export_text.h"

#include <charconv>
#include <cmath>

#include "codec/tdatetime.h"
#include "output/kml_writer.h"

namespace pelorin {

namespace {

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

bool UtcPartsOf(int64_t seconds, TDateParts& parts) {
  // Years 0 and 10000 lie some 1900 and 8100 years from the epoch, 1899-12-30.
  constexpr int64_t kYear = 31'556'952;
  if (seconds < -1901 * kYear || seconds > 8101 * kYear) return false;
  parts = DecodeSeconds(seconds);
  return parts.Year >= 0 && parts.Year <= 9999;
}

bool AppendUtcTime(std::string& out, int64_t seconds, bool zone) {
  TDateParts p;
  if (!UtcPartsOf(seconds, p)) return false;
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

uint32_t ImoNumberOf(std::string_view text) {
  uint32_t number = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
  return ec == std::errc() && end == text.data() + text.size() ? number : 0;
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
