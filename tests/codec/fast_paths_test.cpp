// The hot path's shortcuts against the plain functions they stand in for: the one-sweep
// line scan against the line search and NMEA_Split, the vector checksum against a byte
// loop, the number texts against std::to_string, the text reader and the position
// decoder against the bit reader and the message records.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"
#include "codec/number_text.h"
#include "codec/sentence_scan.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::WithChecksum;

unsigned ReferenceSum(std::string_view line) {
  unsigned sum = 0;
  for (size_t i = 1; i + 3 < line.size(); ++i) sum ^= static_cast<unsigned char>(line[i]);
  return sum;
}

// Lines as a card has them, damaged ones and odd ones among them.
std::vector<std::string> SampleLines(std::mt19937& rng) {
  std::vector<std::string> lines = {
      WithChecksum("!AIVDM,1,1,,A,13@GMrh01n0V5jlO27lF@5200D0`,0"),
      WithChecksum("!AIVDO,1,1,,B,13@GMrh01n0V5jlO27lF@5200D0`,0"),
      WithChecksum("!BSVDM,2,1,7,A,53aJEMh0A@9Wqm7gOJ5lWwP5kP06,0"),
      WithChecksum("$GPRMC,220000.00,A,5404.2000,N,00758.8000,E,2.5,89.8,070411,,,A"),
      "!AIVDM,1,1,,A,13@GMrh01n0V5jlO27lF@5200D0`,0*00",  // wrong checksum
      "!AIVDM,1,1,,A,13@GMrh01n0V5jlO27lF@52",            // cut short
      "!", "!A", "!AIV", "!AIVDM", "!AIVDM,", "!AIVDM,,,,,,,,,,,,,,,*", "!XXVDM,1,1,,A,1,0*00", "",
      std::string("!AIVDM,1,1,,A,1\0\xff", 17) + ",0*00",
      "!AIVDM,1,1,,A," + std::string(300, 'w') + ",0*7E",
  };
  const char alphabet[] = {'!', 'A', ',', '*', '0', '5', 'C', 'V', 'D', 'M', 'I', 'O'};
  for (int k = 0; k < 400; ++k) {
    std::string line = "!";
    for (size_t n = rng() % 90; n > 0; --n) line += alphabet[rng() % sizeof alphabet];
    if (k % 3 == 0) line = WithChecksum(line);
    lines.push_back(line);
  }
  return lines;
}

TEST(LineScan, AgreesWithTheLineSearchAndNMEA_Split) {
  std::mt19937 rng(11);
  for (const std::string& line : SampleLines(rng)) {
    for (const char* end : {"\r\n", "\n", "\r", ""}) {
      const std::string text = line + end + "$GPZDA,next";
      std::string buffer = text + std::string(16, '\n');  // the padding may hold anything
      TScannedLine out;
      const uint64_t next = ScanLogLine(buffer.data(), text.size(), true, true, 0, out);
      SCOPED_TRACE(testing::PrintToString(text));
      const size_t cut = text.find_first_of("\r\n");
      ASSERT_EQ(out.Line, std::string_view(text).substr(0, cut));
      const size_t expectedNext =
          cut == std::string::npos ? text.size() : cut + (text.compare(cut, 2, "\r\n") == 0 ? 2 : 1);
      EXPECT_EQ(next, expectedNext);
      TFieldList fields;
      const TSentenceKind kind = NMEA_Split(out.Line, fields);
      if (!out.Classified) continue;
      EXPECT_EQ(out.Kind, kind);
      if (kind == sk_AIS || kind == sk_OwnAIS) {
        ASSERT_EQ(out.Count, fields.size());
        for (size_t i = 0; i < fields.size() && i < out.Fields.size(); ++i) EXPECT_EQ(out.Fields[i], fields[i]) << i;
      }
    }
  }
}

