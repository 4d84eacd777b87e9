// Message 5: class A static and voyage related data (ITU-R M.1371, table of message 5).
#include <array>
#include <string_view>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"
#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

// The texts are written into the record's own strings, whose memory a pass uses again.
void DimensionSum(std::string& out, uint32_t a, uint32_t b) {
  const uint32_t sum = a + b;
  if (sum == 0)
    out.assign("n.a.");
  else
    AssignUInt(out, sum);
}

void AppendTwoDigits(std::string& out, unsigned value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

void EtaText(std::string& eta, unsigned month, unsigned day, unsigned hour, unsigned minute) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan. ", "Feb. ", "Mar. ", "Apr. ", "May  ", "Jun. ",
      "Jul. ", "Aug. ", "Sep. ", "Oct. ", "Nov. ", "Dec. "};
  TNumberChars chars;
  eta.clear();
  if (day >= 1 && day <= 31) {
    eta += UIntChars(day, chars);
    eta += ". ";
  } else {
    eta += "-. ";
  }
  eta += month >= 1 && month <= 12 ? kMonths[month - 1] : std::string_view("- ");
  if (hour <= 23) {
    eta += UIntChars(hour, chars);
    eta += ':';
  } else {
    eta += "-:";
  }
  if (minute <= 59) {
    AppendTwoDigits(eta, minute);
    eta += " UTC";
  } else {
    eta += "- UTC";
  }
}

void DraughtText(std::string& out, uint32_t tenths) {
  TNumberChars chars;
  if (tenths == 0)
    out.assign("n.a.");
  else if (tenths == 255)
    out.assign("> 25 m");
  else
    out.assign(TenthsOneDecimalChars(tenths, chars));
}

}  // namespace

void AIS_DecodeMsg5(std::string_view payload, TMsg5& m) {
  const TPayloadBits b = AIS_PayloadBits(payload, 71);
  const uint32_t mmsi = AIS_Bits(b, 8, 30);
  if (mmsi == 0)
    m.MMSI.assign("000000000");
  else
    AssignUInt(m.MMSI, mmsi);
  m.Num_Stat = 0;
  m.Num_Dyn = 0;
  // 38..39 AIS version: not decoded.
  AssignUInt(m.IMO, AIS_Bits(b, 40, 30));
  AIS_CleanField(b, 70, 7, TCleanSet::Padding, true, true, m.CallSign);
  AIS_CleanField(b, 112, 20, TCleanSet::Full, false, true, m.ShipName);
  m.ShipsTypeCode = static_cast<int16_t>(AIS_Bits(b, 232, 8));
  m.ShipsType.assign(ShipTypeText(m.ShipsTypeCode));
  DimensionSum(m.Dimension.Laenge, AIS_Bits(b, 240, 9), AIS_Bits(b, 249, 9));
  DimensionSum(m.Dimension.Breite, AIS_Bits(b, 258, 6), AIS_Bits(b, 264, 6));
  m.GNSS.assign(EPFDText(AIS_Bits(b, 270, 4)));
  EtaText(m.ETA, AIS_Bits(b, 274, 4), AIS_Bits(b, 278, 5), AIS_Bits(b, 283, 5), AIS_Bits(b, 288, 6));
  DraughtText(m.Draught, AIS_Bits(b, 294, 8));
  AIS_CleanField(b, 302, 20, TCleanSet::Full, false, true, m.Destination);
  // 422 DTE, 423 spare: not decoded (a 420-bit message 5 lacks them).
}

void Msg5ToStatic(const TMsg5& msg, TStatic& s) {
  ClearStatic(s);
  s.MMSI = msg.MMSI;
  s.AISclass = IsSart(msg.MMSI) ? "SART" : "A";
  s.IMO = msg.IMO;
  s.CallSign = msg.CallSign;
  s.ShipName = msg.ShipName;
  s.ShipsType = msg.ShipsType;
  s.ShipsTypeCode = msg.ShipsTypeCode;
  s.Dimension = msg.Dimension;
  s.GNSS = msg.GNSS;
  s.ETA = msg.ETA;
  s.Draught = msg.Draught;
  s.Destination = msg.Destination;
}

}  // namespace pelorin
