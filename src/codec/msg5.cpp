// Message 5: class A static and voyage related data (ITU-R M.1371, table of message 5).
#include <array>
#include <string_view>
#include <utility>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"

namespace pelorin {

namespace {

std::string DimensionSum(uint32_t a, uint32_t b) {
  const uint32_t sum = a + b;
  return sum == 0 ? std::string("n.a.") : UIntToText(sum);
}

void AppendTwoDigits(std::string& out, unsigned value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

std::string EtaText(unsigned month, unsigned day, unsigned hour, unsigned minute) {
  static constexpr std::array<std::string_view, 12> kMonths = {
      "Jan. ", "Feb. ", "Mar. ", "Apr. ", "May  ", "Jun. ",
      "Jul. ", "Aug. ", "Sep. ", "Oct. ", "Nov. ", "Dec. "};
  std::string eta;
  eta.reserve(20);
  if (day >= 1 && day <= 31) {
    eta += UIntToText(day);
    eta += ". ";
  } else {
    eta += "-. ";
  }
  eta += month >= 1 && month <= 12 ? kMonths[month - 1] : std::string_view("- ");
  if (hour <= 23) {
    eta += UIntToText(hour);
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
  return eta;
}

std::string DraughtText(uint32_t tenths) {
  if (tenths == 0) return "n.a.";
  if (tenths == 255) return "> 25 m";
  return TenthsOneDecimalText(tenths);
}

}  // namespace

TMsg5 AIS_DecodeMsg5(std::string_view p) {
  TMsg5 m;
  const uint32_t mmsi = AIS_Bits(p, 8, 30);
  m.MMSI = mmsi == 0 ? std::string("000000000") : UIntToText(mmsi);
  // 38..39 AIS version: not decoded.
  m.IMO = UIntToText(AIS_Bits(p, 40, 30));
  m.CallSign = AIS_CleanField(p, 70, 7, TCleanSet::Padding, true, true);
  m.ShipName = AIS_CleanField(p, 112, 20, TCleanSet::Full, false, true);
  m.ShipsType = ShipTypeText(AIS_Bits(p, 232, 8));
  m.Dimension.Laenge = DimensionSum(AIS_Bits(p, 240, 9), AIS_Bits(p, 249, 9));
  m.Dimension.Breite = DimensionSum(AIS_Bits(p, 258, 6), AIS_Bits(p, 264, 6));
  m.GNSS = EPFDText(AIS_Bits(p, 270, 4));
  m.ETA = EtaText(AIS_Bits(p, 274, 4), AIS_Bits(p, 278, 5), AIS_Bits(p, 283, 5), AIS_Bits(p, 288, 6));
  m.Draught = DraughtText(AIS_Bits(p, 294, 8));
  m.Destination = AIS_CleanField(p, 302, 20, TCleanSet::Full, false, true);
  // 422 DTE, 423 spare: not decoded (a 420-bit message 5 lacks them).
  return m;
}

TStatic Msg5ToStatic(const TMsg5& msg) {
  TStatic s;
  s.MMSI = msg.MMSI;
  s.AISclass = msg.MMSI.starts_with("970") ? "SART" : "A";
  s.IMO = msg.IMO;
  s.CallSign = msg.CallSign;
  s.ShipName = msg.ShipName;
  s.ShipsType = msg.ShipsType;
  s.Dimension = msg.Dimension;
  s.GNSS = msg.GNSS;
  s.ETA = msg.ETA;
  s.Draught = msg.Draught;
  s.Destination = msg.Destination;
  return s;
}

TStatic Msg5ToStatic(TMsg5&& msg) {
  TStatic s;
  s.AISclass = msg.MMSI.starts_with("970") ? "SART" : "A";
  s.MMSI = std::move(msg.MMSI);
  s.IMO = std::move(msg.IMO);
  s.CallSign = std::move(msg.CallSign);
  s.ShipName = std::move(msg.ShipName);
  s.ShipsType = std::move(msg.ShipsType);
  s.Dimension = std::move(msg.Dimension);
  s.GNSS = std::move(msg.GNSS);
  s.ETA = std::move(msg.ETA);
  s.Draught = std::move(msg.Draught);
  s.Destination = std::move(msg.Destination);
  return s;
}

}  // namespace pelorin
