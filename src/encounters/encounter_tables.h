#pragma once
// The two tables of who came close: every vessel's closest approach to the own ship, and
// every encounter between any two vessels within a range.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "codec/ais_records.h"
#include "encounters/closest_approach.h"
#include "platform/progress_sink.h"

namespace pelorin {

inline constexpr double kDefaultEncounterNM = 0.5;
// A range as the user writes it (--encounter-nm, ENCOUNTER_NM): a number of NM above 0
// and at most 100; false for anything else.
bool ParseEncounterNM(const std::string& text, double& nm);
// Two ships moored side by side come no closer: an encounter needs this relative speed.
inline constexpr double kEncounterMinKn = 1.0;

// The vessels measured: entry 0 (the own ship) and every entry whose track the KML
// document draws, with their motions.
struct TFleetMotion {
  std::vector<size_t> Entries;
  std::vector<TMotionTrack> Tracks;  // by position in Entries
};
TFleetMotion FleetMotionOf(const TShipList& ships);

struct TOwnApproach {
  size_t Entry = 0;
  size_t Motion = 0;  // its place in TFleetMotion
  TApproach Closest;
};
// Sorted by distance (then time); vessels without common time with the own ship last, in
// table order. Empty when entry 0 has no position.
std::vector<TOwnApproach> OwnShipApproaches(const TFleetMotion& fleet, TProgressSink& sink);

struct TEncounter {
  uint32_t EntryA = 0, EntryB = 0;  // table order: A before B
  TCloseStretch Stretch;
};
// In time order of their closest moments. Progress on the Load bar; ESC ends the search
// early and sets `stopped`.
std::vector<TEncounter> FindEncounters(const TFleetMotion& fleet, double rangeNM, TProgressSink& sink, bool& stopped);

}  // namespace pelorin
