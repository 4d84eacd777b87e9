#include "analysis/line_account.h"

#include <iterator>
#include <string_view>

#include "codec/number_text.h"

namespace pelorin {

namespace {

struct TOutcome {
  std::string_view Label;
  int64_t TLineAccount::*Count;  // null: the message types not used
};

// The report's order.
constexpr TOutcome kOutcomes[] = {
    {"Time sentences in the window", &TLineAccount::TimeInWindow},
    {"Time sentences outside the window", &TLineAccount::TimeOutsideWindow},
    {"Time sentences with status not A", &TLineAccount::TimeStatusNotA},
    {"Time sentences with a wrong field count", &TLineAccount::TimeFieldCount},
    {"Time sentences with a garbled date or time", &TLineAccount::TimeGarbled},
    {"Time sentences with an impossible date or time", &TLineAccount::TimeImpossible},
    {"AIS sentences while the window was closed", &TLineAccount::AisWindowClosed},
    {"Positions stored as track points", &TLineAccount::PositionsStored},
    {"Positions thinned by Reduced Data", &TLineAccount::PositionsThinned},
    {"Positions with unusable MMSI or position", &TLineAccount::PositionsUnusable},
    {"Static reports applied", &TLineAccount::StaticApplied},
    {"Static reports with unusable MMSI", &TLineAccount::StaticUnusable},
    {"First parts joined", &TLineAccount::FirstPartsJoined},
    {"First parts never joined", &TLineAccount::FirstPartsUnjoined},
    {"Second parts without their first part", &TLineAccount::SecondPartsAlone},
    {"Part counts other than 1 or 2", &TLineAccount::PartCountOther},
    {"AIS sentences with a wrong field count", &TLineAccount::AisFieldCount},
    {"Message 5 not in two parts", &TLineAccount::Msg5NotInTwoParts},
    {"Payloads too short", &TLineAccount::PayloadTooShort},
    {"Message types not used", nullptr},
    {"Base-station times rejected as implausible", &TLineAccount::StationTimesImplausible},
    {"Time sentences in files timed otherwise", &TLineAccount::TimeNotUsed},
    {"Checksum errors", &TLineAccount::ChecksumErrors},
    {"Other lines", &TLineAccount::OtherLines},
};

constexpr TOutcome kLineTimes[] = {
    {"Lines timed by tag blocks", &TLineAccount::LinesTimedByTagBlocks},
    {"Tag blocks with a bad checksum", &TLineAccount::TagBlockChecksums},
    {"Line times missing or unusable", &TLineAccount::LineTimesUnusable},
};

}  // namespace

void Add(TLineAccount& into, const TLineAccount& more) {
  into.LinesRead += more.LinesRead;
  into.LinesNotRead += more.LinesNotRead;
  for (const TOutcome& o : kOutcomes)
    if (o.Count != nullptr) into.*o.Count += more.*o.Count;
  for (const TOutcome& o : kLineTimes) into.*o.Count += more.*o.Count;
  for (size_t id = 0; id < std::size(into.UnusedTypes); ++id) into.UnusedTypes[id] += more.UnusedTypes[id];
}

std::vector<std::string> LineAccountReport(const TLineAccount& account) {
  std::vector<std::string> lines{"Lines read : " + IntToText(account.LinesRead)};
  for (const TOutcome& o : kOutcomes) {
    std::string counts;
    if (o.Count != nullptr) {
      if (account.*o.Count != 0) counts = IntToText(account.*o.Count);
    } else {
      for (size_t id = 0; id < std::size(account.UnusedTypes); ++id) {
        if (account.UnusedTypes[id] == 0) continue;
        if (!counts.empty()) counts += ", ";
        counts += IntToText(static_cast<int64_t>(id)) + " (" + IntToText(account.UnusedTypes[id]) + ")";
      }
    }
    if (!counts.empty()) lines.push_back("-" + std::string(o.Label) + " : " + counts);
  }
  if (account.LinesNotRead > 0) lines.push_back("-Lines not read : " + IntToText(account.LinesNotRead));
  for (const TOutcome& o : kLineTimes)
    if (account.*o.Count != 0) lines.push_back(std::string(o.Label) + " : " + IntToText(account.*o.Count));
  return lines;
}

}  // namespace pelorin