TEST(LineScan, AsksForMoreWhenTheLineOrItsEndIsNotKnownYet) {
  const std::string text = WithChecksum("!AIVDM,1,1,,A,13@GMrh01n0V5jlO27lF@5200D0`,0") + "\r\n";
  std::string buffer = text + std::string(16, 'x');
  TScannedLine out;
  for (size_t known = 1; known < text.size(); ++known)
    EXPECT_EQ(ScanLogLine(buffer.data(), known, false, true, 0, out), kScanNeedsMore) << known;
  EXPECT_EQ(ScanLogLine(buffer.data(), text.size(), false, true, 0, out), text.size());
  EXPECT_EQ(out.Kind, sk_AIS);
  // Known to be the end of the file: a cut line is a line.
  EXPECT_EQ(ScanLogLine(buffer.data(), 20, true, true, 0, out), 20u);
  EXPECT_EQ(out.Line, std::string_view(text).substr(0, 20));
  // Without padding the plain way gives the same line.
  EXPECT_EQ(ScanLogLine(text.data(), text.size(), true, false, 0, out), text.size());
  EXPECT_EQ(out.Line.size(), text.size() - 2);
}

TEST(Checksum, AgreesWithTheByteLoopAtEveryLength) {
  std::mt19937 rng(5);
  for (size_t n = 0; n < 120; ++n) {
    std::string body(n, ' ');
    for (char& c : body) c = static_cast<char>(rng() % 256);
    for (const std::string& line : {body, body.empty() ? body : WithChecksum(body)}) {
      const unsigned sum = ReferenceSum(line);
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", sum);
      const bool expected = line.size() >= 2 && line.compare(line.size() - 2, 2, hex) == 0;
      EXPECT_EQ(NMEA_ChecksumOK(line), expected) << n;
      EXPECT_EQ(NMEA_ChecksumMatches(line, sum), expected) << n;
    }
  }
}

TEST(NumberText, AgreesWithToString) {
  std::vector<uint64_t> values = {0, 1, 9, 10, 11, 99, 100, 101, 999, 1000, 999999999, 1000000000,
                                  1073741823, UINT64_MAX, UINT64_MAX / 10, 10000000000000000000ull};
  std::mt19937_64 rng(3);
  for (int i = 0; i < 2000; ++i) values.push_back(rng() >> (rng() % 64));
  for (uint64_t v : values) {
    TNumberChars chars;
    EXPECT_EQ(UIntChars(v, chars), std::to_string(v));
    EXPECT_EQ(UIntToText(v), std::to_string(v));
    const int64_t s = static_cast<int64_t>(v);
    EXPECT_EQ(IntToText(s), std::to_string(s));
  }
}

TEST(SixBitText, AgreesWithTheBitReader) {
  std::mt19937 rng(9);
  for (int round = 0; round < 500; ++round) {
    std::string payload(rng() % 90, ' ');
    for (char& c : payload) c = static_cast<char>(rng() % 256);
    const unsigned offset = rng() % 600, count = rng() % 30;
    std::string expected(count, '@');
    for (unsigned i = 0; i < count; ++i) {
      const uint64_t at = offset + 6ull * i;
      if (at >= payload.size() * 6) break;
      expected[i] = AIS_SixBitChar(AIS_Bits(payload, static_cast<unsigned>(at), 6));
    }
    EXPECT_EQ(AIS_Text(payload, offset, count), expected) << offset << " " << count;
  }
}

void ExpectSamePoint(const TDynamic& a, const TDynamic& b, std::string_view payload) {
  EXPECT_EQ(a.MMSI, b.MMSI) << payload;
  EXPECT_EQ(a.NavStatus, b.NavStatus) << payload;
  EXPECT_EQ(a.Speed, b.Speed) << payload;
  EXPECT_EQ(a.Lon, b.Lon) << payload;
  EXPECT_EQ(a.Lat, b.Lat) << payload;
  EXPECT_EQ(a.COG, b.COG) << payload;
  EXPECT_EQ(a.TH, b.TH) << payload;
  EXPECT_EQ(a.TimeStampStr, b.TimeStampStr) << payload;
}

