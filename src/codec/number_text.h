#pragma once
// Number texts that never depend on the locale, rounded exactly with integer arithmetic.
// Each comes as a string and, for the hot path, as characters in a caller's buffer.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

// Room for any of the texts below.
struct TNumberChars {
  char Text[24];
};

std::string IntToText(int64_t value);
std::string UIntToText(uint64_t value);
// raw / 600000 degrees with six decimals, halves away from zero (raw * 5 / 3 millionths).
std::string PositionText(int64_t raw);
// tenths / 10 written whole, halves away from zero (125 -> "13").
std::string TenthsWholeText(int64_t tenths);
// tenths / 10 with one decimal (25 -> "2.5").
std::string TenthsOneDecimalText(int64_t tenths);

// UIntToText into a text whose memory is used again.
void AssignUInt(std::string& out, uint64_t value);

// The same texts, written into `out` from its start; the view points there.
std::string_view UIntChars(uint64_t value, TNumberChars& out);
std::string_view PositionChars(int64_t raw, TNumberChars& out);
std::string_view TenthsWholeChars(int64_t tenths, TNumberChars& out);

}  // namespace pelorin
