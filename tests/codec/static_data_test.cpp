#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/ais_payload_builder.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::TPayloadBuilder;

// The texts of a record in its order, to compare all at once.
using TTexts = std::vector<std::string>;
TTexts Texts(const TMsg5& m) {
  return {m.MMSI, m.IMO, m.CallSign, m.ShipName, m.ShipsType, m.Dimension.Laenge, m.Dimension.Breite,
          m.GNSS, m.ETA, m.Draught, m.Destination};
}
TTexts Texts(const TMsg24B& m) {
  return {m.Rep, m.MMSI, m.PN, m.ShipType, m.VendorID, m.CallSign, m.Dimension.A, m.Dimension.B, m.Dimension.C,
          m.Dimension.D, m.Sp};
}
TTexts Texts(const TStatic& s) {
  return {s.MMSI, s.AISclass, s.IMO, s.CallSign, s.ShipName, s.ShipsType, s.Dimension.Laenge, s.Dimension.Breite,
          s.GNSS, s.ETA,  s.Draught,  s.Destination, s.VendorID, s.NavStatus};
}

// A message 5 of the full 424 bits with ordinary values; tests overwrite single fields.
TPayloadBuilder Msg5Base() {
  TPayloadBuilder b(424);
  b.Set(0, 6, 5).Set(8, 30, 211000001).Set(40, 30, 9134270).SetText(70, "DABC@@@")
      .SetText(112, "TEST SHIP@@@@@@@@@@@").Set(232, 8, 70).Set(240, 9, 100).Set(249, 9, 20)
      .Set(258, 6, 5).Set(264, 6, 6).Set(270, 4, 1).Set(274, 4, 12).Set(278, 5, 24).Set(283, 5, 5)
      .Set(288, 6, 30).Set(294, 8, 25).SetText(302, "HAMBURG@@@@@@@@@@@@@");
  return b;
}

TPayloadBuilder Msg24ABase() {
  TPayloadBuilder b(168);
  b.Set(0, 6, 24).Set(8, 30, 244000002).Set(38, 2, 0).SetText(40, "SEA BIRD@@@@@@@@@@@@");
  return b;
}

TPayloadBuilder Msg24BBase() {
  TPayloadBuilder b(168);
  b.Set(0, 6, 24).Set(8, 30, 244000002).Set(38, 2, 1).Set(40, 8, 37).SetText(48, "ABC1234")
      .SetText(90, "PD1234@").Set(132, 9, 8).Set(141, 9, 4).Set(150, 6, 2).Set(156, 6, 1);
  return b;
}

TPayloadBuilder Msg14Base(std::string_view text) {
  TPayloadBuilder b(40 + 6 * static_cast<unsigned>(text.size()));
  b.Set(0, 6, 14).Set(8, 30, 970012345).SetText(40, text);
  return b;
}

// gpsd test/sample.aivdm (BSD-2-Clause): the two sentences of a message 5, joined.
constexpr const char* kEverDiadem =
    "55?MbV02;H;s<HtKR20EHE:0@T4@Dn2222222216L961O5Gf0NSQEp6ClRp8" "88888888880";

TEST(Msg5, RealMessage) {
  const TMsg5 m = test::Decode5(kEverDiadem);
  // Length 225 + 70, width 1 + 31.
  EXPECT_EQ(Texts(m), (TTexts{"351759000", "9134270", "3FOF8  ", "EVER DIADEM         ", "Cargo Ship", "295", "32",
                              "GPS", "15. May  14:00 UTC", "12.2", "NEW YORK            "}));
  EXPECT_EQ(m.Num_Stat, 0);
  EXPECT_EQ(m.Num_Dyn, 0);
}

