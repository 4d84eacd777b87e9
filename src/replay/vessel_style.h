#pragma once
// The colours of the vessels on the map: the KML document's three kinds, and groups of
// ship types for the "colour by ship type" option. Colours are 0xRRGGBB.
#include <cstdint>
#include <string_view>

#include "codec/ais_records.h"

namespace pelorin {

enum class TVesselKind : uint8_t { Own, Sart, Other };

// Entry 0 is the own vessel whatever its MMSI; the own rule wins over the SART rule.
TVesselKind VesselKindOf(const TStatic& ship, bool ownVessel);
// Own #FF0000, SART #FFAA00, other #FFFF00.
uint32_t VesselKindColour(TVesselKind kind);

// Groups of the ship type texts of the code table; Unknown when no static report came.
enum class TShipTypeGroup : uint8_t {
  Unknown, Cargo, Tanker, Passenger, HighSpeed, Fishing, Pleasure, Service, Other
};
inline constexpr int kShipTypeGroups = 9;

TShipTypeGroup ShipTypeGroupOf(std::string_view shipsType);
uint32_t ShipTypeGroupColour(TShipTypeGroup group);

}  // namespace pelorin
