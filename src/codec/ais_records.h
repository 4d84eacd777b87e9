#pragma once
// The records that decoded messages become: one track point and one vessel.
#include <cstdint>
#include <vector>

#include "codec/tdatetime.h"
#include "codec/text.h"

namespace pelorin {

// One point of a track.
struct TDynamic {
  TText MMSI;
  TText NavStatus;
  TText Speed;
  TText Lon;
  TText Lat;
  TText COG;
  TText TH;
  TText TimeStampStr;  // YYYY-MM-DDTHH:MM:SSZ, the GPS time of the log
  TDateTime TimeStampDT = 0;
};

using TTrack = std::vector<TDynamic>;

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

// The ship table aShipList: entry 0 is the own vessel.
using TShipList = std::vector<TStatic>;

}  // namespace pelorin