TEST(Msg5, BuiltMessage) {
  const TMsg5 m = test::Decode5(Msg5Base().Payload());
  EXPECT_EQ(m.MMSI, "211000001");
  EXPECT_EQ(m.CallSign, "DABC   ");
  EXPECT_EQ(m.ShipName, "TEST SHIP           ");
  EXPECT_EQ(m.Dimension.Laenge, "120");
  EXPECT_EQ(m.Dimension.Breite, "11");
  EXPECT_EQ(m.ETA, "24. Dec. 5:30 UTC");
  EXPECT_EQ(m.Draught, "2.5");
  EXPECT_EQ(m.Destination, "HAMBURG             ");
}

TEST(Msg5, TextFields) {
  struct Case { const char* name; const char* callSign; const char* expectedName; const char* expectedCall; };
  const Case cases[] = {
      {"@@@@@@@@@@@@@@@@@@@@", "@@@@@@@", "n.a.", "n.a."},
      {"ABCDE@@@@@@@@@@@@@@@", "@AB@@@@", "ABCDE               ", "@AB    "},
      {"A&B<C>@@@@@@@@@@@@@@", "A&B<C>@", "A_B C               ", "A&B<C> "},
      {"@<>@@@@@@@@@@@@@@@@@", "@      ", "n.a.", "n.a."},  // blanks after cleaning
      {"@@@@@@@@@@@@@@@@@@@X", "@@@@@@X", "                   X", "@     X"},
  };
  for (const auto& c : cases) {
    const TMsg5 m =
        test::Decode5(Msg5Base().SetText(112, c.name).SetText(70, c.callSign).SetText(302, c.name).Payload());
    EXPECT_EQ(m.ShipName, c.expectedName) << c.name;
    EXPECT_EQ(m.Destination, c.expectedName) << c.name;
    EXPECT_EQ(m.CallSign, c.expectedCall) << c.callSign;
  }
}

TEST(Msg5, Dimensions) {
  struct Case { int a, b, c, d; const char *laenge, *breite; };
  const Case cases[] = {
      {100, 70, 5, 5, "170", "10"}, {0, 0, 0, 0, "n.a.", "n.a."}, {0, 1, 1, 0, "1", "1"},
      {511, 511, 63, 63, "1022", "126"},
  };
  for (const auto& c : cases) {
    const TMsg5 m =
        test::Decode5(Msg5Base().Set(240, 9, c.a).Set(249, 9, c.b).Set(258, 6, c.c).Set(264, 6, c.d).Payload());
    EXPECT_EQ(m.Dimension.Laenge, c.laenge) << c.a << "+" << c.b;
    EXPECT_EQ(m.Dimension.Breite, c.breite) << c.c << "+" << c.d;
  }
}

TEST(Msg5, Eta) {
  struct Case { int month, day, hour, minute; const char* text; };
  const Case cases[] = {
      {12, 24, 5, 30, "24. Dec. 5:30 UTC"},
      {0, 0, 24, 60, "-. - -:- UTC"},
      {5, 1, 0, 0, "1. May  0:00 UTC"},
      {13, 31, 24, 7, "31. - -:07 UTC"},
      {1, 9, 23, 59, "9. Jan. 23:59 UTC"},
      {2, 10, 12, 10, "10. Feb. 12:10 UTC"},
      {3, 1, 1, 9, "1. Mar. 1:09 UTC"},
      {4, 1, 1, 1, "1. Apr. 1:01 UTC"},
      {6, 1, 1, 1, "1. Jun. 1:01 UTC"},
      {7, 1, 1, 1, "1. Jul. 1:01 UTC"},
      {8, 1, 1, 1, "1. Aug. 1:01 UTC"},
      {9, 1, 1, 1, "1. Sep. 1:01 UTC"},
      {10, 1, 1, 1, "1. Oct. 1:01 UTC"},
      {11, 1, 1, 1, "1. Nov. 1:01 UTC"},
      {15, 31, 31, 63, "31. - -:- UTC"},
      {14, 0, 25, 61, "-. - -:- UTC"},
  };
  for (const auto& c : cases) {
    const std::string p =
        Msg5Base().Set(274, 4, c.month).Set(278, 5, c.day).Set(283, 5, c.hour).Set(288, 6, c.minute).Payload();
    EXPECT_EQ(test::Decode5(p).ETA, c.text) << c.month << "/" << c.day << " " << c.hour << ":" << c.minute;
  }
}

