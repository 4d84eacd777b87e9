// Payloads a spoofed or garbled transmitter can produce: characters outside the armouring
// set, payloads far longer than their message, and lines with very many fields.
#include <gtest/gtest.h>

#include <string>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

// Real reports (gpsd sample, signalk NAIS-400) of the kinds the pass decodes.
const char kMsg1[] = "13aG?P0P00PD;88MD5MTDww@2<0L";
const char kMsg18[] = "B5NJ;PP005l4ot5Isbl03wsUkP06";
const char kMsg24B[] = "H3mw=<TT@B?>1F0<7kplk01H1120";

// The same six-bit value from a byte outside "0".."W", "`".."w": above "`" the value is
// code - 56 modulo 64, so code + 72 stands for a digit or capital and code + 64 for a
// lower-case character.
std::string Disguised(const std::string& payload) {
  std::string out = payload;
  for (char& c : out) {
    const unsigned code = static_cast<unsigned char>(c);
    c = static_cast<char>(code < 96 ? code + 72 : code + 64);
  }
  return out;
}

TEST(HostilePayload, CharactersOutsideTheArmouringWrapRound) {
  for (const std::string payload : {kMsg1, kMsg18, kMsg24B}) {
    const std::string odd = Disguised(payload);
    ASSERT_NE(odd, payload);
    EXPECT_EQ(AIS_MsgID(odd), AIS_MsgID(payload)) << payload;
    for (unsigned offset = 0; offset < 168; offset += 7)
      EXPECT_EQ(AIS_Bits(AIS_PayloadBits(odd), offset, 30), AIS_Bits(AIS_PayloadBits(payload), offset, 30))
          << payload << " " << offset;
  }
  // Every byte value decodes to some six-bit value; none is refused or read beyond.
  std::string all;
  for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
  const test::TPointStrings d = test::StringsOf(test::ToDynamic(AIS_DecodeMsg1(all)));
  EXPECT_FALSE(d.MMSI.empty());
  EXPECT_FALSE(d.Lon.empty());
  const TStatic s = test::ToStatic(test::Decode5(all));
  EXPECT_EQ(s.ShipName.size() == 20 || s.ShipName == "n.a.", true);
}

TEST(HostilePayload, MuchLongerThanItsMessageDecodesTheSameFields) {
  const std::string tail(100000, 'w');  // all ones
  const test::TPointStrings a = test::StringsOf(test::ToDynamic(AIS_DecodeMsg1(kMsg1)));
  const test::TPointStrings b = test::StringsOf(test::ToDynamic(AIS_DecodeMsg1(kMsg1 + tail)));
  EXPECT_EQ(b.MMSI, a.MMSI);
  EXPECT_EQ(b.Lon, a.Lon);
  EXPECT_EQ(b.Lat, a.Lat);
  EXPECT_EQ(b.COG, a.COG);
  const TMsg24B x = test::Decode24B(kMsg24B), y = test::Decode24B(kMsg24B + tail);
  EXPECT_EQ(y.CallSign, x.CallSign);
  EXPECT_EQ(y.Dimension.D, x.Dimension.D);
  // A far offset reads nothing, never a wrapped one.
  const TPayloadBits huge = AIS_PayloadBits(std::string(1 << 20, 'w'));
  EXPECT_EQ(AIS_Bits(huge, 0xFFFFFFF0u, 32), 0u);
  EXPECT_EQ(AIS_SignedBits(huge, 0xFFFFFFFFu, 32), 0);
}

TEST(HostileSentence, HundredThousandSeparatorsSplitIntoEveryField) {
  const std::string line = "$GPRMC" + std::string(100000, ',') + "*00";
  TFieldList fields;
  EXPECT_EQ(NMEA_Split(line, fields), sk_Other);  // the checksum does not fit
  EXPECT_EQ(fields.size(), 100001u);
  std::string date = "kept", time = "kept";
  EXPECT_FALSE(NMEA_RMC_DateTime(line, date, time));
  EXPECT_FALSE(NMEA_ZDA_DateTime(line, date, time));
  EXPECT_EQ(date, "kept");
}

TEST(HostileSentence, NulAndHighBytesAreOrdinaryCharacters) {
  const std::string line = std::string("!AIVDM,1,1,,A,1\0\xff", 17) + ",0*00";
  TFieldList fields;
  NMEA_Split(line, fields);
  ASSERT_EQ(fields.size(), 7u);
  EXPECT_EQ(fields[5], std::string_view("1\0\xff", 3));
  EXPECT_EQ(AIS_MsgID(fields[5]), 1);
}

}  // namespace
}  // namespace pelorin
