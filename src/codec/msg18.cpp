// Message 18: standard class B position report (ITU-R M.1371, table of message 18).
#include <utility>

#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/number_text.h"

namespace pelorin {

TMsg18 AIS_DecodeMsg18(std::string_view p) {
  TMsg18 m;
  m.Rep = UIntToText(AIS_Bits(p, 6, 2));
  m.MMSI = UIntToText(AIS_Bits(p, 8, 30));
  m.Sp1 = UIntToText(AIS_Bits(p, 38, 8));
  m.SOG = AIS_SpeedText(AIS_Bits(p, 46, 10));
  m.PA = UIntToText(AIS_Bits(p, 56, 1));
  m.Lon = AIS_LonText(AIS_SignedBits(p, 57, 28));
  m.Lat = AIS_LatText(AIS_SignedBits(p, 85, 27));
  m.COG = AIS_CourseText(AIS_Bits(p, 112, 12));
  m.TH = AIS_HeadingText(AIS_Bits(p, 124, 9));
  m.TimeStamp = UIntToText(AIS_Bits(p, 133, 6));
  m.Sp2 = UIntToText(AIS_Bits(p, 139, 2));
  m.CB_Unit = UIntToText(AIS_Bits(p, 141, 1));
  m.CB_Disp = UIntToText(AIS_Bits(p, 142, 1));
  m.CB_DSC = UIntToText(AIS_Bits(p, 143, 1));
  m.CB_Band = UIntToText(AIS_Bits(p, 144, 1));
  m.CB_M22 = UIntToText(AIS_Bits(p, 145, 1));
  m.Mode = AIS_Bits(p, 146, 1) ? "assigned" : "autonomous";
  m.RAIM = UIntToText(AIS_Bits(p, 147, 1));
  m.Comm_Flag = UIntToText(AIS_Bits(p, 148, 1));
  m.Comm_State = UIntToText(AIS_Bits(p, 149, 19));
  return m;
}

TDynamic Msg18ToDynamic(const TMsg18& msg) {
  TDynamic d;
  d.MMSI = msg.MMSI;
  d.Speed = msg.SOG;
  d.Lon = msg.Lon;
  d.Lat = msg.Lat;
  d.COG = msg.COG;
  d.TH = msg.TH;
  d.TimeStampStr = msg.TimeStamp;
  return d;
}

TDynamic Msg18ToDynamic(TMsg18&& msg) {
  TDynamic d;
  d.MMSI = std::move(msg.MMSI);
  d.Speed = std::move(msg.SOG);
  d.Lon = std::move(msg.Lon);
  d.Lat = std::move(msg.Lat);
  d.COG = std::move(msg.COG);
  d.TH = std::move(msg.TH);
  d.TimeStampStr = std::move(msg.TimeStamp);
  return d;
}

}  // namespace pelorin