TEST(Msg5, Draught) {
  struct Case { int tenths; const char* text; };
  const Case cases[] = {{0, "n.a."}, {1, "0.1"}, {10, "1.0"}, {25, "2.5"}, {254, "25.4"}, {255, "> 25 m"}};
  for (const auto& c : cases) EXPECT_EQ(test::Decode5(Msg5Base().Set(294, 8, c.tenths).Payload()).Draught, c.text);
}

TEST(Msg5, CodesAndNumbers) {
  const TMsg5 m = test::Decode5(Msg5Base().Set(8, 30, 0).Set(40, 30, 0).Set(232, 8, 99).Set(270, 4, 0).Payload());
  EXPECT_EQ(m.MMSI, "000000000");
  EXPECT_EQ(m.IMO, "0");
  EXPECT_EQ(m.ShipsType, "Ship with no information");
  EXPECT_EQ(m.GNSS, "n.a.");
  const TMsg5 g = test::Decode5(Msg5Base().Set(8, 30, 2345678).Set(270, 4, 8).Set(232, 8, 0).Payload());
  EXPECT_EQ(g.MMSI, "2345678");
  EXPECT_EQ(g.GNSS, "Galileo");
  EXPECT_EQ(g.ShipsType, "Vessel");
}

TEST(Msg5, SeventyCharactersDecodeWithTheTwoMissingBitsZero) {
  // "?" (63) as the last destination character: a 420-bit message keeps its top four bits, 60 = "<",
  // which the full set cleans to a blank.
  const std::string full = Msg5Base().SetText(302, "HAMBURG@@@@@@@@@@@@?").Payload();
  ASSERT_EQ(full.size(), 71u);
  EXPECT_EQ(test::Decode5(full).Destination, "HAMBURG            ?");
  const TMsg5 m = test::Decode5(std::string_view(full).substr(0, 70));
  EXPECT_EQ(m.Destination, "HAMBURG             ");
  EXPECT_EQ(m.ShipName, "TEST SHIP           ");
  EXPECT_EQ(m.ETA, "24. Dec. 5:30 UTC");
  // The real 71-character message cut to 70 loses nothing of its text.
  EXPECT_EQ(test::Decode5(std::string_view(kEverDiadem).substr(0, 70)).Destination, "NEW YORK            ");
}

TEST(Msg5, ShortPayloadsNeverFail) {
  const std::string full = Msg5Base().Payload();
  for (size_t n = 0; n <= full.size(); ++n) {
    const TMsg5 m = test::Decode5(std::string_view(full).substr(0, n));
    EXPECT_EQ(m.ShipName.size() == 20 || m.ShipName == "n.a.", true) << n;
    EXPECT_EQ(m.Destination.size() == 20 || m.Destination == "n.a.", true) << n;
  }
  const TMsg5 e = test::Decode5("");
  EXPECT_EQ(e.MMSI, "000000000");
  EXPECT_EQ(e.ShipName, "n.a.");
  EXPECT_EQ(e.CallSign, "n.a.");
  EXPECT_EQ(e.ETA, "-. - 0:00 UTC");
  EXPECT_EQ(e.Draught, "n.a.");
  EXPECT_EQ(e.Dimension.Laenge, "n.a.");
}

