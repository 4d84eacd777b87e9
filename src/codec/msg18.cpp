// Message 18: standard class B position report (ITU-R M.1371, table of message 18).
#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/number_text.h"

namespace pelorin {

void AIS_DecodeMsg18(std::string_view payload, TMsg18& m) {
  const TPayloadBits b = AIS_PayloadBits(payload, 28);
  m = TMsg18{};
  m.Rep = AIS_Bits(b, 6, 2);
  m.MMSI = AIS_Bits(b, 8, 30);
  m.Sp1 = AIS_Bits(b, 38, 8);
  m.SOG = AIS_Bits(b, 46, 10);
  m.PA = AIS_Bits(b, 56, 1);
  m.Lon = AIS_SignedBits(b, 57, 28);
  m.Lat = AIS_SignedBits(b, 85, 27);
  m.COG = AIS_Bits(b, 112, 12);
  m.TH = AIS_Bits(b, 124, 9);
  m.TimeStamp = AIS_Bits(b, 133, 6);
  m.Sp2 = AIS_Bits(b, 139, 2);
  m.CB_Unit = AIS_Bits(b, 141, 1);
  m.CB_Disp = AIS_Bits(b, 142, 1);
  m.CB_DSC = AIS_Bits(b, 143, 1);
  m.CB_Band = AIS_Bits(b, 144, 1);
  m.CB_M22 = AIS_Bits(b, 145, 1);
  m.Mode = AIS_Bits(b, 146, 1);
  m.RAIM = AIS_Bits(b, 147, 1);
  m.Comm_Flag = AIS_Bits(b, 148, 1);
  m.Comm_State = AIS_Bits(b, 149, 19);
}

void Msg18ToDynamic(const TMsg18& msg, TDynamic& point) {
  AIS_PositionValues(msg.MMSI, msg.SOG, msg.Lon, msg.Lat, msg.COG, msg.TH, point);
  point.NavStatusCode = 15;  // message 18 has none: its text stays empty
  point.MsgType = 18;
}

}  // namespace pelorin
