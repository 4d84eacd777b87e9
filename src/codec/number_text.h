#pragma once
// Number texts that never depend on the locale, rounded exactly with integer arithmetic,
// written into a caller's buffer: the log pass formats millions of them.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

// Room for any of the texts below.
struct TNumberChars {
  char Text[24];
};

// Signed decimal, for the report's counters.
std::string IntToText(int64_t value);
// Unsigned decimal into a text whose memory is used again.
void AssignUInt(std::string& out, uint64_t value);

// Written into `out` from its start; the view points there.
std::string_view UIntChars(uint64_t value, TNumberChars& out);
// raw / 600000 degrees with six decimals, halves away from zero (raw * 5 / 3 millionths).
std::string_view PositionChars(int64_t raw, TNumberChars& out);
// tenths / 10 written whole, halves away from zero (125 -> "13").
std::string_view TenthsWholeChars(int64_t tenths, TNumberChars& out);
// tenths / 10 with one decimal (25 -> "2.5").
std::string_view TenthsOneDecimalChars(int64_t tenths, TNumberChars& out);

}  // namespace pelorin