TEST(Msg5, ToStaticAndSartClass) {
  const TStatic s = test::ToStatic(test::Decode5(kEverDiadem));
  EXPECT_EQ(Texts(s), (TTexts{"351759000", "A", "9134270", "3FOF8  ", "EVER DIADEM         ", "Cargo Ship", "295", "32",
                              "GPS", "15. May  14:00 UTC", "12.2", "NEW YORK            ", "", ""}));
  EXPECT_EQ(s.Num_Msg5, 0);
  EXPECT_EQ(s.Num_Msg14, 0);
  EXPECT_EQ(s.LastReport, 0);
  EXPECT_TRUE(s.aPlot.empty());

  struct Case { int64_t mmsi; const char* cls; };
  const Case cases[] = {{970012345, "SART"}, {970000000, "SART"}, {969999999, "A"}, {97012345, "SART"},
                        {211000001, "A"}, {0, "A"}};
  for (const auto& c : cases)
    EXPECT_EQ(test::ToStatic(test::Decode5(Msg5Base().Set(8, 30, c.mmsi).Payload())).AISclass, c.cls) << c.mmsi;
}

TEST(Msg14, RealMessages) {
  struct Case { const char* payload; const char* mmsi; const char* text; };
  // gpsd test/sample.aivdm (BSD-2-Clause).
  const Case cases[] = {
      {">5?Per18=HB1U:1@E=B0m<L", "351809000", "RCVD YR TEST MSG"},
      {">3R1p10E3;;R0USCR0HO>0@gN10kGJp", "237008900", "EP228 IX48 FG3 D"},
      {">4aDT81@E=@", "311764000", "TEST            "},
  };
  for (const auto& c : cases) {
    const TMsg14 m = AIS_DecodeMsg14(c.payload);
    EXPECT_EQ(m.Rep, "0");
    EXPECT_EQ(m.MMSI, c.mmsi);
    EXPECT_EQ(m.Spare, "0");
    EXPECT_EQ(m.Text, c.text);
  }
}

TEST(Msg14, TextCleaningAndLength) {
  struct Case { const char* text; const char* expected; };
  const Case cases[] = {
      {"SART ACTIVE", "SART ACTIVE     "},
      {"SART TEST 1234", "SART TEST 1234  "},  // a 14-character text
      {"A&B<C>D", "A_B C D         "},
      {"@@@@", "                "},              // all padding: blanks, never n.a.
      {"", "                "},
      {"0123456789ABCDEFGHIJ", "0123456789ABCDEF"},  // longer than 16: the first 16
  };
  for (const auto& c : cases) EXPECT_EQ(AIS_DecodeMsg14(Msg14Base(c.text).Payload()).Text, c.expected) << c.text;
}

TEST(Msg14, SevenCharactersAreEnough) {
  const std::string full = Msg14Base("SART ACTIVE").Set(6, 2, 1).Set(38, 2, 2).Payload();
  const TMsg14 m = AIS_DecodeMsg14(std::string_view(full).substr(0, 7));
  EXPECT_EQ(m.Rep, "1");
  EXPECT_EQ(m.MMSI, "970012345");
  EXPECT_EQ(m.Spare, "2");
  // Bits 40..41 are the top of "S" (010011); the rest of that character is missing: 010000 = "P".
  EXPECT_EQ(m.Text, "P" + std::string(15, ' '));
  // Six characters end at bit 35: the MMSI's two low bits read as zero.
  EXPECT_EQ(AIS_DecodeMsg14(std::string_view(full).substr(0, 6)).MMSI, std::to_string(970012345 & ~3));
}

TEST(Msg14, ToStaticIsAlwaysSart) {
  for (const int64_t mmsi : {970012345ll, 211000001ll, 0ll}) {
    const TStatic s = Msg14ToStatic(AIS_DecodeMsg14(Msg14Base("TEST").Set(8, 30, mmsi).Payload()));
    EXPECT_EQ(s.MMSI, std::to_string(mmsi));
    EXPECT_EQ(s.AISclass, "SART");
    for (const TText* t : {&s.IMO, &s.CallSign, &s.ShipName, &s.ShipsType, &s.Dimension.Laenge, &s.Dimension.Breite,
                           &s.GNSS, &s.ETA, &s.Draught, &s.Destination, &s.VendorID, &s.NavStatus})
      EXPECT_TRUE(t->empty());
  }
}

