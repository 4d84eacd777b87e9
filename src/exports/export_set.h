#pragma once
// What an export holds: the vessels, and of each the points the KML document shows (a
// position by HasValidPosition), in time order, cut into stretches at gaps.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "codec/placed_points.h"
#include "codec/vessel_rules.h"

namespace pelorin {

struct TExportVessel {
  const TStatic* Ship = nullptr;
  bool Own = false;  // entry 0 of the table
};

struct TExportSet {
  std::vector<TExportVessel> Vessels;  // table order
};

// The vessels the run's document shows: entry 0 alone for the own track, else every entry
// whose track the document draws; then only those the filter keeps.
TExportSet ExportSetOf(const TShipList& ships, bool allTracks, const TVesselFilter& filter = TVesselFilter{});
// The given entries (the Track Replay's selection), in table order.
TExportSet ExportSetOfEntries(const TShipList& ships, std::span<const size_t> entries);

// A line of the vessel's static data ("MMSI 211234560, call sign DABC, Cargo, all ships
// of this type, 120 x 20 m").
std::string VesselSummary(const TStatic& ship);

// The points of every vessel of the set, for the progress bars; and what is left of a
// vessel's after `exported` points were stepped in whole steps of kStepMask + 1.
int64_t ExportPointCount(const TExportSet& set);
int64_t RestOfTrack(const TExportVessel& vessel, size_t exported);

}  // namespace pelorin
