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

// The point a payload becomes, as the texts made of its numbers.
test::TPointStrings P1(std::string_view payload) { return test::StringsOf(test::ToDynamic(AIS_DecodeMsg1(payload))); }
test::TPointStrings P18(std::string_view payload) {
  return test::StringsOf(test::ToDynamic(AIS_DecodeMsg18(payload)));
}

// A point's texts in record order: MMSI, NavStatus, Speed, Lon, Lat, COG, TH.
using TTexts = std::vector<std::string>;
TTexts Texts(const test::TPointStrings& d) { return {d.MMSI, d.NavStatus, d.Speed, d.Lon, d.Lat, d.COG, d.TH}; }
TTexts Texts(const TDynamic& d) { return Texts(test::StringsOf(d)); }

constexpr int64_t kDeg = 600000;

// A message 1 with ordinary values; tests overwrite single fields.
TPayloadBuilder Msg1Base() {
  TPayloadBuilder b(168);
  b.Set(0, 6, 1).Set(8, 30, 211000001).Set(38, 4, 0).Set(50, 10, 100).Set(61, 28, 8 * kDeg)
      .Set(89, 27, 54 * kDeg).Set(116, 12, 900).Set(128, 9, 90);
  return b;
}

TPayloadBuilder Msg18Base() {
  TPayloadBuilder b(168);
  b.Set(0, 6, 18).Set(8, 30, 244000002).Set(46, 10, 100).Set(57, 28, 8 * kDeg).Set(85, 27, 54 * kDeg)
      .Set(112, 12, 900).Set(124, 9, 90);
  return b;
}

// Real reports from gpsd test/sample.aivdm (BSD-2-Clause). Expected texts were worked out by
// hand from the bits and agree with the decoded values listed in that file.
TEST(Msg1, RealReports) {
  struct Case {
    const char* payload;
    uint32_t MsgID;
    const char *MMSI, *NavStatus;
    uint32_t ROT;
    const char* Speed;
    uint32_t PA;
    const char *Lon, *Lat, *COG, *TH;
  };
  const Case cases[] = {
      {"15RTgt0PAso;90TKcjM8h6g208CQ", 1, "371798000", "under way using engine", 129, "12", 1,
       "-123.395383", "48.381633", "224", "215"},
      {"16SteH0P00Jt63hHaa6SagvJ087r", 1, "440348000", "under way using engine", 128, "0", 0,
       "-70.758200", "43.080150", "93", "n.a."},
      {"25Cjtd0Oj;Jp7ilG7=UkKBoB0<06", 2, "356302000", "under way using engine", 127, "14", 0,
       "-71.626143", "40.392358", "88", "91"},
      {"38Id705000rRVJhE7cl9n;160000", 3, "563808000", "moored", 0, "0", 1, "-76.327533", "36.910000",
       "252", "352"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.payload);
    const TMsg1 m = AIS_DecodeMsg1(c.payload);
    EXPECT_EQ(m.MsgID, c.MsgID);
    EXPECT_EQ(m.RI, 0u);
    EXPECT_EQ(m.ROT, c.ROT);
    EXPECT_EQ(m.PA, c.PA);
    EXPECT_EQ(Texts(test::ToDynamic(m)), (TTexts{c.MMSI, c.NavStatus, c.Speed, c.Lon, c.Lat, c.COG, c.TH}));
  }
}

TEST(Msg1, SpeedBoundaries) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {{0, "0"}, {4, "0"}, {5, "1"}, {125, "13"}, {1021, "102"}, {1022, "102"}, {1023, "n.a."}};
  for (const auto& c : cases) {
    EXPECT_EQ(P1(Msg1Base().Set(50, 10, c.raw).Payload()).Speed, c.text) << c.raw;
    EXPECT_EQ(P18(Msg18Base().Set(46, 10, c.raw).Payload()).Speed, c.text) << c.raw;
  }
}

