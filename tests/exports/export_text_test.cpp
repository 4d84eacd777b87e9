// The texts the exports write for times and sizes, at their edges.
#include <gtest/gtest.h>

#include "codec/tdatetime.h"
#include "exports/export_text.h"

namespace pelorin {
namespace {

int64_t SecondsOf(int y, int mo, int d, int h, int mi, int s) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, t));
  return TDateTimeToSeconds(t);
}

TEST(ExportText, TimesAndSizes) {
  const struct {
    int64_t Seconds;
    const char* Text;  // "" when no time can be written
  } times[] = {
      {SecondsOf(2011, 4, 7, 23, 40, 0), "2011-04-07T23:40:00Z"},
      {SecondsOf(1899, 12, 29, 23, 59, 59), "1899-12-29T23:59:59Z"},  // before the epoch
      {SecondsOf(2000, 2, 29, 12, 0, 0), "2000-02-29T12:00:00Z"},
      {SecondsOf(9999, 12, 31, 23, 59, 59), "9999-12-31T23:59:59Z"},
      {SecondsOf(9999, 12, 31, 23, 59, 59) + 1, ""},
      {INT64_MAX / 2, ""},
      {INT64_MIN / 2, ""},
  };
  for (const auto& c : times) {
    std::string out;
    EXPECT_EQ(AppendUtcTime(out, c.Seconds, true), *c.Text != '\0') << c.Text;
    EXPECT_EQ(out, c.Text);
  }
  const struct {
    const char* Text;
    bool Known;
    double Metres;
  } sizes[] = {{"120", true, 120}, {"2.3", true, 2.3}, {"> 25 m", true, 25.5}, {"n.a.", false, 0},
               {"", false, 0},     {"12x", false, 0},  {"nan", false, 0}};
  for (const auto& c : sizes) {
    double m = -1;
    EXPECT_EQ(MetresOf(c.Text, m), c.Known) << c.Text;
    EXPECT_DOUBLE_EQ(c.Known ? m : 0, c.Metres) << c.Text;
  }
}

}  // namespace
}  // namespace pelorin
