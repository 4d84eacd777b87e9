#pragma once
// Which entries the KML document shows and what it calls them; the Track Replay view
// shows the same vessels under the same names.
#include <string_view>

#include "codec/ais_records.h"

namespace pelorin {

// A search-and-rescue transmitter: its MMSI begins with "970".
inline bool IsSart(std::string_view mmsi) { return mmsi.starts_with("970"); }

// The label pass leaves out an empty MMSI, the track pass an MMSI of "0"; both leave out
// "n.a." and an empty track.
bool KmlShowsLabel(const TStatic& ship);
bool KmlShowsTrack(const TStatic& ship);

// The name of a vessel's label and track folder, as Prefix followed by Text: its
// ShipName; without one "SART " and the MMSI for a SART, else the MMSI alone.
struct TVesselName {
  std::string_view Prefix;
  std::string_view Text;
};
TVesselName KmlVesselName(const TStatic& ship);

}  // namespace pelorin
