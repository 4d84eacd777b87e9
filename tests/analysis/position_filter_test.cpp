// The pass decides on a position report before making its texts: the decision from the
// numbers must be IsValidDynamic of the texts.
#include <gtest/gtest.h>

#include <random>

#include "analysis/ship_table.h"
#include "codec/ais_messages.h"

namespace pelorin {
namespace {

TEST(PositionFilter, NumbersDecideAsTheTextsDo) {
  std::mt19937 rng(13);
  const int32_t edges[] = {0, 1, -1, 2, 54000000, 90 * 600000, 90 * 600000 + 1, -90 * 600000, -90 * 600000 - 1,
                           180 * 600000, 180 * 600000 + 1, -180 * 600000, -180 * 600000 - 1, 0x7FFFFFF, -0x8000000};
  const uint32_t mmsis[] = {0, 1, 211000001, 999999998, 999999999, 1073741823};
  for (int round = 0; round < 20000; ++round) {
    TPositionReport r;
    r.ClassB = round % 2 == 0;
    r.MMSI = round < 1000 ? mmsis[round % 6] : static_cast<uint32_t>(rng() % (1u << 30));
    r.Lon = round < 10000 ? edges[rng() % 15] : static_cast<int32_t>(rng() % (1u << 28)) - (1 << 27);
    r.Lat = round < 10000 ? edges[rng() % 15] : static_cast<int32_t>(rng() % (1u << 27)) - (1 << 26);
    r.NavStatus = rng() % 16;
    TDynamic point;
    PositionToDynamic(r, point);
    ASSERT_EQ(IsValidPosition(r), IsValidDynamic(point)) << r.MMSI << " " << r.Lon << " " << r.Lat;
  }
}

}  // namespace
}  // namespace pelorin
