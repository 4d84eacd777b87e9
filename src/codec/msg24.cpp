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

std::string DistanceSum(std::string_view a, std::string_view b) {
  uint64_t x = 0, y = 0;
  if (!ParseDistance(a, x) || !ParseDistance(b, y)) return "n.a.";
  return UIntToText(x + y);
}

}  // namespace

TMsg24A AIS_DecodeMsg24A(std::string_view p) {
  TMsg24A m;
  m.Rep = UIntToText(AIS_Bits(p, 6, 2));
  m.MMSI = UIntToText(AIS_Bits(p, 8, 30));
  m.PN = AIS_PartText(AIS_Bits(p, 38, 2));
  m.Name = AIS_CleanField(p, 40, 20, TCleanSet::Ampersand, true, true);
  return m;
}

TMsg24B AIS_DecodeMsg24B(std::string_view p) {
  TMsg24B m;
  m.Rep = UIntToText(AIS_Bits(p, 6, 2));
  m.MMSI = UIntToText(AIS_Bits(p, 8, 30));
  m.PN = AIS_PartText(AIS_Bits(p, 38, 2));
  m.ShipType = ShipTypeText(AIS_Bits(p, 40, 8));
  m.VendorID = AIS_CleanField(p, 48, 7, TCleanSet::Ampersand, true, true);
  m.CallSign = AIS_CleanField(p, 90, 7, TCleanSet::Ampersand, true, true);
  m.Dimension.A = UIntToText(AIS_Bits(p, 132, 9));
  m.Dimension.B = UIntToText(AIS_Bits(p, 141, 9));
  m.Dimension.C = UIntToText(AIS_Bits(p, 150, 6));
  m.Dimension.D = UIntToText(AIS_Bits(p, 156, 6));
  m.Sp = UIntToText(AIS_Bits(p, 162, 6));
  return m;
}

TStatic Msg24AToStatic(const TMsg24A& msg) {
  TStatic s;
  s.MMSI = msg.MMSI;
  s.AISclass = "B";
  s.ShipName = msg.Name.size() >= 15 && msg.Name[14] == ':' ? msg.Name.substr(0, 14) : msg.Name;
  return s;
}

TStatic Msg24BToStatic(const TMsg24B& msg) {
  TStatic s;
  s.MMSI = msg.MMSI;
  s.AISclass = "B";
  s.CallSign = msg.CallSign;
  s.ShipsType = msg.ShipType;
  s.Dimension.Laenge = DistanceSum(msg.Dimension.A, msg.Dimension.B);
  s.Dimension.Breite = DistanceSum(msg.Dimension.C, msg.Dimension.D);
  s.VendorID = msg.VendorID;
  return s;
}

}  // namespace pelorin
