#include "output/ship_grid.h"

#include <string_view>

#include "codec/vessel_rules.h"

namespace pelorin {

const std::array<TShipGridColumn, kShipGridColumns> ShipGridColumns = {{
    {"Class", 30},
    {"MMSI", 60},
    {"Ship-Name", 150},
    {"Nav-Status", 130},
    {"Call-Sign", 60},
    {"Ship-Type", 170},
    {"Length", 50},
    {"Width", 50},
    {"Draught", 50},
    {"Destination", 100},
    {"#1#18", 30},
    {"#5#24", 30},
    {"#14", 30},
}};

namespace {

std::string NameCell(const TStatic& ship) {
  std::string_view name = ship.ShipName;
  if (!name.empty()) return std::string(name);
  std::string_view mmsi = ship.MMSI;
  if (IsSart(mmsi)) return "SART " + std::string(mmsi);
  return {};
}

}  // namespace

TShipGridRow ShipGridRow(const TStatic& ship) {
  TShipGridRow row;
  row.reserve(kShipGridColumns);
  row.emplace_back(std::string_view(ship.AISclass));
  row.emplace_back(std::string_view(ship.MMSI));
  row.push_back(NameCell(ship));
  row.emplace_back(std::string_view(ship.NavStatus));
  row.emplace_back(std::string_view(ship.CallSign));
  row.emplace_back(std::string_view(ship.ShipsType));
  row.emplace_back(std::string_view(ship.Dimension.Laenge));
  row.emplace_back(std::string_view(ship.Dimension.Breite));
  row.emplace_back(std::string_view(ship.Draught));
  row.emplace_back(std::string_view(ship.Destination));
  row.push_back(std::to_string(ship.aPlot.size()));
  row.push_back(std::to_string(ship.Num_Msg5));
  row.push_back(std::to_string(ship.Num_Msg14));
  return row;
}

TShipGrid ShipGridCells(const TShipList& ships, const TVesselFilter& filter) {
  TShipGrid grid;
  grid.reserve(ships.size() + 2);
  TShipGridRow header;
  header.reserve(kShipGridColumns);
  for (const auto& column : ShipGridColumns) header.emplace_back(column.Header);
  grid.push_back(std::move(header));
  for (const auto& ship : ships)
    if (VesselListed(filter, ship)) grid.push_back(ShipGridRow(ship));
  grid.emplace_back(kShipGridColumns);
  return grid;
}

}  // namespace pelorin
