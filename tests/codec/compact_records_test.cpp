// The block list that holds the track points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "codec/point_texts.h"
#include "memory/block_list.h"

namespace pelorin {
namespace {

// Sizes around the block edges (4, 12, 28, ... 1020, then every 512).
TEST(BlockList, IndexesIterationAndResizeAcrossBlocks) {
  for (size_t n : {0u, 1u, 4u, 5u, 12u, 13u, 1019u, 1020u, 1021u, 1532u, 1533u, 5000u}) {
    TBlockList<std::string> list;
    for (size_t i = 0; i < n; ++i) list.push_back(std::to_string(i));
    ASSERT_EQ(list.size(), n);
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(list[i], std::to_string(i)) << n;
    size_t k = 0;
    for (const std::string& s : list) ASSERT_EQ(s, std::to_string(k++));
    EXPECT_EQ(k, n);
    if (n > 0) {
      EXPECT_EQ(list.front(), "0");
      EXPECT_EQ(list.back(), std::to_string(n - 1));
    }
    TBlockList<std::string> copy(list);
    list.resize(n / 3);
    EXPECT_EQ(list.size(), n / 3);
    list.emplace_back("tail");
    EXPECT_EQ(list.back(), "tail");
    EXPECT_EQ(list[n / 3], "tail");
    ASSERT_EQ(copy.size(), n);
    if (n > 0) {
      EXPECT_EQ(copy.back(), std::to_string(n - 1));
    }
    list = std::move(copy);
    EXPECT_EQ(list.size(), n);
    list.resize(n + 7);
    EXPECT_TRUE(list.back().empty());
  }
}

TEST(BlockList, ElementsNeverMove) {
  TBlockList<int> list;
  list.push_back(1);
  const int* first = &list[0];
  for (int i = 0; i < 10000; ++i) list.push_back(i);
  EXPECT_EQ(first, &list[0]);
  list = {7, 8, 9};
  EXPECT_EQ(list.size(), 3u);
  EXPECT_EQ(list[2], 9);
  list.pop_back();
  EXPECT_EQ(list.back(), 8);
  list.clear();
  EXPECT_TRUE(list.empty());
}

// Times keep whole seconds exactly, also one beyond a point's offset from the first.
TEST(TrackTime, SecondsComeBackExactlyNearAndFar) {
  TTrack track;
  const int64_t first = 3511000000, seconds[] = {first, first - 1, first + 86400, first + (int64_t{100} << 25)};
  for (int64_t s : seconds) StampPoint(track, track.emplace_back(), s, {});
  for (size_t k = 0; k < track.size(); ++k) EXPECT_EQ(PointSeconds(track, track[k]), seconds[k]) << k;
  EXPECT_EQ(track.Extras.size(), 1u);  // only the far one
}

}  // namespace
}  // namespace pelorin
