// AIS_MsgID, the bit readers and every decoder with its conversion on one arbitrary
// payload, whatever its identifier, length or characters.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "fuzz_support.h"

using namespace pelorin;
using namespace pelorin::fuzz;

namespace {

// Bit by bit, independently of the decoder's gathering of whole characters.
uint32_t ReferenceBits(std::string_view p, uint64_t offset, unsigned width) {
  uint64_t v = 0;
  for (unsigned i = 0; i < width; ++i) {
    const uint64_t bit = offset + i;
    const uint64_t k = bit / 6;
    unsigned six = 0;
    if (k < p.size()) {
      const unsigned code = static_cast<unsigned char>(p[k]);
      six = (code < 96 ? code - 48 : code - 56) & 63u;
    }
    v = (v << 1) | ((six >> (5 - bit % 6)) & 1u);
  }
  return static_cast<uint32_t>(v);
}

bool Printable(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  return true;
}

// "n.a." or a text of exactly `count` six-bit characters, cleaned as its field says.
void CheckTextField(std::string_view text, size_t count, bool mayBeNa, std::string_view forbidden, bool keepFirst) {
  PELORIN_FUZZ_CHECK(Printable(text), "decoded texts are printable");
  if (mayBeNa && text == "n.a.") return;
  PELORIN_FUZZ_CHECK(text.size() == count, "a text field keeps its length");
  for (size_t i = keepFirst ? 1 : 0; i < text.size(); ++i)
    PELORIN_FUZZ_CHECK(forbidden.find(text[i]) == std::string_view::npos, "cleaned characters are gone");
  for (char c : text) PELORIN_FUZZ_CHECK(c >= 0x20 && c <= 0x5F, "six-bit characters only");
}

void CheckDecimal(std::string_view text, const char* what) {
  PELORIN_FUZZ_CHECK(AllDigits(text), what);
  PELORIN_FUZZ_CHECK(text.size() == 1 || text[0] != '0', what);
}

void CheckNumberOrNa(std::string_view text, const char* what) {
  if (text == "n.a.") return;
  CheckDecimal(text, what);
}

// "n.a." or -?d+.dddddd within +-limit degrees.
void CheckPosition(std::string_view text, int limit) {
  if (text == "n.a.") return;
  std::string_view t = text;
  if (!t.empty() && t[0] == '-') t.remove_prefix(1);
  const size_t dot = t.find('.');
  PELORIN_FUZZ_CHECK(dot != std::string_view::npos && dot >= 1 && t.size() - dot - 1 == 6, "six decimals");
  PELORIN_FUZZ_CHECK(AllDigits(t.substr(0, dot)) && AllDigits(t.substr(dot + 1)), "position digits");
  const std::string_view whole = t.substr(0, dot);
  PELORIN_FUZZ_CHECK(whole.size() == 1 || whole[0] != '0', "no leading zeros");
  const int degrees = std::stoi(std::string(whole));
  PELORIN_FUZZ_CHECK(degrees < limit || (degrees == limit && t.substr(dot + 1) == "000000"), "position in range");
}

void CheckDynamic(const TDynamic& point) {
  PELORIN_FUZZ_CHECK(point.Time_Offset == 0, "conversions leave the log time to the pass");
  TPointTexts d;
  PointTexts(TTrack{}, point, d);
  CheckDecimal(d.MMSI, "MMSI decimal");
  CheckNumberOrNa(d.Speed, "speed");
  CheckNumberOrNa(d.COG, "course");
  CheckNumberOrNa(d.TH, "heading");
  CheckPosition(d.Lon, 180);
  CheckPosition(d.Lat, 90);
  for (std::string_view t : {d.MMSI, d.NavStatus, d.Speed, d.Lon, d.Lat, d.COG, d.TH, d.TimeStampStr})
    PELORIN_FUZZ_CHECK(Printable(t), "dynamic texts are printable");
}

void CheckStatic(const TStatic& s) {
  for (const TText* t : {&s.MMSI, &s.AISclass, &s.IMO, &s.CallSign, &s.ShipName, &s.ShipsType, &s.Dimension.Laenge,
                         &s.Dimension.Breite, &s.GNSS, &s.ETA, &s.Draught, &s.Destination, &s.VendorID, &s.NavStatus})
    PELORIN_FUZZ_CHECK(Printable(*t), "static texts are printable");
  PELORIN_FUZZ_CHECK(s.Num_Msg5 == 0 && s.Num_Msg14 == 0 && s.aPlot.empty(), "conversions set no counters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view p(reinterpret_cast<const char*>(data), size);

  const int id = AIS_MsgID(p);
  PELORIN_FUZZ_CHECK((id >= 0 && id <= 63) || id == MsgID_24A || id == MsgID_24B, "identifier range");
  if (!p.empty()) {
    const unsigned first = AIS_SixBit(p[0]);
    PELORIN_FUZZ_CHECK(first == 24 ? (id == (ReferenceBits(p, 39, 1) ? MsgID_24B : MsgID_24A))
                                   : id == static_cast<int>(first),
                       "identifier from the first character and bit 39");
  } else {
    PELORIN_FUZZ_CHECK(id == 0, "empty payload is 0");
  }

  const uint64_t bits = static_cast<uint64_t>(p.size()) * 6;
  const uint64_t lastOffset = bits + 12 < 400 ? bits + 12 : 400;
  const TPayloadBits window = AIS_PayloadBits(p);
  for (uint64_t offset = 0; offset <= lastOffset; offset += 1 + offset / 64) {
    for (unsigned width : {1u, 2u, 6u, 8u, 12u, 27u, 28u, 30u, 32u}) {
      const uint32_t raw = AIS_Bits(window, static_cast<unsigned>(offset), width);
      PELORIN_FUZZ_CHECK(raw == ReferenceBits(p, offset, width), "bit field matches the reference");
      const int64_t wide = width == 32 ? static_cast<int64_t>(static_cast<int32_t>(raw))
                           : (raw >> (width - 1)) != 0 ? static_cast<int64_t>(raw) - (int64_t{1} << width)
                                                       : static_cast<int64_t>(raw);
      PELORIN_FUZZ_CHECK(AIS_SignedBits(window, static_cast<unsigned>(offset), width) == wide, "two's complement");
    }
  }
  // Offsets near the top of the range read nothing and never wrap.
  PELORIN_FUZZ_CHECK(AIS_Bits(window, 0xFFFFFFF0u, 32) == 0, "far offset");
  std::string far;
  AIS_Text(window, 0xFFFFFFF0u, 3, far);
  PELORIN_FUZZ_CHECK(far == "@@@", "far text");

  const TMsg1 m1 = AIS_DecodeMsg1(p);
  PELORIN_FUZZ_CHECK(m1.MsgID == ReferenceBits(p, 0, 6), "msg1 id");
  TDynamic d1;
  Msg1ToDynamic(m1, d1);
  CheckDynamic(d1);
  PELORIN_FUZZ_CHECK(!NavStatusOf(d1).empty() || d1.MsgType == kOwnShipFix, "message 1 has a status");

  const TMsg18 m18 = AIS_DecodeMsg18(p);
  // Into the point of message 1: every field is written again.
  Msg18ToDynamic(m18, d1);
  CheckDynamic(d1);
  PELORIN_FUZZ_CHECK(NavStatusOf(d1).empty(), "message 18 has no status");
  PELORIN_FUZZ_CHECK(m18.Mode <= 1, "mode flag");

  TMsg5 m5;
  AIS_DecodeMsg5(p, m5);
  CheckTextField(m5.CallSign, 7, true, "@", true);
  CheckTextField(m5.ShipName, 20, true, "@&<>", false);
  CheckTextField(m5.Destination, 20, true, "@&<>", false);
  PELORIN_FUZZ_CHECK(m5.MMSI == "000000000" || (AllDigits(m5.MMSI) && m5.MMSI[0] != '0'), "message 5 MMSI");
  CheckNumberOrNa(m5.Dimension.Laenge, "length");
  CheckNumberOrNa(m5.Dimension.Breite, "width");
  PELORIN_FUZZ_CHECK(m5.ETA.ends_with(" UTC"), "ETA text");
  TStatic s5;
  Msg5ToStatic(m5, s5);
  CheckStatic(s5);
  PELORIN_FUZZ_CHECK(s5.AISclass == (m5.MMSI.starts_with("970") ? "SART" : "A"), "SART class");

  const TMsg14 m14 = AIS_DecodeMsg14(p);
  CheckTextField(m14.Text, 16, false, "@&<>", false);
  const TStatic s14 = Msg14ToStatic(m14);
  CheckStatic(s14);
  PELORIN_FUZZ_CHECK(s14.AISclass == "SART" && s14.ShipName.empty(), "message 14 is a SART");

  TMsg24A m24a;
  AIS_DecodeMsg24A(p, m24a);
  CheckTextField(m24a.Name, 20, true, "@&", true);
  TStatic s24a;
  Msg24AToStatic(m24a, s24a);
  CheckStatic(s24a);
  PELORIN_FUZZ_CHECK(s24a.ShipName.size() <= 20, "part A name");

  TMsg24B m24b;
  AIS_DecodeMsg24B(p, m24b);
  CheckTextField(m24b.VendorID, 7, true, "@&", true);
  CheckTextField(m24b.CallSign, 7, true, "@&", true);
  TStatic s24b;
  Msg24BToStatic(m24b, s24b);
  CheckStatic(s24b);
  CheckDecimal(s24b.Dimension.Laenge, "part B length");
  CheckDecimal(s24b.Dimension.Breite, "part B width");
  PELORIN_FUZZ_CHECK(std::stoul(s24b.Dimension.Laenge) == std::stoul(m24b.Dimension.A) + std::stoul(m24b.Dimension.B),
                     "length is A + B");
  return 0;
}
