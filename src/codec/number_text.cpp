#include "codec/number_text.h"

#include <cstring>

namespace pelorin {

namespace {

// |value| without overflow for INT64_MIN.
uint64_t Magnitude(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Decimal digits of `value`, two at a time from the right (the hot path formats
// millions of numbers).
char* PutUInt(char* at, uint64_t value) {
  static constexpr uint64_t kPowers[20] = {1ull,
                                           10ull,
                                           100ull,
                                           1000ull,
                                           10000ull,
                                           100000ull,
                                           1000000ull,
                                           10000000ull,
                                           100000000ull,
                                           1000000000ull,
                                           10000000000ull,
                                           100000000000ull,
                                           1000000000000ull,
                                           10000000000000ull,
                                           100000000000000ull,
                                           1000000000000000ull,
                                           10000000000000000ull,
                                           100000000000000000ull,
                                           1000000000000000000ull,
                                           10000000000000000000ull};
  // log10 from log2 (1233 / 4096 is just above log10(2)), then one comparison.
  const unsigned bits = 64u - static_cast<unsigned>(__builtin_clzll(value | 1));
  const unsigned guess = (bits * 1233u) >> 12;
  unsigned digits = guess + (value >= kPowers[guess] ? 1u : 0u);
  if (digits == 0) digits = 1;
  char* p = at + digits;
  while (value >= 100) {
    p -= 2;
    std::memcpy(p, kPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (value >= 10) {
    std::memcpy(p - 2, kPairs + 2 * value, 2);
  } else {
    p[-1] = static_cast<char>('0' + value);
  }
  return at + digits;
}

// Six digits, leading zeros kept: three pairs.
char* PutSixDigits(char* at, uint64_t value) {
  std::memcpy(at + 4, kPairs + 2 * (value % 100), 2);
  value /= 100;
  std::memcpy(at + 2, kPairs + 2 * (value % 100), 2);
  std::memcpy(at, kPairs + 2 * (value / 100), 2);
  return at + 6;
}

std::string_view Span(const TNumberChars& out, const char* end) {
  return std::string_view(out.Text, static_cast<size_t>(end - out.Text));
}

}  // namespace

std::string_view UIntChars(uint64_t value, TNumberChars& out) { return Span(out, PutUInt(out.Text, value)); }

std::string_view PositionChars(int64_t raw, TNumberChars& out) {
  // raw * 5 / 3 millionths; a third is never a half, so rounding is to the nearer
  // integer. Split as 3k + s so that the product cannot overflow.
  const uint64_t a = Magnitude(raw);
  const uint64_t millionths = a / 3 * 5 + (a % 3 * 5 + 1) / 3;
  char* at = out.Text;
  if (raw < 0 && millionths != 0) *at++ = '-';
  at = PutUInt(at, millionths / 1000000);
  *at++ = '.';
  return Span(out, PutSixDigits(at, millionths % 1000000));
}

std::string_view TenthsWholeChars(int64_t tenths, TNumberChars& out) {
  const uint64_t whole = Magnitude(tenths) / 10 + (Magnitude(tenths) % 10 >= 5 ? 1 : 0);
  char* at = out.Text;
  if (tenths < 0 && whole != 0) *at++ = '-';
  return Span(out, PutUInt(at, whole));
}

std::string IntToText(int64_t value) {
  TNumberChars chars;
  char* at = chars.Text;
  if (value < 0) *at++ = '-';
  return std::string(Span(chars, PutUInt(at, Magnitude(value))));
}

void AssignUInt(std::string& out, uint64_t value) {
  TNumberChars chars;
  out.assign(UIntChars(value, chars));
}

std::string_view TenthsOneDecimalChars(int64_t tenths, TNumberChars& out) {
  const uint64_t a = Magnitude(tenths);
  char* at = out.Text;
  if (tenths < 0) *at++ = '-';
  at = PutUInt(at, a / 10);
  *at++ = '.';
  *at++ = static_cast<char>('0' + a % 10);
  return Span(out, at);
}

}  // namespace pelorin
