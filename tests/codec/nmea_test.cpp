// Sentence splitting, classification, checksum and the scan's two time readers.
#include "codec/nmea.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "support/test_support.h"

namespace pelorin {
namespace {

const std::string kRmc = "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*5F";
const std::string kEcZda = "$ECZDA,093016.00,07,04,2011,00,00*7B";

TEST(NmeaSplit, RmcExampleGivesThirteenFields) {
  TFieldList f;
  EXPECT_EQ(NMEA_Split(kRmc, f), sk_RMC);
  ASSERT_EQ(f.size(), 13u);
  EXPECT_EQ(f[0], "$GPRMC");
  EXPECT_EQ(f[1], "093015.00");
  EXPECT_EQ(f[9], "070411");
  EXPECT_EQ(f[10], "");
  EXPECT_EQ(f[12], "A");
}

TEST(NmeaSplit, ZdaExampleGivesSevenFieldsWithoutChecksumDigits) {
  TFieldList f;
  EXPECT_EQ(NMEA_Split(kEcZda, f), sk_ZDA);
  const std::vector<std::string_view> want = {"$ECZDA", "093016.00", "07", "04", "2011", "00", "00"};
  EXPECT_EQ(f, want);
}

TEST(NmeaSplit, Kinds) {
  struct Case { std::string line; TSentenceKind kind; };
  const Case cases[] = {
      {"!AIVDO,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*73", sk_OwnAIS},
      {"!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*71", sk_AIS},
      {"!BSVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*68", sk_AIS},
      {"$GPZDA,093016.00,07,04,2011,00,00*6A", sk_ZDA},
      {kEcZda, sk_ZDA},
      {kRmc, sk_RMC},
      {"$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*5f", sk_Other},  // lower-case hex
      {kRmc + " ", sk_Other},                                                           // blank after checksum
      {"!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*72", sk_Other},                   // wrong checksum
      {"!aivdm,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*71", sk_Other},                   // tag case
      {"!ABVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*71", sk_Other},                   // other talker
      {"$GPGGA,1,2*00", sk_Other},
      {"!AIVDM", sk_Other},
      {"", sk_Other},
      {"*", sk_Other},
  };
  for (const Case& c : cases) {
    TFieldList f;
    EXPECT_EQ(NMEA_Split(c.line, f), c.kind) << c.line;
  }
}

TEST(NmeaSplit, FieldsAreFilledAlsoForWrongChecksum) {
  TFieldList f;
  EXPECT_EQ(NMEA_Split("!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*00", f), sk_Other);
  ASSERT_EQ(f.size(), 7u);
  EXPECT_EQ(f[3], "");
  EXPECT_EQ(f[5], "13aG?P0P00PD;88MD5MTDww@2<0L");
}

TEST(NmeaSplit, EdgeShapes) {
  TFieldList f;
  NMEA_Split("!AIVDM", f);
  EXPECT_TRUE(f.empty());
  NMEA_Split("", f);
  EXPECT_TRUE(f.empty());
  NMEA_Split("a,,b,c", f);  // text after the last separator is lost
  EXPECT_EQ(f, (TFieldList{"a", "", "b"}));
  NMEA_Split("a*b,c*1", f);  // "*" separates like ","
  EXPECT_EQ(f, (TFieldList{"a", "b", "c"}));
  NMEA_Split("a,", f);  // the last character is never looked at
  EXPECT_EQ(f, (TFieldList{}));
  NMEA_Split(",,", f);
  EXPECT_EQ(f, (TFieldList{""}));
}

TEST(NmeaSplit, ReusedListDoesNotGrowAfterWarmUp) {
  TFieldList f;
  NMEA_Split(kRmc, f);
  const auto* data = f.data();
  const size_t capacity = f.capacity();
  for (int i = 0; i < 100; ++i) NMEA_Split(i % 2 ? kRmc : kEcZda, f);
  EXPECT_EQ(f.data(), data);
  EXPECT_EQ(f.capacity(), capacity);
}

TEST(NmeaChecksum, ByPositionAndShortLines) {
  EXPECT_TRUE(NMEA_ChecksumOK(kEcZda));
  EXPECT_FALSE(NMEA_ChecksumOK("$ECZDA,093016.00,07,04,2011,00,00*7b"));
  // Body is taken by position: no "*" needed.
  EXPECT_TRUE(NMEA_ChecksumOK("$A,x6D"));  // body "A,", the "x" stands where "*" would
  EXPECT_FALSE(NMEA_ChecksumOK(""));
  EXPECT_FALSE(NMEA_ChecksumOK("0"));
  EXPECT_TRUE(NMEA_ChecksumOK("00"));  // empty body
  EXPECT_TRUE(NMEA_ChecksumOK("!00"));
  EXPECT_FALSE(NMEA_ChecksumOK("!*0"));
}

TEST(NmeaHasTag, ShorterLength) {
  EXPECT_TRUE(NMEA_HasTag(kRmc, "$GPRMC"));
  EXPECT_FALSE(NMEA_HasTag(kEcZda, "$GPRMC"));
  EXPECT_TRUE(NMEA_HasTag("", "$GPRMC"));
  EXPECT_TRUE(NMEA_HasTag("$GP", "$GPRMC"));
  EXPECT_FALSE(NMEA_HasTag("$GX", "$GPRMC"));
}

TEST(NmeaReaders, RmcExample) {
  std::string date = "keep", time = "keep";
  ASSERT_TRUE(NMEA_RMC_DateTime(kRmc, date, time));
  EXPECT_EQ(date, "07.04.11");
  EXPECT_EQ(time, "09:30:15");
  // The reader ignores the checksum.
  ASSERT_TRUE(NMEA_RMC_DateTime("$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*5f ", date, time));
}

TEST(NmeaReaders, RmcRefusals) {
  const std::string lines[] = {
      "$GPRMC,093015.00,V,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*48",  // status V
      "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,*32",    // 12 fields
      "$GPRMC,,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*00",           // no time
      "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,,,,A*00",        // no date
      "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,,A*00", // 14 fields
      "",
  };
  for (const std::string& line : lines) {
    std::string date = "keep", time = "keep";
    EXPECT_FALSE(NMEA_RMC_DateTime(line, date, time)) << line;
    EXPECT_EQ(date, "keep");
    EXPECT_EQ(time, "keep");
  }
}

TEST(NmeaReaders, RmcShortFieldsGiveShortPieces) {
  std::string date, time;
  ASSERT_TRUE(NMEA_RMC_DateTime("$GPRMC,0930,A,,,,,,,0704,,,A*00", date, time));
  EXPECT_EQ(date, "07.04.");
  EXPECT_EQ(time, "09:30:");
}

TEST(NmeaReaders, Zda) {
  std::string date, time;
  ASSERT_TRUE(NMEA_ZDA_DateTime(kEcZda, date, time));
  EXPECT_EQ(date, "07.04.11");
  EXPECT_EQ(time, "09:30:16");
  ASSERT_TRUE(NMEA_ZDA_DateTime("$ECZDA,093016,7,4,11,00,00*00", date, time));
  EXPECT_EQ(date, "7.4.");  // a two-digit year leaves the year part empty
  date = "keep";
  EXPECT_FALSE(NMEA_ZDA_DateTime("$ECZDA,093016.00,,04,2011,00,00*00", date, time));
  EXPECT_FALSE(NMEA_ZDA_DateTime("$ECZDA,,07,04,2011,00,00*00", date, time));
  EXPECT_FALSE(NMEA_ZDA_DateTime("$ECZDA,093016.00,07,04,2011,00*00", date, time));
  EXPECT_EQ(date, "keep");
}

// A real recording: every checksummed sentence must split without trouble, and the
// kinds must match the counts of its provenance table (12 RMC of 12 fields, 12 GPZDA).
TEST(NmeaReal, SaabRecording) {
  PELORIN_REQUIRE_SHARED();
  std::ifstream in(test::SharedDir() / "data/real/gpsd-saab-r4.log");
  ASSERT_TRUE(in);
  std::string line;
  int rmc = 0, zda = 0, rmcTimes = 0;
  TFieldList f;
  std::string date, time;
  while (std::getline(in, line)) {
    const TSentenceKind k = NMEA_Split(line, f);
    if (k == sk_RMC) ++rmc;
    if (k == sk_ZDA) ++zda;
    if (NMEA_HasTag(line, "$GPRMC") && NMEA_RMC_DateTime(line, date, time)) ++rmcTimes;
  }
  EXPECT_EQ(rmc, 12);
  EXPECT_EQ(zda, 12);
  EXPECT_EQ(rmcTimes, 0);  // its RMC sentences lack the mode field
}

}  // namespace
}  // namespace pelorin
