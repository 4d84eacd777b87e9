// The compact storage of track points: short texts, shared texts and the block list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "codec/block_list.h"
#include "codec/short_text.h"

namespace pelorin {
namespace {

TEST(ShortText, KeepsEveryLengthAcrossCopiesAndMoves) {
  // Up to the inline capacity and past it (the heap form), with the edge lengths.
  for (size_t n : {0u, 1u, 6u, 7u, 8u, 10u, 11u, 12u, 40u, 300u}) {
    std::string text(n, 'x');
    for (size_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
    TShortText<8> t(text);
    EXPECT_EQ(t, text);
    EXPECT_EQ(t.size(), n);
    EXPECT_EQ(t.empty(), n == 0);
    TShortText<8> copy(t);
    EXPECT_EQ(copy, text);
    TShortText<8> moved(std::move(copy));
    EXPECT_EQ(moved, text);
    EXPECT_TRUE(copy.empty());  // NOLINT: a moved-from text is empty
    TShortText<8> assigned;
    assigned = moved;
    EXPECT_EQ(assigned, text);
    assigned = "short";  // heap form back to inline
    EXPECT_EQ(assigned, "short");
    assigned = text;  // and out again
    EXPECT_EQ(assigned.view(), text);
    assigned = assigned.view().substr(n / 2);  // a part of itself
    EXPECT_EQ(assigned, text.substr(n / 2));
  }
}

TEST(ShortText, ComparesAsText) {
  TShortText<11> mmsi("211000001");
  TShortText<12> other("211000001");
  EXPECT_TRUE(mmsi == other);
  EXPECT_TRUE(mmsi == std::string("211000001"));
  EXPECT_FALSE(mmsi == "21100000");
  EXPECT_EQ(std::string(mmsi.view()), "211000001");
}

TEST(SharedText, EqualTextsShareOneCopy) {
  TSharedText a("under way using engine");
  TSharedText b(std::string("under way using") + " engine");
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.data(), b.data());
  EXPECT_EQ(a.view(), "under way using engine");
  TSharedText empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_EQ(TSharedText(""), empty);
  b = "moored";
  EXPECT_FALSE(a == b);
}

TEST(TrackPoint, StaysSmall) {
  // The budget of a stored point is 100 bytes (the texts of the worst decoded point fit).
  EXPECT_LE(sizeof(TDynamic), 100u);
  TDynamic p;
  p.MMSI = "1073741823";
  p.Lon = "-179.999999";
  p.Lat = "-90.000000";
  p.TimeStampStr = "2011-04-07T22:00:00Z";
  EXPECT_EQ(p.MMSI, "1073741823");
  EXPECT_EQ(p.Lon, "-179.999999");
  EXPECT_EQ(p.TimeStampStr, "2011-04-07T22:00:00Z");
}

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

}  // namespace
}  // namespace pelorin
