#include "codec/number_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <string>

namespace pelorin {
namespace {

// The Chars forms as strings, each into a buffer of its own.
template <typename TValue>
std::string Text(std::string_view (*chars)(TValue, TNumberChars&), TValue value) {
  TNumberChars buffer;
  return std::string(chars(value, buffer));
}

TEST(NumberText, Integers) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-42), "-42");
  EXPECT_EQ(IntToText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(Text(UIntChars, uint64_t{1234567}), "1234567");
  EXPECT_EQ(Text(UIntChars, std::numeric_limits<uint64_t>::max()), "18446744073709551615");
}

TEST(NumberText, Positions) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {
      {0, "0.000000"},
      {1, "0.000002"},        // 1.667 millionths
      {-1, "-0.000002"},
      {2, "0.000003"},        // 3.333
      {-2, "-0.000003"},
      {3, "0.000005"},
      {-300000, "-0.500000"},
      {600000, "1.000000"},
      {-600000, "-1.000000"},
      {180 * 600000, "180.000000"},
      {-180 * 600000, "-180.000000"},
      {90 * 600000, "90.000000"},
      {-74037230, "-123.395383"},  // -123.3953833...
      {5324431, "8.874052"},       // 8.8740516...
      {5324432, "8.874053"},       // 8.8740533...
      {599999, "0.999998"},        // 0.99999833
      {-599999, "-0.999998"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(PositionChars, c.raw), c.text) << c.raw;
}

TEST(NumberText, PositionExtremesDoNotOverflow) {
  EXPECT_EQ(Text(PositionChars, std::numeric_limits<int64_t>::max()), "15372286728091.293012");
  EXPECT_EQ(Text(PositionChars, std::numeric_limits<int64_t>::min()), "-15372286728091.293013");
}

TEST(NumberText, TenthsWhole) {
  struct Case { int64_t tenths; const char* text; };
  const Case cases[] = {{0, "0"}, {4, "0"}, {5, "1"}, {14, "1"}, {15, "2"}, {125, "13"}, {1022, "102"},
                        {3595, "360"}, {3594, "359"}, {-5, "-1"}, {-4, "0"}, {-125, "-13"}};
  for (const auto& c : cases) EXPECT_EQ(Text(TenthsWholeChars, c.tenths), c.text) << c.tenths;
}

TEST(NumberText, TenthsOneDecimal) {
  struct Case { int64_t tenths; const char* text; };
  const Case cases[] = {{1, "0.1"}, {10, "1.0"}, {25, "2.5"}, {254, "25.4"}, {0, "0.0"}, {-5, "-0.5"}};
  for (const auto& c : cases) EXPECT_EQ(Text(TenthsOneDecimalChars, c.tenths), c.text) << c.tenths;
}

TEST(NumberText, IndependentOfLocale) {
  // A comma locale, when the machine has one, must not change the decimal point.
  const char* previous = std::setlocale(LC_ALL, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_ALL, "de_DE");
  EXPECT_EQ(Text(PositionChars, int64_t{5324432}), "8.874053");
  EXPECT_EQ(Text(TenthsOneDecimalChars, int64_t{25}), "2.5");
  EXPECT_EQ(IntToText(1234567), "1234567");
  std::setlocale(LC_ALL, saved.c_str());
}

}  // namespace
}  // namespace pelorin
