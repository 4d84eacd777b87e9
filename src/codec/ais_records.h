#pragma once
// The records that decoded messages become: one track point and one vessel.
#include <cstdint>
#include <vector>

#include "codec/block_list.h"
#include "codec/short_text.h"
#include "codec/tdatetime.h"
#include "codec/text.h"

namespace pelorin {

// One point of a track. A run keeps millions, so its texts are compact: each holds what
// its field can carry in the record itself (longer texts go to the heap), and the
// status is shared with the code table. 96 bytes.
struct TDynamic {
  TShortText<11> MMSI;         // up to ten digits
  TSharedText NavStatus;
  TShortText<8> Speed;         // "n.a.", "102"
  TShortText<12> Lon;          // "-179.999999"
  TShortText<12> Lat;
  TShortText<8> COG;
  TShortText<8> TH;
  TShortText<21> TimeStampStr;  // YYYY-MM-DDTHH:MM:SSZ, the GPS time of the log
  TDateTime TimeStampDT = 0;
};

static_assert(sizeof(TDynamic) == 96, "a track point stays compact");

// Points never move once stored, and appending copies nothing.
using TTrack = TBlockList<TDynamic>;

struct TDimension {
  TText Laenge;  // length, metres
  TText Breite;  // width, metres
};

// One vessel. Counters are 64-bit: a year of logs overflows 32 bits.
struct TStatic {
  TText MMSI;
  TText AISclass;
  int64_t Num_Msg5 = 0;
  int64_t Num_Msg14 = 0;
  TText IMO;
  TText CallSign;
  TText ShipName;
  TText ShipsType;
  TDimension Dimension;
  TText GNSS;
  TText ETA;
  TText Draught;
  TText Destination;
  TText VendorID;
  TText NavStatus;
  TDateTime LastReport = 0;
  TTrack aPlot;
};

// Makes `s` what a new TStatic is, keeping its texts' memory for reuse.
void ClearStatic(TStatic& s);

// The ship table aShipList: entry 0 is the own vessel.
using TShipList = std::vector<TStatic>;

}  // namespace pelorin
