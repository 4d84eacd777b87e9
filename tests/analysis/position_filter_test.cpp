// The pass decides on a position report before making its texts: IsValidDynamic on the
// numbers must agree with the rule on the texts the conversions make of them.
#include <gtest/gtest.h>

#include <random>

#include "analysis/ship_table.h"
#include "codec/ais_messages.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

bool TextsUsable(const TDynamic& point) {
  const test::TPointStrings p = test::StringsOf(point);
  auto usable = [](std::string_view v) { return !v.empty() && v != "n.a." && v != "0.000000"; };
  return usable(p.Lat) && usable(p.Lon) && IsValidMMSI(p.MMSI);
}

TEST(PositionFilter, NumbersDecideAsTheTextsDo) {
  std::mt19937 rng(13);
  const int32_t edges[] = {0, 1, -1, 2, 54000000, 90 * 600000, 90 * 600000 + 1, -90 * 600000, -90 * 600000 - 1,
                           180 * 600000, 180 * 600000 + 1, -180 * 600000, -180 * 600000 - 1, 0x7FFFFFF, -0x8000000};
  const uint32_t mmsis[] = {0, 1, 211000001, 999999998, 999999999, 1073741823};
  for (int round = 0; round < 20000; ++round) {
    TMsg1 m;
    m.MMSI = round < 1000 ? mmsis[round % 6] : static_cast<uint32_t>(rng() % (1u << 30));
    m.Lon = round < 10000 ? edges[rng() % 15] : static_cast<int32_t>(rng() % (1u << 28)) - (1 << 27);
    m.Lat = round < 10000 ? edges[rng() % 15] : static_cast<int32_t>(rng() % (1u << 27)) - (1 << 26);
    TMsg18 b;
    b.MMSI = m.MMSI;
    b.Lon = m.Lon;
    b.Lat = m.Lat;
    ASSERT_EQ(IsValidDynamic(m), TextsUsable(test::ToDynamic(m))) << m.MMSI << " " << m.Lon << " " << m.Lat;
    ASSERT_EQ(IsValidDynamic(b), IsValidDynamic(m));
  }
}

}  // namespace
}  // namespace pelorin