TEST(Msg24, RealPair) {
  // gpsd test/sample.aivdm (BSD-2-Clause), from Nirgal.
  const TMsg24A a = test::Decode24A("H42O55i18tMET00000000000000");
  EXPECT_EQ(a.Rep, "0");
  EXPECT_EQ(a.MMSI, "271041815");
  EXPECT_EQ(a.PN, "A");
  EXPECT_EQ(a.Name, "PROGUY              ");
  const TMsg24B b = test::Decode24B("H42O55lti4hhhilD3nink000?050");
  EXPECT_EQ(Texts(b), (TTexts{"0", "271041815", "B", "Passenger Ship", "1D00014", "TC6163 ", "0", "15", "0", "5", "0"}));
  const TStatic sa = test::ToStatic(a);
  EXPECT_EQ(sa.AISclass, "B");
  EXPECT_EQ(sa.ShipName, "PROGUY              ");
  EXPECT_EQ(Texts(test::ToStatic(b)),
            (TTexts{"271041815", "B", "", "TC6163 ", "", "Passenger Ship", "15", "5", "", "", "", "", "1D00014", ""}));
}

TEST(Msg24, PartNumbers) {
  struct Case { int part; int id; const char* pn; };
  const Case cases[] = {{0, MsgID_24A, "A"}, {1, MsgID_24B, "B"}, {2, MsgID_24A, "B"}, {3, MsgID_24B, "B"}};
  for (const auto& c : cases) {
    const std::string p = Msg24ABase().Set(38, 2, c.part).Payload();
    EXPECT_EQ(AIS_MsgID(p), c.id) << c.part;
    EXPECT_EQ(test::Decode24A(p).PN, c.pn) << c.part;
    EXPECT_EQ(test::Decode24B(p).PN, c.pn) << c.part;
  }
}

TEST(Msg24, PartANames) {
  struct Case { const char* name; const char* decoded; const char* shipName; };
  const Case cases[] = {
      {"SEA BIRD@@@@@@@@@@@@", "SEA BIRD            ", "SEA BIRD            "},
      {"@@@@@@@@@@@@@@@@@@@@", "n.a.", "n.a."},
      {"A<B>C&D@@@@@@@@@@@@@", "A<B>C_D             ", "A<B>C_D             "},
      {"&&@@@@@@@@@@@@@@@@@@", "&_                  ", "&_                  "},
      {"@BC@@@@@@@@@@@@@@@@@", "@BC                 ", "@BC                 "},
      {"ABCDEFGHIJKLMN:XYZ@@", "ABCDEFGHIJKLMN:XYZ  ", "ABCDEFGHIJKLMN"},
      {"ABCDEFGHIJKLM:XYZ@@@", "ABCDEFGHIJKLM:XYZ   ", "ABCDEFGHIJKLM:XYZ   "},
  };
  for (const auto& c : cases) {
    const TMsg24A m = test::Decode24A(Msg24ABase().SetText(40, c.name).Payload());
    EXPECT_EQ(m.Name, c.decoded) << c.name;
    EXPECT_EQ(test::ToStatic(m).ShipName, c.shipName) << c.name;
  }
}

TEST(Msg24, PartANameCutNeedsFifteenCharacters) {
  TMsg24A m;
  m.MMSI = "244000002";
  m.Name = "ABCDEFGHIJKLMN:";
  EXPECT_EQ(test::ToStatic(m).ShipName, "ABCDEFGHIJKLMN");
  m.Name = "ABCDEFGHIJKLMN";
  EXPECT_EQ(test::ToStatic(m).ShipName, "ABCDEFGHIJKLMN");
  m.Name = "";
  EXPECT_EQ(test::ToStatic(m).ShipName, "");
  EXPECT_EQ(test::ToStatic(m).MMSI, "244000002");
}

