#pragma once
// The colours of the vessels on the map: the KML document's three kinds, and the groups
// of ship types for the "colour by ship type" option. Colours are 0xRRGGBB.
#include <cstdint>

#include "codec/vessel_rules.h"

namespace pelorin {

// Own #FF0000, SART #FFAA00, other #FFFF00.
uint32_t VesselKindColour(TVesselKind kind);
uint32_t ShipTypeGroupColour(TShipTypeGroup group);

}  // namespace pelorin
