// Messages 1, 2 and 3: class A position report (ITU-R M.1371, table of message 1).
#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"

namespace pelorin {

void AIS_DecodeMsg1(std::string_view payload, TMsg1& m) {
  const TPayloadBits b = AIS_PayloadBits(payload, 28);
  m = TMsg1{};
  m.MsgID = AIS_Bits(b, 0, 6);
  m.RI = AIS_Bits(b, 6, 2);
  m.MMSI = AIS_Bits(b, 8, 30);
  m.NavStatus = AIS_Bits(b, 38, 4);
  m.ROT = AIS_Bits(b, 42, 8);
  m.Speed = AIS_Bits(b, 50, 10);
  m.PA = AIS_Bits(b, 60, 1);
  m.Lon = AIS_SignedBits(b, 61, 28);
  m.Lat = AIS_SignedBits(b, 89, 27);
  m.COG = AIS_Bits(b, 116, 12);
  m.TH = AIS_Bits(b, 128, 9);
  // 137..167 (time stamp, manoeuvre, spare, RAIM, radio status) are not decoded.
}

void Msg1ToDynamic(const TMsg1& msg, TDynamic& point) {
  AIS_PositionValues(msg.MMSI, msg.Speed, msg.Lon, msg.Lat, msg.COG, msg.TH, point);
  point.NavStatusCode = msg.NavStatus;
  // The class A layout read from another identifier (a payload too short for its own
  // byte) still gives a report, never an own-ship fix.
  point.MsgType = msg.MsgID >= 1 && msg.MsgID <= 3 ? msg.MsgID : 1;
}

}  // namespace pelorin
