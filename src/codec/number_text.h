#pragma once
// Number texts that never depend on the locale, rounded exactly with integer arithmetic.
#include <cstdint>
#include <string>

namespace pelorin {

std::string IntToText(int64_t value);
std::string UIntToText(uint64_t value);
// raw / 600000 degrees with six decimals, halves away from zero (raw * 5 / 3 millionths).
std::string PositionText(int64_t raw);
// tenths / 10 written whole, halves away from zero (125 -> "13").
std::string TenthsWholeText(int64_t tenths);
// tenths / 10 with one decimal (25 -> "2.5").
std::string TenthsOneDecimalText(int64_t tenths);

}  // namespace pelorin
