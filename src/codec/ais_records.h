#pragma once
// The records that decoded messages become: one track point and one vessel.
#include <cstdint>
#include <vector>

#include "memory/block_list.h"
#include "codec/tdatetime.h"
#include "codec/text.h"

namespace pelorin {

// Texts a point's numbers cannot always give back: an own-ship fix keeps its $GPRMC
// fields as the sentence wrote them, and a time sentence may spell its time otherwise
// than the time's own text (a ZDA month "3", a year "0011").
struct TPointExtra {
  TText TimeStampStr;          // empty: the text of the point's time
  TText Speed, COG, Lon, Lat;  // of an own-ship fix
  // A time too far from the track's first point for the point's offset (a damaged date).
  int64_t Seconds = kNoSeconds;
  static constexpr int64_t kNoSeconds = INT64_MIN;
};

// MsgType of an own-ship fix taken from $GPRMC.
inline constexpr uint8_t kOwnShipFix = 0;

// One point of a track: the sender's values as they came, 28 bytes; a run keeps millions.
// The texts the documents show are made from them when read (point_texts.h), and so is
// its time (PointSeconds, PointTime).
struct TDynamic {
  int32_t Time_Offset = 0;    // the log's GPS time when stored: seconds after TTrack::TimeBase
  int32_t Lon_Raw = 0;        // 1/10000 minute, east positive; a fix's degrees rounded to it
  int32_t Lat_Raw = 0;        // north positive
  uint32_t MMSI_Number = 0;
  uint32_t Extra = 0;         // 0, or 1 + the index of its TPointExtra in the track
  uint16_t SOG_Tenths = 0;    // tenths of a knot; 1023 not available (a fix: 0xFFFF)
  uint16_t COG_Tenths = 0;    // tenths of a degree; 3600 and above not available
  uint16_t TH_Degrees = 511;  // 360 and above not available
  uint8_t NavStatusCode = 15;
  uint8_t MsgType = kOwnShipFix;  // 1, 2, 3 or 18, or kOwnShipFix
};

static_assert(sizeof(TDynamic) == 28, "a track point stays compact");

// Points never move once stored, and appending copies nothing. The few texts that
// numbers cannot give back are kept beside them.
struct TTrack : TBlockList<TDynamic> {
  using TBlockList<TDynamic>::TBlockList;
  std::vector<TPointExtra> Extras;
  int64_t TimeBase = 0;  // seconds (TDateTimeToSeconds) of the first point

  void clear() {
    TBlockList<TDynamic>::clear();
    Extras.clear();
    TimeBase = 0;
  }
  const TPointExtra* ExtraOf(const TDynamic& point) const {
    return point.Extra == 0 ? nullptr : &Extras[point.Extra - 1];
  }
};

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
  int16_t ShipsTypeCode = -1;  // the number ShipsType was made from; -1 none
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
