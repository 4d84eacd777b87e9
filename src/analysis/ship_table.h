#pragma once
// Unit_ShipList: the ship table, the analysis state the log pass keeps beside it, and the
// helpers that turn time sentences into time stamps and own-ship positions.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "analysis/line_account.h"
#include "codec/ais_messages.h"
#include "codec/ais_records.h"
#include "codec/nmea.h"
#include "codec/tdatetime.h"
#include "codec/text.h"

namespace pelorin {

inline constexpr std::string_view OwnShipMMSI = "111111111";
inline constexpr std::string_view OwnShipName = "Own Ship";

// Hashes an MMSI text without building a string from a view.
struct TMMSIHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept;
};

struct TAnalysisState {
  TShipList aShipList;
  TText GPS_TimeStampStr;       // never cleared once set
  TDateTime GPS_TimeStampDT = 0;
  bool InTimeWindow = false;
  bool OwnAIS_Seen = false;
  int64_t Num_Dynamic = 0;
  int64_t Num_Static = 0;
  TLineAccount Account;  // of the run's passes so far

  // MMSI -> index for entries 1.. (their MMSIs are unique and never change). Entry 0 is
  // compared directly, since the own vessel's reports rewrite its MMSI.
  std::unordered_map<std::string, size_t, TMMSIHash, std::equal_to<>> ShipIndex;
};

// Empties the table and its index.
void ClearShipTable(TAnalysisState& state);
// Makes entry `index` a new entry (empty texts, counters 0, empty track); an index at or
// past the table's end grows the table to it.
void InitShipEntry(TAnalysisState& state, size_t index);
// The first entry whose MMSI equals `mmsi`; when none does, a new entry appended at the
// end with `mmsi` written into it.
size_t FindOrAddShip(TAnalysisState& state, std::string_view mmsi);
// Entry 0 as the own-ship entry ("Own Ship", "111111111") when the table is empty.
void EnsureOwnShipEntry(TAnalysisState& state);

// dddmm.mmmm / ddmm.mmmm -> degrees with six decimals, no sign. False (and `out` left
// alone) when the text is not a number of that form.
bool NMEA_LonToDeg(std::string_view text, TText& out);
bool NMEA_LatToDeg(std::string_view text, TText& out);

// Whether the point that Msg1ToDynamic / Msg18ToDynamic makes of a report is usable: its
// MMSI a whole number in 1..999999998, Lat and Lon present, not "n.a.", not "0.000000".
// Decided on the numbers, so that a report the pass drops is never formatted.
bool IsValidDynamic(const TMsg1& msg);
bool IsValidDynamic(const TMsg18& msg);
bool IsValidStatic(const TStatic& ship);
bool IsValidMMSI(std::string_view mmsi);

// Why a time sentence was refused.
enum class TTimeVerdict : unsigned char { Accepted, StatusNotA, FieldCount, Garbled, Impossible };

// `why`, when given, is set to the verdict. Two-digit years are placed around
// `currentYear` by the scan's rule (SentenceYear), so that the calendars and the tracks
// agree; a ZDA year is read from its characters 3-4 as the scan reads it.
bool RMC_TimeStampDT(const TFieldList& fields, int currentYear, TDateTime& out, TTimeVerdict* why = nullptr);
bool ZDA_TimeStampDT(const TFieldList& fields, int currentYear, TDateTime& out, TTimeVerdict* why = nullptr);
// Into a reused text (no allocation once it has grown). The year is the one the value
// has; where its digits cannot be read, the characters stand as they are.
void RMC_TimeStampStr(const TFieldList& fields, int currentYear, TText& out);
void ZDA_TimeStampStr(const TFieldList& fields, int currentYear, TText& out);

}  // namespace pelorin
