#pragma once
// Decoded AIS messages, and their conversions into track points and vessel records.
// Missing payload bits read as 0.
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/ais_records.h"

namespace pelorin {

// Messages 1, 2, 3 and 18 hold their fields' values as sent: a run decodes millions and
// "Reduced Data" drops most, so the display texts are made by the conversions, only for
// the points that are stored.
// Each field as wide as its bits need: the log pass keeps a piece's worth of them.
struct TMsg1 {  // messages 1, 2, 3
  uint8_t MsgID = 0, RI = 0;
  uint8_t NavStatus = 0;  // 0..15
  uint8_t ROT = 0;        // raw, -128..127 as 0..255
  uint8_t PA = 0;
  uint16_t Speed = 0;     // tenths of a knot
  uint16_t COG = 0;       // tenths of a degree
  uint16_t TH = 0;        // degrees
  uint32_t MMSI = 0;
  int32_t Lon = 0;        // 1/10000 minute
  int32_t Lat = 0;
  // The report's other fields (time stamp, manoeuvre, radio state) are used nowhere, and
  // a piece of log holds thousands of these: they are not kept.
};

struct TMsg18 {
  uint8_t Rep = 0, Sp1 = 0, PA = 0, TimeStamp = 0, Sp2 = 0;
  uint8_t CB_Unit = 0, CB_Disp = 0, CB_DSC = 0, CB_Band = 0, CB_M22 = 0;
  uint8_t Mode = 0;  // 1 "assigned", 0 "autonomous"
  uint8_t RAIM = 0, Comm_Flag = 0;
  uint16_t SOG = 0;  // tenths of a knot
  uint16_t COG = 0, TH = 0;
  uint32_t MMSI = 0;
  int32_t Lon = 0, Lat = 0;
  uint32_t Comm_State = 0;
};

struct TGPS_Pos {
  std::string A, B, C, D;
};

struct TMsg5 {
  std::string MMSI;
  int32_t Num_Stat = 0;
  int32_t Num_Dyn = 0;
  std::string IMO, CallSign, ShipName, ShipsType;
  int16_t ShipsTypeCode = 0;
  TDimension Dimension;
  std::string GNSS, ETA, Draught, Destination;
};

struct TMsg14 {
  std::string Rep, MMSI, Text, Spare;
};

struct TMsg24A {
  std::string Rep, MMSI, PN, Name;
};

struct TMsg24B {
  std::string Rep, MMSI, PN, ShipType, VendorID, CallSign;
  int16_t ShipTypeCode = 0;
  TGPS_Pos Dimension;
  std::string Sp;
};

// Into a record in place: the log pass's workers decode millions straight into their
// lists, where a returned record's copy stalled on the stores just made.
void AIS_DecodeMsg1(std::string_view payload, TMsg1& m);
void AIS_DecodeMsg18(std::string_view payload, TMsg18& m);
inline TMsg1 AIS_DecodeMsg1(std::string_view payload) {
  TMsg1 m;
  AIS_DecodeMsg1(payload, m);
  return m;
}
inline TMsg18 AIS_DecodeMsg18(std::string_view payload) {
  TMsg18 m;
  AIS_DecodeMsg18(payload, m);
  return m;
}
// Fill every field of `point`, whose memory the log pass has in its track already.
void Msg1ToDynamic(const TMsg1& msg, TDynamic& point);
void Msg18ToDynamic(const TMsg18& msg, TDynamic& point);

// The static decoders and conversions fill a working record: the log pass decodes every
// static report into the same one, whose texts' memory is then used again.
void AIS_DecodeMsg5(std::string_view payload, TMsg5& into);
TMsg14 AIS_DecodeMsg14(std::string_view payload);
void AIS_DecodeMsg24A(std::string_view payload, TMsg24A& into);
void AIS_DecodeMsg24B(std::string_view payload, TMsg24B& into);
void Msg5ToStatic(const TMsg5& msg, TStatic& into);
TStatic Msg14ToStatic(const TMsg14& msg);
void Msg24AToStatic(const TMsg24A& msg, TStatic& into);
void Msg24BToStatic(const TMsg24B& msg, TStatic& into);

}  // namespace pelorin
