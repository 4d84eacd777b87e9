#pragma once
// The rules about vessels that every view of the ship table shares: which entries the KML
// document shows and what it calls them (the Track Replay shows the same vessels under
// the same names), which points have a position, SARTs, and the groups of ship types.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
// That name as one text without the blanks that pad a name to its field (the exports and
// the tables of approaches name vessels so).
std::string VesselTitle(const TStatic& ship);

// Whether a point names a place: Lat and Lon given, neither "n.a." nor "0.000000".
bool HasValidPosition(const TTrack& track, const TDynamic& point);

// Which vessels an output keeps: every one, or those whose MMSI is listed (compared as
// numbers, so "002111234" and "2111234" are one station).
struct TVesselFilter {
  std::vector<uint32_t> MMSIs;  // sorted; empty: every vessel
};
bool VesselListed(const TVesselFilter& filter, const TStatic& ship);
// A table MMSI as its number; false for "n.a." and any other text.
bool MMSINumberOf(std::string_view mmsi, uint32_t& number);

// Entry 0 is the own vessel whatever its MMSI; the own rule wins over the SART rule.
enum class TVesselKind : uint8_t { Own, Sart, Other };
TVesselKind VesselKindOf(const TStatic& ship, bool ownVessel);

// Groups of the ship type codes; Unknown when no static report gave one, or it gave 0
// (not available).
enum class TShipTypeGroup : uint8_t {
  Unknown, Cargo, Tanker, Passenger, HighSpeed, Fishing, Pleasure, Service, Other
};
inline constexpr int kShipTypeGroups = 9;
TShipTypeGroup ShipTypeGroupOf(int shipsTypeCode);

}  // namespace pelorin
