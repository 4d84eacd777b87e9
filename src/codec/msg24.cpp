// Message 24: class B static data report, parts A and B (ITU-R M.1371, table of message 24).
#include <charconv>

#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"

namespace pelorin {

namespace {

// A plain decimal text as the decoder writes it; false for anything else.
bool ParseDistance(std::string_view text, uint64_t& value) {
  if (text.empty() || text.size() > 9) return false;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

void DistanceSum(std::string& out, std::string_view a, std::string_view b) {
  uint64_t x = 0, y = 0;
  if (!ParseDistance(a, x) || !ParseDistance(b, y))
    out.assign("n.a.");
  else
    AssignUInt(out, x + y);
}

}  // namespace

void AIS_DecodeMsg24A(std::string_view payload, TMsg24A& m) {
  const TPayloadBits b = AIS_PayloadBits(payload, 27);
  AssignUInt(m.Rep, AIS_Bits(b, 6, 2));
  AssignUInt(m.MMSI, AIS_Bits(b, 8, 30));
  m.PN = AIS_PartText(AIS_Bits(b, 38, 2));
  AIS_CleanField(b, 40, 20, TCleanSet::Ampersand, true, true, m.Name);
}

void AIS_DecodeMsg24B(std::string_view payload, TMsg24B& m) {
  const TPayloadBits b = AIS_PayloadBits(payload, 28);
  AssignUInt(m.Rep, AIS_Bits(b, 6, 2));
  AssignUInt(m.MMSI, AIS_Bits(b, 8, 30));
  m.PN = AIS_PartText(AIS_Bits(b, 38, 2));
  m.ShipTypeCode = static_cast<int16_t>(AIS_Bits(b, 40, 8));
  m.ShipType.assign(ShipTypeText(m.ShipTypeCode));
  AIS_CleanField(b, 48, 7, TCleanSet::Ampersand, true, true, m.VendorID);
  AIS_CleanField(b, 90, 7, TCleanSet::Ampersand, true, true, m.CallSign);
  AssignUInt(m.Dimension.A, AIS_Bits(b, 132, 9));
  AssignUInt(m.Dimension.B, AIS_Bits(b, 141, 9));
  AssignUInt(m.Dimension.C, AIS_Bits(b, 150, 6));
  AssignUInt(m.Dimension.D, AIS_Bits(b, 156, 6));
  AssignUInt(m.Sp, AIS_Bits(b, 162, 6));
}

void Msg24AToStatic(const TMsg24A& msg, TStatic& s) {
  ClearStatic(s);
  s.MMSI = msg.MMSI;
  s.AISclass = "B";
  if (msg.Name.size() >= 15 && msg.Name[14] == ':')
    s.ShipName.assign(msg.Name, 0, 14);
  else
    s.ShipName = msg.Name;
}

void Msg24BToStatic(const TMsg24B& msg, TStatic& s) {
  ClearStatic(s);
  s.MMSI = msg.MMSI;
  s.AISclass = "B";
  s.CallSign = msg.CallSign;
  s.ShipsType = msg.ShipType;
  s.ShipsTypeCode = msg.ShipTypeCode;
  DistanceSum(s.Dimension.Laenge, msg.Dimension.A, msg.Dimension.B);
  DistanceSum(s.Dimension.Breite, msg.Dimension.C, msg.Dimension.D);
  s.VendorID = msg.VendorID;
}

}  // namespace pelorin
