#include "replay/vessel_style.h"

#include <array>
#include <utility>

#include "output/kml_rules.h"

namespace pelorin {

TVesselKind VesselKindOf(const TStatic& ship, bool ownVessel) {
  if (ownVessel) return TVesselKind::Own;
  return IsSart(ship.MMSI) ? TVesselKind::Sart : TVesselKind::Other;
}

uint32_t VesselKindColour(TVesselKind kind) {
  switch (kind) {
    case TVesselKind::Own: return 0xFF0000;
    case TVesselKind::Sart: return 0xFFAA00;
    case TVesselKind::Other: break;
  }
  return 0xFFFF00;
}

TShipTypeGroup ShipTypeGroupOf(std::string_view shipsType) {
  using G = TShipTypeGroup;
  // The texts of the ship type code table; anything else (older texts) is Other.
  static constexpr std::array<std::pair<std::string_view, G>, 24> kGroups = {{
      {"Cargo Ship", G::Cargo},
      {"Cargo Ship with dangerous goods", G::Cargo},
      {"Tanker", G::Tanker},
      {"Tanker with dangerous goods", G::Tanker},
      {"Passenger Ship", G::Passenger},
      {"High Speed Craft", G::HighSpeed},
      {"Wing in Grand", G::HighSpeed},
      {"Vessel Fishing", G::Fishing},
      {"Sailing Vessel", G::Pleasure},
      {"Pleasure Craft", G::Pleasure},
      {"Pilot Vessel", G::Service},
      {"SAR Vessel", G::Service},
      {"Tug", G::Service},
      {"Port Tender", G::Service},
      {"Vessel with anti-pollution fac.", G::Service},
      {"Law enforcement Vessel", G::Service},
      {"Medical Transport", G::Service},
      {"Vessel Towing", G::Service},
      {"Vessel Towing > 200m", G::Service},
      {"Vessel in Underwater Operations", G::Service},
      {"Vessel in Diving Operations", G::Service},
      {"Vessel in Military Operation", G::Service},
      {"Local Vessel", G::Service},
      {"Ships according RR Resol. No. 18", G::Service},
  }};
  if (shipsType.empty()) return G::Unknown;
  for (const auto& [text, group] : kGroups)
    if (text == shipsType) return group;
  return G::Other;
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
