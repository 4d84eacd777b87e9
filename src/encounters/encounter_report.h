#pragma once
// The two tables as tab-separated lines: the own-ship table's header and rows, an empty
// line, then the encounters' header and rows.
#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "encounters/encounter_tables.h"

namespace pelorin {

std::vector<std::string> EncounterReportLines(const TShipList& ships, const TFleetMotion& fleet,
                                              const std::vector<TOwnApproach>& own,
                                              const std::vector<TEncounter>& encounters);

}  // namespace pelorin