TEST(Msg1, LongitudeBoundaries) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {
      {180 * kDeg, "180.000000"}, {-180 * kDeg, "-180.000000"}, {180 * kDeg + 1, "n.a."},
      {-180 * kDeg - 1, "n.a."},  {181 * kDeg, "n.a."},         {-181 * kDeg, "n.a."},
      {-1, "-0.000002"},          {0, "0.000000"},              {(1 << 27) - 1, "n.a."},
      {-(1 << 27), "n.a."},       {-300000, "-0.500000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(P1(Msg1Base().Set(61, 28, c.raw).Payload()).Lon, c.text) << c.raw;
    EXPECT_EQ(P18(Msg18Base().Set(57, 28, c.raw).Payload()).Lon, c.text) << c.raw;
  }
}

TEST(Msg1, LatitudeBoundaries) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {
      {90 * kDeg, "90.000000"}, {-90 * kDeg, "-90.000000"}, {90 * kDeg + 1, "n.a."}, {-90 * kDeg - 1, "n.a."},
      {91 * kDeg, "n.a."},      {-1, "-0.000002"},          {0, "0.000000"},         {(1 << 26) - 1, "n.a."},
      {-(1 << 26), "n.a."},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(P1(Msg1Base().Set(89, 27, c.raw).Payload()).Lat, c.text) << c.raw;
    EXPECT_EQ(P18(Msg18Base().Set(85, 27, c.raw).Payload()).Lat, c.text) << c.raw;
  }
}

TEST(Msg1, ZeroPositionIsWrittenNotDropped) {
  const test::TPointStrings m = P1(Msg1Base().Set(61, 28, 0).Set(89, 27, 0).Payload());
  EXPECT_EQ(m.Lon, "0.000000");
  EXPECT_EQ(m.Lat, "0.000000");
}

TEST(Msg1, CourseBoundaries) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {{0, "0"}, {3594, "359"}, {3595, "360"}, {3599, "360"}, {3600, "n.a."}, {4095, "n.a."}};
  for (const auto& c : cases) {
    EXPECT_EQ(P1(Msg1Base().Set(116, 12, c.raw).Payload()).COG, c.text) << c.raw;
    EXPECT_EQ(P18(Msg18Base().Set(112, 12, c.raw).Payload()).COG, c.text) << c.raw;
  }
}

TEST(Msg1, HeadingBoundaries) {
  struct Case { int64_t raw; const char* text; };
  const Case cases[] = {{0, "0"}, {359, "359"}, {360, "n.a."}, {511, "n.a."}};
  for (const auto& c : cases) {
    EXPECT_EQ(P1(Msg1Base().Set(128, 9, c.raw).Payload()).TH, c.text) << c.raw;
    EXPECT_EQ(P18(Msg18Base().Set(124, 9, c.raw).Payload()).TH, c.text) << c.raw;
  }
}

TEST(Msg1, FieldsDoNotBleedIntoNeighbours) {
  // Every not-available value at once: each field reads n.a. alone, the others as set.
  const TMsg1 m = AIS_DecodeMsg1(Msg1Base()
                                     .Set(6, 2, 3)
                                     .Set(8, 30, (1 << 30) - 1)
                                     .Set(38, 4, 15)
                                     .Set(42, 8, 128)
                                     .Set(50, 10, 1023)
                                     .Set(60, 1, 1)
                                     .Set(61, 28, 181 * kDeg)
                                     .Set(89, 27, 91 * kDeg)
                                     .Set(116, 12, 3600)
                                     .Set(128, 9, 511)
                                     .Set(137, 31, (1ll << 31) - 1)
                                     .Payload());
  EXPECT_EQ(m.RI, 3u);
  EXPECT_EQ(m.ROT, 128u);
  EXPECT_EQ(m.PA, 1u);
  EXPECT_EQ(Texts(test::ToDynamic(m)),
            (TTexts{"1073741823", "not specified", "n.a.", "n.a.", "n.a.", "n.a.", "n.a."}));
}