// Any characters and lengths, also too short ones: the missing bits read as 0 both ways.
TEST(PositionDecode, AgreesWithTheMessageRecords) {
  std::mt19937 rng(21);
  static constexpr char kArmour[] = "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVW`abcdefghijklmnopqrstuvw";
  for (int round = 0; round < 3000; ++round) {
    std::string p(rng() % 40, ' ');
    for (char& c : p) c = round % 7 == 0 ? static_cast<char>(rng() % 256) : kArmour[rng() % 64];
    TDynamic fast;
    PositionToDynamic(AIS_DecodePosition(p, 1), fast);
    ExpectSamePoint(fast, Msg1ToDynamic(AIS_DecodeMsg1(p)), p);
    TDynamic fast18;
    PositionToDynamic(AIS_DecodePosition(p, 18), fast18);
    ExpectSamePoint(fast18, Msg18ToDynamic(AIS_DecodeMsg18(p)), p);
  }
}

// The payloads of the real recordings.
TEST(PositionDecode, AgreesOnRealPayloads) {
  PELORIN_REQUIRE_SHARED();
  size_t compared = 0;
  for (const char* name : {"gpsd-sample.aivdm", "signalk-nais400-merrimac.log", "opencpn-Hakefjord.log"}) {
    std::ifstream in(test::SharedDir() / "data/real" / name);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      TFieldList f;
      const TSentenceKind kind = NMEA_Split(line, f);
      if ((kind != sk_AIS && kind != sk_OwnAIS) || f.size() != 7 || f[1] != "1") continue;
      const int id = AIS_MsgID(f[5]);
      if (id != 1 && id != 2 && id != 3 && id != 18) continue;
      TDynamic fast;
      PositionToDynamic(AIS_DecodePosition(f[5], id), fast);
      ExpectSamePoint(fast, id == 18 ? Msg18ToDynamic(AIS_DecodeMsg18(f[5])) : Msg1ToDynamic(AIS_DecodeMsg1(f[5])),
                      f[5]);
      ++compared;
    }
  }
  EXPECT_GT(compared, 100u);
}

void ExpectSameStatic(const TStatic& a, const TStatic& b) {
  for (auto field : {&TStatic::MMSI, &TStatic::AISclass, &TStatic::IMO, &TStatic::CallSign, &TStatic::ShipName,
                     &TStatic::ShipsType, &TStatic::GNSS, &TStatic::ETA, &TStatic::Draught, &TStatic::Destination,
                     &TStatic::VendorID, &TStatic::NavStatus})
    EXPECT_EQ(a.*field, b.*field);
  EXPECT_EQ(a.Dimension.Laenge, b.Dimension.Laenge);
  EXPECT_EQ(a.Dimension.Breite, b.Dimension.Breite);
  EXPECT_EQ(a.Num_Msg5, b.Num_Msg5);
  EXPECT_EQ(a.aPlot.size(), b.aPlot.size());
}

// One working record decoded into again and again keeps nothing of the report before.
TEST(StaticDecode, IntoAWorkingRecordAsIntoANewOne) {
  std::mt19937 rng(31);
  static constexpr char kArmour[] = "0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVW`abcdefghijklmnopqrstuvw";
  TMsg5 m5;
  TMsg24A m24a;
  TMsg24B m24b;
  TStatic work;
  work.aPlot.resize(3);
  work.Num_Msg5 = 9;
  for (int round = 0; round < 1000; ++round) {
    std::string p(rng() % 80, ' ');
    for (char& c : p) c = kArmour[rng() % 64];
    SCOPED_TRACE(p);
    AIS_DecodeMsg5(p, m5);
    Msg5ToStatic(m5, work);
    ExpectSameStatic(work, Msg5ToStatic(AIS_DecodeMsg5(p)));
    AIS_DecodeMsg24A(p, m24a);
    Msg24AToStatic(m24a, work);
    ExpectSameStatic(work, Msg24AToStatic(AIS_DecodeMsg24A(p)));
    AIS_DecodeMsg24B(p, m24b);
    Msg24BToStatic(m24b, work);
    ExpectSameStatic(work, Msg24BToStatic(AIS_DecodeMsg24B(p)));
  }
}

}  // namespace
}  // namespace pelorin
