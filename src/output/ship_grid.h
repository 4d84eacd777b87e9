#pragma once
// The ship-list grid as texts: a plain function of the ship table, shared by the sheet
// window, the workbook export and the command line.
#include <array>
#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "codec/vessel_rules.h"

namespace pelorin {

inline constexpr int kShipGridColumns = 13;

struct TShipGridColumn {
  const char* Header;
  int Width;  // pixels
};

extern const std::array<TShipGridColumn, kShipGridColumns> ShipGridColumns;

using TShipGridRow = std::vector<std::string>;  // always kShipGridColumns texts
using TShipGrid = std::vector<TShipGridRow>;

// One vessel's row, columns 0 to 12.
TShipGridRow ShipGridRow(const TStatic& ship);

// Header row, one row per entry in table order, then one empty row: n + 2 rows.
TShipGrid ShipGridCells(const TShipList& ships, const TVesselFilter& filter = TVesselFilter{});

}  // namespace pelorin
