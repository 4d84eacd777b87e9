#include "codec/number_text.h"

#include <charconv>

namespace pelorin {

namespace {

// |value| without overflow for INT64_MIN.
uint64_t Magnitude(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

void AppendUInt(std::string& out, uint64_t value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}

// `value` with exactly `digits` digits, leading zeros kept.
void AppendFixedDigits(std::string& out, uint64_t value, int digits) {
  char buffer[24];
  for (int i = digits - 1; i >= 0; --i) {
    buffer[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  out.append(buffer, static_cast<size_t>(digits));
}

}  // namespace

std::string IntToText(int64_t value) {
  std::string text;
  if (value < 0) text += '-';
  AppendUInt(text, Magnitude(value));
  return text;
}

std::string UIntToText(uint64_t value) {
  std::string text;
  AppendUInt(text, value);
  return text;
}

std::string PositionText(int64_t raw) {
  // raw * 5 / 3 millionths; a third is never a half, so rounding is to the nearer
  // integer. Split as 3k + s so that the product cannot overflow.
  const uint64_t a = Magnitude(raw);
  const uint64_t millionths = a / 3 * 5 + (a % 3 * 5 + 1) / 3;
  std::string text;
  if (raw < 0 && millionths != 0) text += '-';
  AppendUInt(text, millionths / 1000000);
  text += '.';
  AppendFixedDigits(text, millionths % 1000000, 6);
  return text;
}

std::string TenthsWholeText(int64_t tenths) {
  const uint64_t whole = Magnitude(tenths) / 10 + (Magnitude(tenths) % 10 >= 5 ? 1 : 0);
  std::string text;
  if (tenths < 0 && whole != 0) text += '-';
  AppendUInt(text, whole);
  return text;
}

std::string TenthsOneDecimalText(int64_t tenths) {
  const uint64_t a = Magnitude(tenths);
  std::string text;
  if (tenths < 0) text += '-';
  AppendUInt(text, a / 10);
  text += '.';
  text += static_cast<char>('0' + a % 10);
  return text;
}

}  // namespace pelorin
