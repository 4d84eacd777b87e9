// Message 14: safety related broadcast (ITU-R M.1371, table of message 14).
#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/number_text.h"

namespace pelorin {

TMsg14 AIS_DecodeMsg14(std::string_view payload) {
  const TPayloadBits b = AIS_PayloadBits(payload, 23);
  TMsg14 m;
  AssignUInt(m.Rep, AIS_Bits(b, 6, 2));
  AssignUInt(m.MMSI, AIS_Bits(b, 8, 30));
  AssignUInt(m.Spare, AIS_Bits(b, 38, 2));
  // The text is variable-length; what a short payload lacks reads as padding.
  AIS_CleanField(b, 40, 16, TCleanSet::Full, false, false, m.Text);
  return m;
}

TStatic Msg14ToStatic(const TMsg14& msg) {
  TStatic s;
  s.MMSI = msg.MMSI;
  s.AISclass = "SART";
  return s;
}

}  // namespace pelorin
