#include "codec/ais_tables.h"

#include <array>

namespace pelorin {

using namespace std::string_view_literals;

std::string_view NavStatusText(unsigned code) {
  static constexpr std::array<std::string_view, 16> kTexts = {
      "under way using engine"sv, "at anchor"sv,        "not under command"sv,
      "restricted manoeuvrability"sv, "constrained by her draught"sv, "moored"sv,
      "aground"sv,               "engaged in fishing"sv, "under way sailing"sv,
      "not specified"sv,         "not specified"sv,    "not specified"sv,
      "not specified"sv,         "not specified"sv,    "AIS SART"sv,
      "not specified"sv};
  return code < kTexts.size() ? kTexts[code] : "n.a."sv;
}

std::string_view EPFDText(unsigned code) {
  static constexpr std::array<std::string_view, 9> kTexts = {
      "n.a."sv,    "GPS"sv,    "GLONASS"sv,             "GPS/GLONASS"sv, "Loran-C"sv,
      "Chayka"sv,  "Integr. Nav. System"sv, "Supervised"sv, "Galileo"sv};
  if (code < kTexts.size()) return kTexts[code];
  return code <= 15 ? "n.a."sv : std::string_view();
}

std::string_view ShipTypeText(unsigned code) {
  if (code > 255) return {};
  if (code <= 19) return "Vessel"sv;
  if (code <= 29) return "Wing in Grand"sv;
  switch (code) {
    case 30: return "Vessel Fishing"sv;
    case 31: return "Vessel Towing"sv;
    case 32: return "Vessel Towing > 200m"sv;
    case 33: return "Vessel in Underwater Operations"sv;
    case 34: return "Vessel in Diving Operations"sv;
    case 35: return "Vessel in Military Operation"sv;
    case 36: return "Sailing Vessel"sv;
    case 37: return "Pleasure Craft"sv;
    case 38:
    case 39: return "Vessel"sv;
    case 50: return "Pilot Vessel"sv;
    case 51: return "SAR Vessel"sv;
    case 52: return "Tug"sv;
    case 53: return "Port Tender"sv;
    case 54: return "Vessel with anti-pollution fac."sv;
    case 55: return "Law enforcement Vessel"sv;
    case 56:
    case 57: return "Local Vessel"sv;
    case 58: return "Medical Transport"sv;
    case 59: return "Ships according RR Resol. No. 18"sv;
    case 70: return "Cargo Ship"sv;
    case 80: return "Tanker"sv;
    default: break;
  }
  if (code <= 49) return "High Speed Craft"sv;
  if (code <= 69) return "Passenger Ship"sv;
  if (code <= 74) return "Cargo Ship with dangerous goods"sv;
  if (code <= 79) return "Cargo Ship"sv;
  if (code <= 84) return "Tanker with dangerous goods"sv;
  if (code <= 89) return "Tanker"sv;
  return "Ship with no information"sv;
}

}  // namespace pelorin
