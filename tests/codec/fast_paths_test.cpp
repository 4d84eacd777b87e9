// The hot path's shortcuts against the plain ways: the vector checksum against a byte
// loop, the number texts against std::to_string, the text reader and the de-armoured
// payload bits against the bit reader, working records against new ones.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "codec/ais_bits.h"
#include "codec/ais_messages.h"
#include "codec/nmea.h"
#include "codec/number_text.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::WithChecksum;

unsigned ReferenceSum(std::string_view line) {
  unsigned sum = 0;
  for (size_t i = 1; i + 3 < line.size(); ++i) sum ^= static_cast<unsigned char>(line[i]);
  return sum;
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
    const int64_t s = static_cast<int64_t>(v);
    EXPECT_EQ(IntToText(s), std::to_string(s));
  }
}

// Bit k of a payload the plain way: character k / 6, bit 5 - k % 6 of its six-bit value;
// 0 past the payload and past the decoders' window.
uint32_t ReferenceBits(std::string_view p, uint64_t offset, unsigned width) {
  uint32_t value = 0;
  for (uint64_t k = offset; k < offset + width; ++k) {
    const bool read = k / 6 < p.size() && k < TPayloadBits::kBits;
    value = (value << 1) | (read ? (AIS_SixBit(p[k / 6]) >> (5 - k % 6)) & 1u : 0u);
  }
  return value;
}

// Any characters and lengths, also too short ones: the missing bits read as 0 both ways.
TEST(PayloadBits, AgreeWithThePlainReading) {
  std::mt19937 rng(21);
  for (int round = 0; round < 3000; ++round) {
    std::string p(rng() % 100, ' ');
    for (char& c : p) c = static_cast<char>(rng() % 256);
    const TPayloadBits bits = AIS_PayloadBits(p);
    const unsigned width = 1 + rng() % 32, offset = rng() % (TPayloadBits::kBits + 1 - width);
    const uint32_t raw = ReferenceBits(p, offset, width);
    ASSERT_EQ(AIS_Bits(bits, offset, width), raw) << p << " " << offset << " " << width;
    const int64_t wide = (raw >> (width - 1)) != 0 ? static_cast<int64_t>(raw) - (int64_t{1} << width) : raw;
    ASSERT_EQ(AIS_SignedBits(bits, offset, width), wide);
    const unsigned count = rng() % 10;
    std::string text, expected;
    for (unsigned i = 0; i < count; ++i)
      expected += AIS_SixBitChar(ReferenceBits(p, offset + 6 * i, 6));
    AIS_Text(bits, offset, count, text);
    ASSERT_EQ(text, expected);
  }
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
    ExpectSameStatic(work, test::Static5(p));
    AIS_DecodeMsg24A(p, m24a);
    Msg24AToStatic(m24a, work);
    ExpectSameStatic(work, test::Static24A(p));
    AIS_DecodeMsg24B(p, m24b);
    Msg24BToStatic(m24b, work);
    ExpectSameStatic(work, test::Static24B(p));
  }
}

}  // namespace
}  // namespace pelorin
