// Message 14: safety related broadcast (ITU-R M.1371, table of message 14).
#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/number_text.h"

namespace pelorin {

TMsg14 AIS_DecodeMsg14(std::string_view p) {
  TMsg14 m;
  m.Rep = UIntToText(AIS_Bits(p, 6, 2));
  m.MMSI = UIntToText(AIS_Bits(p, 8, 30));
  m.Spare = UIntToText(AIS_Bits(p, 38, 2));
  // The text is variable-length; what a short payload lacks reads as padding.
  m.Text = AIS_CleanField(p, 40, 16, TCleanSet::Full, false, false);
  return m;
}

TStatic Msg14ToStatic(const TMsg14& msg) {
  TStatic s;
  s.MMSI = msg.MMSI;
  s.AISclass = "SART";
  return s;
}

}  // namespace pelorin
