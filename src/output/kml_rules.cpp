#include "output/kml_rules.h"

namespace pelorin {

bool KmlShowsLabel(const TStatic& ship) {
  std::string_view mmsi = ship.MMSI;
  return !mmsi.empty() && mmsi != "n.a." && !ship.aPlot.empty();
}

bool KmlShowsTrack(const TStatic& ship) {
  std::string_view mmsi = ship.MMSI;
  return mmsi != "0" && mmsi != "n.a." && !ship.aPlot.empty();
}

TVesselName KmlVesselName(const TStatic& ship) {
  if (!ship.ShipName.empty()) return {{}, ship.ShipName};
  if (IsSart(ship.MMSI)) return {"SART ", ship.MMSI};
  return {{}, ship.MMSI};
}

}  // namespace pelorin
