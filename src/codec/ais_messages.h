#pragma once
// Decoded AIS messages as records of display texts, and their conversions into track
// points and vessel records. Missing payload bits read as 0.
#include <string>
#include <string_view>

#include "codec/ais_records.h"

namespace pelorin {

struct TMsg1 {  // messages 1, 2, 3
  std::string MsgID, RI, MMSI, NavStatus, ROT, Speed, PA, Lon, Lat, COG, TH;
  std::string TimeStamp, SpMan, Spare, RAIM, SyncState, SlotTO, RxStat, SlotNo, UTC_h_min, SlotIncr;
};

struct TMsg18 {
  std::string Rep, MMSI, Sp1, SOG, PA, Lon, Lat, COG, TH, TimeStamp, Sp2;
  std::string CB_Unit, CB_Disp, CB_DSC, CB_Band, CB_M22, Mode, RAIM, Comm_Flag, Comm_State;
};

struct TGPS_Pos {
  std::string A, B, C, D;
};

struct TMsg5 {
  std::string MMSI;
  int32_t Num_Stat = 0;
  int32_t Num_Dyn = 0;
  std::string IMO, CallSign, ShipName, ShipsType;
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
  TGPS_Pos Dimension;
  std::string Sp;
};

// The numbers of a position report (messages 1, 2, 3 and 18) that make a track point:
// the log pass decides on them and formats only the points it stores.
struct TPositionReport {
  bool ClassB = false;      // message 18: no status; its time-stamp second is kept
  uint32_t MMSI = 0;
  uint32_t NavStatus = 0;   // 0..15
  uint32_t Speed = 0;       // tenths of a knot
  int32_t Lon = 0;          // 1/10000 minute
  int32_t Lat = 0;
  uint32_t COG = 0;         // tenths of a degree
  uint32_t TH = 0;          // degrees
  uint32_t TimeStamp = 0;   // message 18's second
};

// For message id 18 the layout of message 18, for any other that of message 1.
TPositionReport AIS_DecodePosition(std::string_view payload, int msgId);
// The point of Msg1ToDynamic(AIS_DecodeMsg1(payload)) or Msg18ToDynamic(AIS_DecodeMsg18(payload)).
void PositionToDynamic(const TPositionReport& report, TDynamic& point);

TMsg1 AIS_DecodeMsg1(std::string_view payload);
TMsg18 AIS_DecodeMsg18(std::string_view payload);
TDynamic Msg1ToDynamic(const TMsg1& msg);
TDynamic Msg18ToDynamic(const TMsg18& msg);
// The same, taking over the texts of a message that is no longer needed.
TDynamic Msg1ToDynamic(TMsg1&& msg);
TDynamic Msg18ToDynamic(TMsg18&& msg);

TMsg5 AIS_DecodeMsg5(std::string_view payload);
TMsg14 AIS_DecodeMsg14(std::string_view payload);
TMsg24A AIS_DecodeMsg24A(std::string_view payload);
TMsg24B AIS_DecodeMsg24B(std::string_view payload);
// The same into a record whose texts' memory is used again (the log pass decodes every
// static report into one working record).
void AIS_DecodeMsg5(std::string_view payload, TMsg5& into);
void AIS_DecodeMsg24A(std::string_view payload, TMsg24A& into);
void AIS_DecodeMsg24B(std::string_view payload, TMsg24B& into);
TStatic Msg5ToStatic(const TMsg5& msg);
// The same, taking over the texts of a message that is no longer needed.
TStatic Msg5ToStatic(TMsg5&& msg);
TStatic Msg14ToStatic(const TMsg14& msg);
TStatic Msg24AToStatic(const TMsg24A& msg);
TStatic Msg24BToStatic(const TMsg24B& msg);
// The same into a working record: every field as the conversion above makes it.
void Msg5ToStatic(const TMsg5& msg, TStatic& into);
void Msg24AToStatic(const TMsg24A& msg, TStatic& into);
void Msg24BToStatic(const TMsg24B& msg, TStatic& into);

}  // namespace pelorin