TEST(Msg24, PartBFields) {
  const TMsg24B m = test::Decode24B(Msg24BBase().Set(6, 2, 3).Set(162, 6, 63).Payload());
  EXPECT_EQ(Texts(m), (TTexts{"3", "244000002", "B", "Pleasure Craft", "ABC1234", "PD1234 ", "8", "4", "2", "1", "63"}));
  const TStatic s = test::ToStatic(m);
  EXPECT_EQ(s.Dimension.Laenge, "12");
  EXPECT_EQ(s.Dimension.Breite, "3");
}

TEST(Msg24, PartBTextsAndZeroDimensions) {
  struct Case { const char* vendor; const char* call; const char* vendorText; const char* callText; };
  const Case cases[] = {
      {"@@@@@@@", "@@@@@@@", "n.a.", "n.a."},
      {"@A&<>@@", "&&@@@@@", "@A_<>  ", "&_     "},
  };
  for (const auto& c : cases) {
    const TMsg24B m = test::Decode24B(Msg24BBase()
                                           .SetText(48, c.vendor)
                                           .SetText(90, c.call)
                                           .Set(132, 9, 0)
                                           .Set(141, 9, 0)
                                           .Set(150, 6, 0)
                                           .Set(156, 6, 0)
                                           .Payload());
    EXPECT_EQ(m.VendorID, c.vendorText);
    EXPECT_EQ(m.CallSign, c.callText);
    const TStatic s = test::ToStatic(m);
    EXPECT_EQ(s.VendorID, c.vendorText);
    EXPECT_EQ(s.Dimension.Laenge, "0");  // unlike message 5, a zero sum stays "0"
    EXPECT_EQ(s.Dimension.Breite, "0");
  }
  const TStatic big = test::ToStatic(
      test::Decode24B(Msg24BBase().Set(132, 9, 511).Set(141, 9, 511).Set(150, 6, 63).Set(156, 6, 63).Payload()));
  EXPECT_EQ(big.Dimension.Laenge, "1022");
  EXPECT_EQ(big.Dimension.Breite, "126");
}

TEST(Msg24, PartBDimensionsThatAreNotNumbersReadNa) {
  TMsg24B m;
  m.Dimension = {"12", "x", "", "3"};
  const TStatic s = test::ToStatic(m);
  EXPECT_EQ(s.Dimension.Laenge, "n.a.");
  EXPECT_EQ(s.Dimension.Breite, "n.a.");
  m.Dimension = {"-1", "1", "1 ", "1"};
  EXPECT_EQ(test::ToStatic(m).Dimension.Laenge, "n.a.");
  EXPECT_EQ(test::ToStatic(m).Dimension.Breite, "n.a.");
}

TEST(Msg24, ShortPayloads) {
  // 27 characters are a whole part A; part B's spare loses its bits.
  const std::string a = Msg24ABase().Payload();
  EXPECT_EQ(test::Decode24A(std::string_view(a).substr(0, 27)).Name, "SEA BIRD            ");
  const std::string b = Msg24BBase().Set(156, 6, 63).Set(162, 6, 63).Payload();
  const TMsg24B cut = test::Decode24B(std::string_view(b).substr(0, 27));
  EXPECT_EQ(cut.Dimension.D, "63");
  EXPECT_EQ(cut.Sp, "0");
  // Cut before the call sign: it reads as padding, hence n.a.
  EXPECT_EQ(test::Decode24B(std::string_view(b).substr(0, 15)).CallSign, "n.a.");
  const TMsg24B e = test::Decode24B("");
  EXPECT_EQ(e.MMSI, "0");
  EXPECT_EQ(e.PN, "A");
  EXPECT_EQ(e.ShipType, "Vessel");
  EXPECT_EQ(e.VendorID, "n.a.");
  EXPECT_EQ(test::Decode24A("").Name, "n.a.");
}

}  // namespace
}  // namespace pelorin
