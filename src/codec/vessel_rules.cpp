#include "codec/vessel_rules.h"

#include <algorithm>
#include <charconv>

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

std::string VesselTitle(const TStatic& ship) {
  const TVesselName name = KmlVesselName(ship);
  std::string text = std::string(name.Prefix) + std::string(name.Text);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

bool HasValidPosition(const TTrack& track, const TDynamic& point) {
  if (point.MsgType != kOwnShipFix) {
    // Reports keep their values as sent; only 0 reads "0.000000".
    auto valid = [](int32_t raw, int32_t limit) { return raw != 0 && raw >= -limit && raw <= limit; };
    return valid(point.Lat_Raw, 90 * 600000) && valid(point.Lon_Raw, 180 * 600000);
  }
  // A fix's texts are the sentence's own: "-0.000000" is a place.
  const TPointExtra* fix = track.ExtraOf(point);
  auto valid = [](std::string_view text) { return !text.empty() && text != "n.a." && text != "0.000000"; };
  return fix != nullptr && valid(fix->Lat) && valid(fix->Lon);
}

bool MMSINumberOf(std::string_view mmsi, uint32_t& number) {
  if (mmsi.empty() || mmsi.size() > 9) return false;
  const auto [end, ec] = std::from_chars(mmsi.data(), mmsi.data() + mmsi.size(), number);
  return ec == std::errc() && end == mmsi.data() + mmsi.size();
}

bool VesselListed(const TVesselFilter& filter, const TStatic& ship) {
  if (filter.MMSIs.empty()) return true;
  uint32_t number = 0;
  return MMSINumberOf(ship.MMSI, number) && std::binary_search(filter.MMSIs.begin(), filter.MMSIs.end(), number);
}

TVesselKind VesselKindOf(const TStatic& ship, bool ownVessel) {
  if (ownVessel) return TVesselKind::Own;
  return IsSart(ship.MMSI) ? TVesselKind::Sart : TVesselKind::Other;
}

TShipTypeGroup ShipTypeGroupOf(int code) {
  using G = TShipTypeGroup;
  if (code <= 0 || code > 255) return G::Unknown;
  switch (code / 10) {
    case 2:
    case 4: return G::HighSpeed;  // wing in ground, high speed craft
    case 5: return G::Service;    // pilot, SAR, tug, tender, police, medical, local
    case 6: return G::Passenger;
    case 7: return G::Cargo;
    case 8: return G::Tanker;
    case 3: break;
    default: return G::Other;     // reserved, "other type", and codes past 99
  }
  if (code == 30) return G::Fishing;
  if (code == 36 || code == 37) return G::Pleasure;
  return code <= 35 ? G::Service : G::Other;  // towing, dredging, diving, military; 38-39 reserved
}

}  // namespace pelorin