TEST(Msg1, NavStatusAndMmsiLeadingZeros) {
  const test::TPointStrings m = P1(Msg1Base().Set(8, 30, 1234567).Set(38, 4, 14).Payload());
  EXPECT_EQ(m.MMSI, "1234567");  // a coast station's 001234567
  EXPECT_EQ(m.NavStatus, "AIS SART");
  EXPECT_EQ(P1(Msg1Base().Set(38, 4, 15).Payload()).NavStatus, "not specified");
}

TEST(Msg1, ShortPayloadsReadZeroBits) {
  // The empty payload: every field is the zero value, none is empty.
  EXPECT_EQ(AIS_DecodeMsg1("").MsgID, 0u);
  const test::TPointStrings e = P1("");
  EXPECT_EQ(e.MMSI, "0");
  EXPECT_EQ(e.NavStatus, "under way using engine");
  EXPECT_EQ(e.Speed, "0");
  EXPECT_EQ(e.Lon, "0.000000");
  EXPECT_EQ(e.Lat, "0.000000");
  EXPECT_EQ(e.COG, "0");
  EXPECT_EQ(e.TH, "0");
  // Cut after the MMSI: it survives, what follows reads as zero.
  const std::string full = Msg1Base().Set(50, 10, 1023).Payload();
  const test::TPointStrings cut = P1(std::string_view(full).substr(0, 7));
  EXPECT_EQ(cut.MMSI, "211000001");
  EXPECT_EQ(cut.Speed, "0");
  // 22 characters end inside the heading (bits 128..136): its last five bits read as zero.
  const test::TPointStrings m22 = P1(std::string_view(Msg1Base().Set(128, 9, 359).Payload()).substr(0, 22));
  EXPECT_EQ(m22.COG, "90");
  EXPECT_EQ(m22.TH, "352");  // 359 = 101100111, low five bits cleared: 101100000 = 352
  EXPECT_EQ(P1(std::string_view(Msg1Base().Set(128, 9, 359).Payload()).substr(0, 23)).TH, "359");
}

TEST(Msg1, ToDynamic) {
  // Into a point that held another report: every field is written.
  TDynamic d = test::ToDynamic(AIS_DecodeMsg18("B5O6hr00<veEKmUaMFdEow`UWP06"));
  d.Time_Offset = 1;
  Msg1ToDynamic(AIS_DecodeMsg1("38Id705000rRVJhE7cl9n;160000"), d);
  EXPECT_EQ(Texts(d), (TTexts{"563808000", "moored", "0", "-76.327533", "36.910000", "252", "352"}));
  EXPECT_EQ(d.MsgType, 3);
  EXPECT_EQ(d.Time_Offset, 0);
}

TEST(Msg18, RealReports) {
  struct Case {
    const char* payload;
    const char *MMSI, *SOG;
    uint32_t PA;
    const char *Lon, *Lat, *COG, *TH, *TimeStamp;
    uint32_t M22;
  };
  // gpsd test/sample.aivdm (BSD-2-Clause).
  const Case cases[] = {
      {"B52K>;h00Fc>jpUlNV@ikwpUoP06", "338087471", "0", 0, "-74.072132", "40.684540", "80", "n.a.", "49", 1},
      {"B52KB8h006fu`Q6:g1McCwb5oP06", "338088483", "0", 0, "-70.811197", "43.115558", "172", "n.a.", "20", 1},
      {"B5O6hr00<veEKmUaMFdEow`UWP06", "368161000", "5", 1, "-72.233848", "39.480925", "35", "n.a.", "17", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.payload);
    const TMsg18 m = AIS_DecodeMsg18(c.payload);
    EXPECT_EQ(m.Rep, 0u);
    EXPECT_EQ(m.Sp1, 0u);
    EXPECT_EQ(m.PA, c.PA);
    EXPECT_EQ(m.Sp2, 0u);
    EXPECT_EQ(m.CB_Unit, 1u);
    EXPECT_EQ(m.CB_Disp, 0u);
    EXPECT_EQ(m.CB_DSC, 1u);
    EXPECT_EQ(m.CB_Band, 1u);
    EXPECT_EQ(m.CB_M22, c.M22);
    EXPECT_EQ(m.Mode, 0u);  // autonomous
    EXPECT_EQ(m.RAIM, 1u);
    EXPECT_EQ(m.Comm_Flag, 1u);
    EXPECT_EQ(m.Comm_State, 393222u);
    EXPECT_EQ(Texts(test::ToDynamic(m)), (TTexts{c.MMSI, "", c.SOG, c.Lon, c.Lat, c.COG, c.TH}));
    EXPECT_EQ(std::to_string(m.TimeStamp), c.TimeStamp);
  }
}

