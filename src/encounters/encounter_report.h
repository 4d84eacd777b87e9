#pragma once
// The cells of the two tables, as the command line prints them (tab-separated) and the
// Track Replay's tables show them: distances with two decimals, speeds with one, times as
// YYYY-MM-DDTHH:MM:SSZ, names by the KML's vessel name rule; a vessel without common time
// with the own ship has its MMSI and name and the rest empty.
#include <array>
#include <string>

#include "codec/ais_records.h"
#include "encounters/encounter_tables.h"

namespace pelorin {

using TEncounterRow = std::array<std::string, 10>;

inline constexpr std::array<const char*, 10> kOwnApproachColumns = {
    "MMSI", "Name", "CPA_NM", "CPA_Time", "Bearing", "Own_SOG", "Own_COG", "SOG", "COG", "Rel_Speed_kn"};
inline constexpr std::array<const char*, 10> kEncounterColumns = {
    "MMSI_A", "Name_A", "MMSI_B", "Name_B", "CPA_NM", "CPA_Time", "Bearing", "Rel_Speed_kn", "Start", "End"};

TEncounterRow OwnApproachCells(const TShipList& ships, const TFleetMotion& fleet, const TOwnApproach& row);
TEncounterRow EncounterCells(const TShipList& ships, const TEncounter& encounter);

// The cells joined by tabs.
std::string TabLine(const TEncounterRow& cells);
std::string TabLine(const std::array<const char*, 10>& columns);

}  // namespace pelorin
