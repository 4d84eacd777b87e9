#pragma once
// The work of the log pass that depends on nothing before it: cutting a piece of a file
// into lines, splitting and checksumming each, decoding the single-sentence position
// reports and reading the time sentences. Worker threads do it ahead of the pass, which
// then walks the records in line order and applies the rules that do depend on what came
// before (window, reassembly, thinning, the ship table).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analysis/ship_table.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"
#include "codec/tdatetime.h"

namespace pelorin {

// Where a field lies in its line.
struct TFieldSpan {
  uint32_t At = 0, Size = 0;
};

// Field 1 or 2 of an AIS sentence, "1" or "2", as the pass compares it.
enum TPartDigit : uint8_t { pd_Other = 0, pd_One = 1, pd_Two = 2 };

// One line, compact: a piece holds tens of thousands, written by one core and read by
// another, so every byte here is traffic between them. A decoded position report is
// all the pass needs of its line; it reads the line's bytes only for the rarer kinds.
struct TLineRecord {
  const char* Data = nullptr;
  uint32_t Size = 0;  // a line of 4 GB or more is read as its first 4 GB less a byte
  TSentenceKind Kind = sk_Other;
  uint8_t Decoded = 0;  // a position report decoded into the piece: 1 (messages 1-3) or 18
  uint8_t MsgID = 0;    // of a single-sentence AIS report: AIS_MsgID, 240 and 241 included
  uint8_t Fields = 0;   // how many, 255 for more
  TPartDigit Count = pd_Other, Number = pd_Other;  // an AIS sentence of seven fields: fields 1 and 2
  // Its message in Msg1 or Msg18, a time sentence's in Times, or the fields of any other
  // AIS sentence of seven fields in Spans.
  uint32_t Extra = 0;

  std::string_view Line() const { return {Data, Size}; }
};

static_assert(sizeof(TLineRecord) == 24, "a line record stays compact");

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
  std::vector<TLineRecord> Records;
  std::vector<TMsg1> Msg1;
  std::vector<TMsg18> Msg18;
  std::vector<TTimeRecord> Times;
  std::vector<TAisSpans> Spans;
};

inline std::string_view FieldOf(const TLineRecord& r, TFieldSpan span) { return r.Line().substr(span.At, span.Size); }

// Cuts the piece's bytes into lines (ending at CR LF, CR or LF; a last line without an
// end counts) and makes a record of each.
void MakeLineRecords(TLinePiece& piece);

}  // namespace pelorin
