#pragma once
// The work of the log pass that depends on nothing before it: cutting a piece of a file
// into lines, splitting and checksumming each, decoding the single-sentence position
// reports and reading the time sentences. Worker threads do it ahead of the pass, which
// then walks the records in line order and applies the rules that do depend on what came
// before (window, reassembly, thinning, the ship table).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

#include "analysis/ship_table.h"
#include "codec/ais_messages.h"
#include "codec/line_stamp.h"
#include "codec/nmea.h"
#include "codec/tdatetime.h"

namespace pelorin {

// Where a field lies in its line.
struct TFieldSpan {
  uint32_t At = 0, Size = 0;
};

// Field 1 or 2 of an AIS sentence, "1" or "2", as the pass compares it.
enum TPartDigit : uint8_t { pd_Other = 0, pd_One = 1, pd_Two = 2 };

// One line in 16 bytes. A piece holds tens of thousands, written by one core and read by
// another, and moving a cache line between cores costs here about as much as decoding
// the line: every byte counts. A single-sentence position report the worker has decoded
// keeps, instead of where the line lies, the numbers the pass uses (MMSI, speed, Lon,
// Lat, course, heading, status: 120 bits at their own widths); the pass never reads its
// line. Any other line keeps where it lies, its kind, identifier and field count.
struct alignas(16) TLineRecord {
  uint8_t Bytes[15];
  uint8_t Tag;  // bits 0-1 field 1, 2-3 field 2 (TPartDigit), then the flags below

  // kStamped: the line carried a time of its own (its reading in the piece's Stamps).
  static constexpr uint8_t kDecoded1 = 0x10, kDecoded18 = 0x20, kOwn = 0x40, kStamped = 0x80;

  bool Decoded() const { return (Tag & (kDecoded1 | kDecoded18)) != 0; }
  TPartDigit Count() const { return static_cast<TPartDigit>(Tag & 3); }
  TPartDigit Number() const { return static_cast<TPartDigit>((Tag >> 2) & 3); }  // a decoded 1-3: its id
  TSentenceKind Kind() const {
    if (Decoded()) return (Tag & kOwn) != 0 ? sk_OwnAIS : sk_AIS;
    return static_cast<TSentenceKind>(Bytes[12]);
  }
  bool Stamped() const { return (Tag & kStamped) != 0; }
  // Of a line not decoded (empty for a decoded one), its sentence without what surrounds it:
  std::string_view Line() const;
  uint8_t MsgID() const { return Bytes[13]; }   // of a single-sentence AIS sentence: AIS_MsgID
  uint8_t Fields() const { return Bytes[14]; }  // how many, 255 for more
};

static_assert(sizeof(TLineRecord) == 16, "a line record stays compact");

// A record's 16 bytes as two words, as a worker makes them in registers and stores them
// whole: a record assembled in memory from stores of smaller widths and then copied
// cannot be taken from the store queue, and the copy waits for the stores to reach the
// cache. A line of 4 GB or more is kept as its first 4 GB less a byte.
struct TRecordWords {
  uint64_t Low, High;
};
// The record of a decoded report, of a line of that kind.
TRecordWords PositionWords(const TMsg1& msg, TSentenceKind kind);
TRecordWords PositionWords(const TMsg18& msg, TSentenceKind kind);
// The MMSI of a decoded report, without unpacking the rest.
inline uint32_t RecordMMSI(const TLineRecord& r) {
  uint32_t low;
  std::memcpy(&low, r.Bytes, sizeof low);
  return low & ((uint32_t{1} << 30) - 1);
}
// The decoded report back, with the fields the pass uses; the others are 0.
TMsg1 RecordMsg1(const TLineRecord& r);
TMsg18 RecordMsg18(const TLineRecord& r);

// Whether the piece has a time sentence's reading (in Times) or an AIS sentence's fields
// (in Spans) for the record, in the records' order.
inline bool HasTimeRecord(const TLineRecord& r) {
  const TSentenceKind kind = r.Kind();
  return !r.Decoded() && (kind == sk_RMC || kind == sk_ZDA);
}
inline bool HasAisSpans(const TLineRecord& r) {
  const TSentenceKind kind = r.Kind();
  return !r.Decoded() && (kind == sk_AIS || kind == sk_OwnAIS) && r.Fields() == 7;
}

// An AIS sentence's fields 3 and 5.
struct TAisSpans {
  TFieldSpan Id, Payload;
};

// RMC_TimeStampDT or ZDA_TimeStampDT of a time sentence.
struct TTimeRecord {
  bool Ok = false;
  TTimeVerdict Why = TTimeVerdict::Accepted;
  TDateTime Time = 0;
};

// Whole lines of a file, and what was made of them.
struct TLinePiece {
  std::vector<char> Bytes;  // the lines, then 16 bytes that may be read past them
  size_t Size = 0;          // of the lines
  std::vector<TLineRecord> Records;  // room for them: the first RecordCount are the lines'
  size_t RecordCount = 0;
  std::vector<TTimeRecord> Times;  // of the records with HasTimeRecord, in order
  std::vector<TAisSpans> Spans;    // of the records with HasAisSpans, in order
  std::vector<TLineStamp> Stamps;  // of the Stamped records, in order
  int CurrentYear = 0;             // the time sentences' two-digit years are placed around it
};

inline std::string_view FieldOf(std::string_view line, TFieldSpan span) { return line.substr(span.At, span.Size); }

inline std::span<const TLineRecord> RecordsOf(const TLinePiece& piece) {
  return {piece.Records.data(), piece.RecordCount};
}

// Cuts the piece's bytes into lines (ending at CR LF, CR or LF; a last line without an
// end counts) and makes a record of each. `forAnotherCore`: the records are read by
// another core, later.
void MakeLineRecords(TLinePiece& piece, bool forAnotherCore);

}  // namespace pelorin
