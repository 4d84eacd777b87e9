#include "exports/export_set.h"

#include <algorithm>
#include <cstdlib>

#include "codec/point_texts.h"
#include "exports/export_file.h"

namespace pelorin {

TExportSet ExportSetOf(const TShipList& ships, bool allTracks, const TVesselFilter& filter) {
  TExportSet set;
  const size_t shown = allTracks ? ships.size() : std::min<size_t>(ships.size(), 1);
  for (size_t i = 0; i < shown; ++i)
    if (KmlShowsTrack(ships[i]) && VesselListed(filter, ships[i])) set.Vessels.push_back({&ships[i], i == 0});
  return set;
}

TExportSet ExportSetOfEntries(const TShipList& ships, std::span<const size_t> entries) {
  std::vector<size_t> sorted(entries.begin(), entries.end());
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  TExportSet set;
  for (size_t i : sorted)
    if (i < ships.size() && KmlShowsTrack(ships[i])) set.Vessels.push_back({&ships[i], i == 0});
  return set;
}

std::string VesselSummary(const TStatic& ship) {
  std::string out = "MMSI " + ship.MMSI;
  const auto known = [](const std::string& text) { return !text.empty() && text != "n.a." && text != "0"; };
  if (known(ship.CallSign)) out += ", call sign " + ship.CallSign.substr(0, ship.CallSign.find_last_not_of(' ') + 1);
  if (known(ship.IMO)) out += ", IMO " + ship.IMO;
  if (known(ship.ShipsType)) out += ", " + ship.ShipsType;
  if (known(ship.Dimension.Laenge) && known(ship.Dimension.Breite))
    out += ", " + ship.Dimension.Laenge + " x " + ship.Dimension.Breite + " m";
  return out;
}

int64_t ExportPointCount(const TExportSet& set) {
  int64_t n = 0;
  for (const TExportVessel& v : set.Vessels) n += static_cast<int64_t>(v.Ship->aPlot.size());
  return n;
}

}  // namespace pelorin

namespace pelorin {

int64_t RestOfTrack(const TExportVessel& vessel, size_t exported) {
  const size_t stepped = exported / (kStepMask + 1) * (kStepMask + 1);
  return static_cast<int64_t>(vessel.Ship->aPlot.size() - stepped);
}

}  // namespace pelorin
