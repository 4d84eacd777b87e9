#include "replay/vessel_style.h"

#include <array>

namespace pelorin {

uint32_t VesselKindColour(TVesselKind kind) {
  switch (kind) {
    case TVesselKind::Own: return 0xFF0000;
    case TVesselKind::Sart: return 0xFFAA00;
    case TVesselKind::Other: break;
  }
  return 0xFFFF00;
}

uint32_t ShipTypeGroupColour(TShipTypeGroup group) {
  // The usual chart-plotter colours, kept clear of the own vessel's red and the SART's
  // orange; indexed by TShipTypeGroup.
  static constexpr std::array<uint32_t, kShipTypeGroups> kColours = {
      0xC8C8C8,  // Unknown
      0x2E9E44,  // Cargo
      0xB03060,  // Tanker
      0x2F6FDB,  // Passenger
      0xE6D200,  // HighSpeed
      0xF4A0A0,  // Fishing
      0xC050D0,  // Pleasure
      0x20B2AA,  // Service
      0x8C8C8C,  // Other
  };
  return kColours[static_cast<size_t>(group)];
}

}  // namespace pelorin
