#include "analysis/ship_table.h"

#include <cstdint>
#include <cstring>

#include "codec/ais_fields.h"
#include "codec/number_text.h"
#include "codec/time_sentence_year.h"

namespace pelorin {

namespace {

// Up to `count` characters from 0-based `pos`: a piece that runs past the end of the
// text is shorter, one that starts past it is empty.
std::string_view Piece(std::string_view text, size_t pos, size_t count) {
  if (pos >= text.size()) return {};
  return text.substr(pos, count);
}

// A whole number of decimal digits only; false for empty, non-digits or overflow.
bool ParseWhole(std::string_view text, int64_t& out) {
  if (text.empty() || text.size() > 18) return false;
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  return true;
}

bool ParseInt(std::string_view text, int& out) {
  int64_t v = 0;
  if (!ParseWhole(text, v) || v > 99999) return false;
  out = static_cast<int>(v);
  return true;
}

// degrees + minutes / 60 with six decimals, rounded half up, in exact integer arithmetic.
bool DegreesText(std::string_view text, size_t degreeChars, TText& out) {
  int64_t degrees = 0;
  if (!ParseWhole(Piece(text, 0, degreeChars), degrees)) return false;
  const std::string_view minutes = Piece(text, degreeChars, std::string_view::npos);
  // minutes = numerator / 10^scale. Every rounding tie of the six degree decimals has at
  // most six minute decimals, so cutting the minutes after 18 never moves a result; it
  // also keeps 12 whole digits times 10^(18 + 6) inside 128 bits.
  __int128 numerator = 0, denominator = 1;
  bool seenDot = false, anyDigit = false;
  int wholeDigits = 0, scale = 0;
  for (char c : minutes) {
    if (c == '.') {
      if (seenDot) return false;
      seenDot = true;
      continue;
    }
    if (c < '0' || c > '9') return false;
    anyDigit = true;
    if (!seenDot) {
      if (++wholeDigits > 12) return false;
      numerator = numerator * 10 + (c - '0');
    } else if (scale < 18) {
      numerator = numerator * 10 + (c - '0');
      denominator *= 10;
      ++scale;
    }
  }
  if (!anyDigit) return false;
  // millionths = (degrees * 60 * den + num) * 10^6 / (60 * den)
  const __int128 top = (static_cast<__int128>(degrees) * 60 * denominator + numerator) * 1000000;
  const __int128 bottom = 60 * denominator;
  __int128 millionths = top / bottom;
  const __int128 rest = top % bottom;
  if (rest * 2 >= bottom) ++millionths;
  const int64_t whole = static_cast<int64_t>(millionths / 1000000);
  const int64_t frac = static_cast<int64_t>(millionths % 1000000);
  std::string result = std::to_string(whole);
  result += '.';
  std::string f = std::to_string(frac);
  result.append(6 - f.size(), '0');
  result += f;
  out = std::move(result);
  return true;
}

bool RMC_Accepted(const TFieldList& fields) { return fields.size() == 13 && fields[2] == "A"; }
bool ZDA_Accepted(const TFieldList& fields) { return fields.size() == 7 && !fields[1].empty(); }

void AppendTime(std::string_view time, TText& out) {
  out += Piece(time, 0, 2);
  out += ':';
  out += Piece(time, 2, 2);
  out += ':';
  out += Piece(time, 4, 2);
  out += 'Z';
}

// A piece of a fixed-width field: exactly two digits. A shorter piece comes from a field
// that lost characters, and would give a wrong instant and a time text that is not ISO.
bool ParseTwoDigits(std::string_view piece, int& out) { return piece.size() == 2 && ParseInt(piece, out); }

// hour, minute, second from characters 1-2, 3-4, 5-6 of a time field.
bool TimeParts(std::string_view time, int& h, int& m, int& s) {
  return ParseTwoDigits(Piece(time, 0, 2), h) && ParseTwoDigits(Piece(time, 2, 2), m) &&
         ParseTwoDigits(Piece(time, 4, 2), s);
}

TTimeVerdict RMC_Verdict(const TFieldList& fields, int currentYear, TDateTime& out) {
  out = 0;
  if (fields.size() != 13) return TTimeVerdict::FieldCount;
  if (fields[2] != "A") return TTimeVerdict::StatusNotA;
  const std::string_view date = fields[9];
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (!SentenceYear(Piece(date, 4, 2), currentYear, y) || !ParseTwoDigits(Piece(date, 2, 2), mo) ||
      !ParseTwoDigits(Piece(date, 0, 2), d) || !TimeParts(fields[1], h, mi, s))
    return TTimeVerdict::Garbled;
  TDateTime value = 0;
  if (!TryEncodeDateTime(y, mo, d, h, mi, s, value)) return TTimeVerdict::Impossible;
  out = value;
  return TTimeVerdict::Accepted;
}

TTimeVerdict ZDA_Verdict(const TFieldList& fields, int currentYear, TDateTime& out) {
  out = 0;
  if (fields.size() != 7) return TTimeVerdict::FieldCount;
  int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
  if (fields[1].empty() || !SentenceYear(Piece(fields[4], 2, 2), currentYear, y) || !ParseInt(fields[3], mo) ||
      !ParseInt(fields[2], d) || !TimeParts(fields[1], h, mi, s))
    return TTimeVerdict::Garbled;
  TDateTime value = 0;
  if (!TryEncodeDateTime(y, mo, d, h, mi, s, value)) return TTimeVerdict::Impossible;
  out = value;
  return TTimeVerdict::Accepted;
}

}  // namespace

size_t TMMSIHash::operator()(std::string_view text) const noexcept {
  // Eight bytes at a time, each mixed in with a multiply and a shift.
  uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 31;
  }
  uint64_t rest = 0;
  std::memcpy(&rest, text.data() + i, text.size() - i);
  h = (h ^ rest) * 0x94D049BB133111EBull;
  return static_cast<size_t>(h ^ (h >> 29));
}

