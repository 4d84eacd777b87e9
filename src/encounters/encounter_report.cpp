#include "encounters/encounter_report.h"

#include <cstdio>

#include "codec/point_texts.h"
#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

std::string Fixed(double value, int decimals) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string TimeText(int64_t seconds) {
  char text[20];
  return TimeStampChars(SecondsToTDateTime(seconds), text) ? std::string(text, sizeof text) : std::string();
}

std::string Tenths(int tenths) { return tenths < 0 ? std::string() : Fixed(tenths / 10.0, 1); }

// The reported speed and course at or before the moment.
void Reported(const TMotionTrack& track, int64_t seconds, std::string& sog, std::string& cog) {
  if (const TDynamic* report = ReportAt(track, seconds)) {
    sog = Tenths(SpeedTenths(*report));
    cog = Tenths(CourseTenths(*report));
  }
}

}  // namespace

TEncounterRow OwnApproachCells(const TShipList& ships, const TFleetMotion& fleet, const TOwnApproach& row) {
  const TStatic& ship = ships[row.Entry];
  TEncounterRow cells{ship.MMSI, VesselTitle(ship)};
  const TApproach& c = row.Closest;
  if (!c.Found) return cells;
  cells[2] = Fixed(c.DistanceNM, 2);
  cells[3] = TimeText(c.Seconds);
  cells[4] = std::to_string(c.Bearing);
  Reported(fleet.Tracks[0], c.Seconds, cells[5], cells[6]);
  Reported(fleet.Tracks[row.Motion], c.Seconds, cells[7], cells[8]);
  cells[9] = Fixed(c.RelativeKn, 1);
  return cells;
}

TEncounterRow EncounterCells(const TShipList& ships, const TEncounter& e) {
  const TStatic& a = ships[e.EntryA];
  const TStatic& b = ships[e.EntryB];
  const TApproach& c = e.Stretch.Closest;
  return {a.MMSI,          VesselTitle(a),        b.MMSI,                  VesselTitle(b),
          Fixed(c.DistanceNM, 2), TimeText(c.Seconds), std::to_string(c.Bearing), Fixed(c.RelativeKn, 1),
          TimeText(e.Stretch.Start), TimeText(e.Stretch.End)};
}

std::string TabLine(const TEncounterRow& cells) {
  std::string line = cells[0];
  for (size_t k = 1; k < cells.size(); ++k) line += "\t" + cells[k];
  return line;
}

std::string TabLine(const std::array<const char*, 10>& columns) {
  std::string line = columns[0];
  for (size_t k = 1; k < columns.size(); ++k) line += std::string("\t") + columns[k];
  return line;
}

}  // namespace pelorin
