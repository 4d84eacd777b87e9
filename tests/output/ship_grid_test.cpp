#include "output/ship_grid.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

TStatic Vessel(std::string mmsi, std::string name, size_t plots = 0) {
  TStatic s;
  s.MMSI = std::move(mmsi);
  s.ShipName = std::move(name);
  s.AISclass = "A";
  s.NavStatus = "under way using engine";
  s.CallSign = "DABC";
  s.ShipsType = "Cargo";
  s.Dimension.Laenge = "120";
  s.Dimension.Breite = "18";
  s.Draught = "6.5";
  s.Destination = "HAMBURG";
  s.Num_Msg5 = 3;
  s.Num_Msg14 = 0;
  s.IMO = "9123456";
  s.ETA = "12-24 18:00";
  s.aPlot.resize(plots);
  return s;
}

TEST(ShipGrid, EmptyTableHasHeaderAndOneEmptyRow) {
  const TShipGrid grid = ShipGridCells({});
  ASSERT_EQ(grid.size(), 2u);
  const TShipGridRow headers = {"Class", "MMSI", "Ship-Name", "Nav-Status", "Call-Sign",
                                "Ship-Type", "Length", "Width", "Draught", "Destination",
                                "#1#18", "#5#24", "#14"};
  EXPECT_EQ(grid[0], headers);
  EXPECT_EQ(grid[1], TShipGridRow(13));
}

TEST(ShipGrid, ColumnWidths) {
  const int widths[13] = {30, 60, 150, 130, 60, 170, 50, 50, 50, 100, 30, 30, 30};
  for (int c = 0; c < kShipGridColumns; ++c) EXPECT_EQ(ShipGridColumns[c].Width, widths[c]) << c;
}

TEST(ShipGrid, ThreeVesselsInTableOrderThenEmptyRow) {
  TShipList ships = {Vessel("211000001", "OWN SHIP", 2), Vessel("244000002", "ALPHA", 0),
                     Vessel("636000003", "BRAVO", 12345)};
  ships[2].Num_Msg14 = 7;
  ships[2].Num_Msg5 = 0;
  const TShipGrid grid = ShipGridCells(ships);
  ASSERT_EQ(grid.size(), 5u);
  const TShipGridRow first = {"A", "211000001", "OWN SHIP", "under way using engine", "DABC",
                              "Cargo", "120", "18", "6.5", "HAMBURG", "2", "3", "0"};
  EXPECT_EQ(grid[1], first);
  EXPECT_EQ(grid[2][2], "ALPHA");
  EXPECT_EQ(grid[2][10], "0");
  EXPECT_EQ(grid[3][10], "12345");
  EXPECT_EQ(grid[3][11], "0");
  EXPECT_EQ(grid[3][12], "7");
  EXPECT_EQ(grid[4], TShipGridRow(13));
}

TEST(ShipGrid, NameColumnRules) {
  struct TCase {
    const char* Mmsi;
    const char* Name;
    const char* Shown;
  } cases[] = {
      {"970123456", "", "SART 970123456"},
      {"970123456", "SART ACTIVE", "SART ACTIVE"},  // a sent name wins
      {"244000002", "", ""},
      {"97", "", ""},                               // too short to begin with 970
      {"097012345", "", ""},
      {"970", "", "SART 970"},
  };
  for (const auto& c : cases) {
    TShipList ships = {Vessel(c.Mmsi, c.Name)};
    EXPECT_EQ(ShipGridCells(ships)[1][2], c.Shown) << c.Mmsi << " / " << c.Name;
  }
}

TEST(ShipGrid, LargeCountsInDecimal) {
  TStatic s = Vessel("244000002", "X");
  s.Num_Msg5 = 5'000'000'000;  // beyond 32 bits
  EXPECT_EQ(ShipGridRow(s)[11], "5000000000");
}

}  // namespace
}  // namespace pelorin
