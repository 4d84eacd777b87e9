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

// The reported speed and course at or before the moment, as SOG<TAB>COG.
std::string Reported(const TMotionTrack& track, int64_t seconds) {
  const TDynamic* report = ReportAt(track, seconds);
  if (report == nullptr) return "\t";
  return Tenths(SpeedTenths(*report)) + "\t" + Tenths(CourseTenths(*report));
}


}  // namespace

std::vector<std::string> EncounterReportLines(const TShipList& ships, const TFleetMotion& fleet,
                                              const std::vector<TOwnApproach>& own,
                                              const std::vector<TEncounter>& encounters) {
  std::vector<std::string> lines;
  lines.push_back("MMSI\tName\tCPA_NM\tCPA_Time\tBearing\tOwn_SOG\tOwn_COG\tSOG\tCOG\tRel_Speed_kn");
  std::vector<const TMotionTrack*> trackOf(ships.size(), nullptr);
  for (size_t v = 0; v < fleet.Entries.size(); ++v) trackOf[fleet.Entries[v]] = &fleet.Tracks[v];
  for (const TOwnApproach& row : own) {
    const TStatic& ship = ships[row.Entry];
    std::string line = ship.MMSI + "\t" + VesselTitle(ship);
    const TApproach& c = row.Closest;
    if (c.Found)
      line += "\t" + Fixed(c.DistanceNM, 2) + "\t" + TimeText(c.Seconds) + "\t" + std::to_string(c.Bearing) + "\t" +
              Reported(*trackOf[0], c.Seconds) + "\t" + Reported(*trackOf[row.Entry], c.Seconds) + "\t" +
              Fixed(c.RelativeKn, 1);
    else
      line += "\t\t\t\t\t\t\t\t";
    lines.push_back(line);
  }
  lines.emplace_back();
  lines.push_back("MMSI_A\tName_A\tMMSI_B\tName_B\tCPA_NM\tCPA_Time\tBearing\tRel_Speed_kn\tStart\tEnd");
  for (const TEncounter& e : encounters) {
    const TStatic& a = ships[e.EntryA];
    const TStatic& b = ships[e.EntryB];
    const TApproach& c = e.Stretch.Closest;
    lines.push_back(a.MMSI + "\t" + VesselTitle(a) + "\t" + b.MMSI + "\t" + VesselTitle(b) + "\t" + Fixed(c.DistanceNM, 2) +
                    "\t" + TimeText(c.Seconds) + "\t" + std::to_string(c.Bearing) + "\t" + Fixed(c.RelativeKn, 1) +
                    "\t" + TimeText(e.Stretch.Start) + "\t" + TimeText(e.Stretch.End));
  }
  return lines;
}

}  // namespace pelorin