TEST(Msg18, FlagsAndTailFieldsAtTheirOffsets) {
  struct Case { unsigned offset; uint8_t TMsg18::*field; };
  const Case flags[] = {{141, &TMsg18::CB_Unit}, {142, &TMsg18::CB_Disp}, {143, &TMsg18::CB_DSC},
                        {144, &TMsg18::CB_Band}, {145, &TMsg18::CB_M22},  {147, &TMsg18::RAIM},
                        {148, &TMsg18::Comm_Flag}};
  for (const auto& f : flags) {
    const TMsg18 m = AIS_DecodeMsg18(Msg18Base().Set(f.offset, 1, 1).Payload());
    for (const auto& g : flags) EXPECT_EQ(m.*(g.field), g.offset == f.offset ? 1u : 0u) << f.offset << " " << g.offset;
    EXPECT_EQ(m.Mode, 0u);
    EXPECT_EQ(m.Comm_State, 0u);
  }
  const TMsg18 m = AIS_DecodeMsg18(
      Msg18Base().Set(6, 2, 2).Set(38, 8, 255).Set(133, 6, 63).Set(139, 2, 3).Set(146, 1, 1).Set(149, 19, 524287).Payload());
  EXPECT_EQ(m.Rep, 2u);
  EXPECT_EQ(m.Sp1, 255u);
  EXPECT_EQ(m.TimeStamp, 63u);
  EXPECT_EQ(m.Sp2, 3u);
  EXPECT_EQ(m.Mode, 1u);  // assigned
  EXPECT_EQ(m.Comm_State, 524287u);
  EXPECT_EQ(m.CB_Unit, 0u);
  EXPECT_EQ(m.RAIM, 0u);
}

TEST(Msg18, ShortPayloadsReadZeroBits) {
  const test::TPointStrings e = P18("");
  EXPECT_EQ(e.MMSI, "0");
  EXPECT_EQ(e.Lon, "0.000000");
  EXPECT_EQ(AIS_DecodeMsg18("").Mode, 0u);
  // 27 characters (162 bits): the communication state loses its last six bits.
  const std::string full = Msg18Base().Set(149, 19, 524287).Payload();
  EXPECT_EQ(AIS_DecodeMsg18(std::string_view(full).substr(0, 27)).Comm_State, 524287u & ~63u);
  EXPECT_EQ(AIS_DecodeMsg18(full).Comm_State, 524287u);
}

TEST(Msg18, ToDynamic) {
  // Into a point that held another report: every field is written.
  TDynamic d = test::ToDynamic(AIS_DecodeMsg1("38Id705000rRVJhE7cl9n;160000"));
  d.Time_Offset = 1;
  Msg18ToDynamic(AIS_DecodeMsg18("B5O6hr00<veEKmUaMFdEow`UWP06"), d);
  EXPECT_EQ(Texts(d), (TTexts{"368161000", "", "5", "-72.233848", "39.480925", "35", "n.a."}));
  EXPECT_EQ(d.MsgType, 18);
  EXPECT_EQ(d.Time_Offset, 0);
}

}  // namespace
}  // namespace pelorin
