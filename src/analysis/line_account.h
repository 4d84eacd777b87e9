#pragma once
// What became of every line a run's passes read: one count per outcome, each line under
// exactly one, so that the counts add up to LinesRead. Plain counters, so that the pass
// can count at full speed and accounts of separate passes can be added.
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

struct TLineAccount {
  int64_t LinesRead = 0;
  int64_t TimeInWindow = 0;        // time sentences that opened or kept the window
  int64_t TimeOutsideWindow = 0;   // read well, but outside the window: they close it
  int64_t TimeStatusNotA = 0;      // $GPRMC whose status is not "A"
  int64_t TimeFieldCount = 0;
  int64_t TimeGarbled = 0;         // a date or time field that is not digits where digits belong
  int64_t TimeImpossible = 0;      // digits, but no such date or time (month 13, 25 o'clock)
  int64_t AisWindowClosed = 0;     // also before the first time sentence
  int64_t PositionsStored = 0;
  int64_t PositionsThinned = 0;    // "Reduced Data"
  int64_t PositionsUnusable = 0;   // MMSI or position fails the usability test
  int64_t StaticApplied = 0;       // messages 5, 24A, 24B and 14
  int64_t StaticUnusable = 0;      // MMSI fails the usability test
  int64_t FirstPartsJoined = 0;    // the second part counts under what became of the message
  int64_t FirstPartsUnjoined = 0;  // replaced by a newer first part, or still waiting at the end
  int64_t SecondPartsAlone = 0;    // no stored first part with its id
  int64_t PartCountOther = 0;      // number of sentences not "1" or "2"
  int64_t AisFieldCount = 0;       // not exactly 7 fields
  int64_t Msg5NotInTwoParts = 0;   // not completed by a sentence numbered "2"
  int64_t PayloadTooShort = 0;     // also empty payloads
  int64_t UnusedTypes[64] = {};    // by message identifier
  int64_t StationTimesImplausible = 0;  // base-station UTC of a wrong date or far from the others
  int64_t TimeNotUsed = 0;         // time sentences of a file timed by another source
  int64_t ChecksumErrors = 0;      // a tag the pass reads, a checksum that fails
  int64_t OtherLines = 0;          // other sentences, empty lines, anything else
  // Lines of the run's entries that no pass read (a stop, a card that changed, a read
  // error): not part of LinesRead, set by the run before it reports.
  int64_t LinesNotRead = 0;
  // Beside the outcomes, not among them: what the lines' own times were.
  int64_t LinesTimedByTagBlocks = 0;  // also an ISO 8601 prefix or a trailing UNIX time
  int64_t TagBlockChecksums = 0;      // a tag block whose checksum fails
  int64_t LineTimesUnusable = 0;      // a stamp whose time is missing or far off
};

void Add(TLineAccount& into, const TLineAccount& more);

// "Lines read : N", then "-<outcome> : <count>" for every outcome with a count, in a
// fixed order, then "-Lines not read : N" when there were any, then "<count> : N" for
// the lines' own times, where there were any.
std::vector<std::string> LineAccountReport(const TLineAccount& account);

}  // namespace pelorin