void ClearShipTable(TAnalysisState& state) {
  state.aShipList.clear();
  state.ShipIndex.clear();
}

void InitShipEntry(TAnalysisState& state, size_t index) {
  // FindOrAddShip checks what the index finds, so an entry made new needs no index change.
  if (index < state.aShipList.size())
    state.aShipList[index] = TStatic{};
  else
    state.aShipList.resize(index + 1);
}

size_t FindOrAddShip(TAnalysisState& state, std::string_view mmsi) {
  TShipList& ships = state.aShipList;
  if (!ships.empty() && ships[0].MMSI == mmsi) return 0;
  auto it = state.ShipIndex.find(mmsi);
  if (it != state.ShipIndex.end() && it->second < ships.size() && ships[it->second].MMSI == mmsi)
    return it->second;
  if (it != state.ShipIndex.end()) {
    // The index went stale (an entry's MMSI was rewritten from outside): fall back to the
    // linear search, which defines the result.
    state.ShipIndex.erase(it);
    for (size_t i = 1; i < ships.size(); ++i)
      if (ships[i].MMSI == mmsi) {
        state.ShipIndex.emplace(std::string(mmsi), i);
        return i;
      }
  }
  const size_t index = ships.size();
  InitShipEntry(state, index);
  ships[index].MMSI = TText(mmsi);
  if (index > 0) state.ShipIndex.emplace(std::string(mmsi), index);
  return index;
}

void EnsureOwnShipEntry(TAnalysisState& state) {
  if (!state.aShipList.empty()) return;
  InitShipEntry(state, 0);
  state.aShipList[0].ShipName = TText(OwnShipName);
  state.aShipList[0].MMSI = TText(OwnShipMMSI);
}

bool NMEA_LonToDeg(std::string_view text, TText& out) { return DegreesText(text, 3, out); }
bool NMEA_LatToDeg(std::string_view text, TText& out) { return DegreesText(text, 2, out); }

bool IsValidMMSI(std::string_view mmsi) {
  int64_t value = 0;
  return ParseWhole(mmsi, value) && value > 0 && value < 999999999;
}

namespace {
// The MMSI text is the number's decimal text; the position texts are "n.a." outside their
// range and "0.000000" only for 0.
bool UsableReport(uint32_t mmsi, int32_t lon, int32_t lat) {
  return AIS_LatAvailable(lat) && !AIS_PositionIsZero(lat) && AIS_LonAvailable(lon) && !AIS_PositionIsZero(lon) &&
         mmsi > 0 && mmsi < 999999999;
}
}  // namespace

bool IsValidDynamic(const TMsg1& msg) { return UsableReport(msg.MMSI, msg.Lon, msg.Lat); }
bool IsValidDynamic(const TMsg18& msg) { return UsableReport(msg.MMSI, msg.Lon, msg.Lat); }

bool IsValidStatic(const TStatic& ship) { return IsValidMMSI(ship.MMSI); }

// The four digits of the year the value has; false when its digits cannot be read.
bool AppendYear(std::string_view digits, int currentYear, TText& out) {
  int year = 0;
  if (!SentenceYear(digits, currentYear, year) || year < 1000 || year > 9999) return false;
  TNumberChars chars;
  out += UIntChars(static_cast<uint32_t>(year), chars);
  return true;
}

void RMC_TimeStampStr(const TFieldList& fields, int currentYear, TText& out) {
  out.clear();
  if (!RMC_Accepted(fields)) return;
  const std::string_view date = fields[9];
  const std::string_view yy = Piece(date, 4, 2);
  if (!AppendYear(yy, currentYear, out)) {
    out += "20";
    out += yy;
  }
  out += '-';
  out += Piece(date, 2, 2);
  out += '-';
  out += Piece(date, 0, 2);
  out += 'T';
  AppendTime(fields[1], out);
}

bool RMC_TimeStampDT(const TFieldList& fields, int currentYear, TDateTime& out, TTimeVerdict* why) {
  const TTimeVerdict verdict = RMC_Verdict(fields, currentYear, out);
  if (why != nullptr) *why = verdict;
  return verdict == TTimeVerdict::Accepted;
}

void ZDA_TimeStampStr(const TFieldList& fields, int currentYear, TText& out) {
  out.clear();
  if (!ZDA_Accepted(fields)) return;
  // A year of other than four characters stands as given: its value was not read from it whole.
  if (fields[4].size() != 4 || !AppendYear(Piece(fields[4], 2, 2), currentYear, out)) out += fields[4];
  out += '-';
  out += fields[3];
  out += '-';
  out += fields[2];
  out += 'T';
  AppendTime(fields[1], out);
}

bool ZDA_TimeStampDT(const TFieldList& fields, int currentYear, TDateTime& out, TTimeVerdict* why) {
  const TTimeVerdict verdict = ZDA_Verdict(fields, currentYear, out);
  if (why != nullptr) *why = verdict;
  return verdict == TTimeVerdict::Accepted;
}

}  // namespace pelorin
