// Messages 1, 2 and 3: class A position report (ITU-R M.1371, table of message 1).
#include <utility>

#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"

namespace pelorin {

TMsg1 AIS_DecodeMsg1(std::string_view p) {
  TMsg1 m;
  m.MsgID = UIntToText(AIS_Bits(p, 0, 6));
  m.RI = UIntToText(AIS_Bits(p, 6, 2));
  m.MMSI = UIntToText(AIS_Bits(p, 8, 30));
  m.NavStatus = NavStatusText(AIS_Bits(p, 38, 4));
  m.ROT = UIntToText(AIS_Bits(p, 42, 8));  // raw, -128..127 as 0..255
  m.Speed = AIS_SpeedText(AIS_Bits(p, 50, 10));
  m.PA = UIntToText(AIS_Bits(p, 60, 1));
  m.Lon = AIS_LonText(AIS_SignedBits(p, 61, 28));
  m.Lat = AIS_LatText(AIS_SignedBits(p, 89, 27));
  m.COG = AIS_CourseText(AIS_Bits(p, 116, 12));
  m.TH = AIS_HeadingText(AIS_Bits(p, 128, 9));
  // 137..167 (time stamp, manoeuvre, spare, RAIM, radio status) are not decoded.
  return m;
}

TDynamic Msg1ToDynamic(const TMsg1& msg) {
  TDynamic d;
  d.MMSI = msg.MMSI;
  d.NavStatus = msg.NavStatus;
  d.Speed = msg.Speed;
  d.Lon = msg.Lon;
  d.Lat = msg.Lat;
  d.COG = msg.COG;
  d.TH = msg.TH;
  return d;
}

TDynamic Msg1ToDynamic(TMsg1&& msg) {
  TDynamic d;
  d.MMSI = std::move(msg.MMSI);
  d.NavStatus = std::move(msg.NavStatus);
  d.Speed = std::move(msg.Speed);
  d.Lon = std::move(msg.Lon);
  d.Lat = std::move(msg.Lat);
  d.COG = std::move(msg.COG);
  d.TH = std::move(msg.TH);
  return d;
}

}  // namespace pelorin
