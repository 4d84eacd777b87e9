#include "codec/ais_bits.h"
#include "codec/ais_dispatch.h"

#include <gtest/gtest.h>

#include <string>

#include "codec/ais_payload_builder.h"

namespace pelorin {
namespace {

using test::TPayloadBuilder;

// The readers on a payload's bits, de-armoured as the decoders do it.
uint32_t Bits(std::string_view p, unsigned offset, unsigned width) {
  return AIS_Bits(AIS_PayloadBits(p), offset, width);
}
int32_t SignedBits(std::string_view p, unsigned offset, unsigned width) {
  return AIS_SignedBits(AIS_PayloadBits(p), offset, width);
}
std::string Text(std::string_view p, unsigned offset, unsigned count) {
  std::string text;
  AIS_Text(AIS_PayloadBits(p), offset, count, text);
  return text;
}

TEST(AisSixBit, DeArmouringTable) {
  struct Case { char c; unsigned value; };
  const Case cases[] = {
      {'0', 0}, {'9', 9}, {'W', 39}, {'`', 40}, {'w', 63}, {'X', 40}, {'_', 47},
      {'/', 63},  // below "0": wraps round
      {'x', 0},   // above "w": wraps round
      {'\0', 16}, {'\xff', (255 - 56) & 63},
  };
  for (const auto& c : cases) EXPECT_EQ(AIS_SixBit(c.c), c.value) << "char code " << int(c.c);
}

TEST(AisSixBit, TextCharacters) {
  struct Case { unsigned value; char c; };
  const Case cases[] = {{0, '@'}, {1, 'A'}, {26, 'Z'}, {31, '_'}, {32, ' '}, {33, '!'}, {48, '0'}, {63, '?'}};
  for (const auto& c : cases) EXPECT_EQ(AIS_SixBitChar(c.value), c.c) << c.value;
}

TEST(AisBits, FieldsAcrossCharacterBoundaries) {
  const std::string p = TPayloadBuilder(168)
                            .Set(0, 6, 1)
                            .Set(8, 30, 123456789)
                            .Set(61, 28, -600000)
                            .Set(140, 28, 0xABCDEF1)
                            .Payload();
  EXPECT_EQ(Bits(p, 0, 6), 1u);
  EXPECT_EQ(Bits(p, 8, 30), 123456789u);
  EXPECT_EQ(Bits(p, 61, 28), (1u << 28) - 600000u);
  EXPECT_EQ(SignedBits(p, 61, 28), -600000);
  EXPECT_EQ(Bits(p, 140, 28), 0xABCDEF1u);
  EXPECT_EQ(Bits(p, 140, 4), 0xAu);
  EXPECT_EQ(Bits(p, 164, 4), 0x1u);
  EXPECT_EQ(Bits(p, 8, 0), 0u);
}

TEST(AisBits, ThirtyTwoBitFields) {
  const std::string p = TPayloadBuilder(60).Set(3, 32, 0xFFFFFFFFll).Payload();
  EXPECT_EQ(Bits(p, 3, 32), 0xFFFFFFFFu);
  EXPECT_EQ(SignedBits(p, 3, 32), -1);
  EXPECT_EQ(Bits(p, 3, 40), 0xFFFFFFFFu);  // wider than 32 reads 32
}

TEST(AisBits, SignedTopBitOnly) {
  const std::string p = TPayloadBuilder(36).Set(0, 27, 1ll << 26).Set(27, 9, 255).Payload();
  EXPECT_EQ(SignedBits(p, 0, 27), -(1 << 26));
  EXPECT_EQ(SignedBits(p, 27, 9), 255);
  EXPECT_EQ(SignedBits(p, 0, 1), -1);
}

TEST(AisBits, BitsBeyondThePayloadReadAsZero) {
  // "w" is six set bits; whatever lies past the text is zero.
  EXPECT_EQ(Bits("w", 0, 8), 0xFCu);
  EXPECT_EQ(Bits("w", 4, 4), 0xCu);
  EXPECT_EQ(Bits("w", 6, 30), 0u);
  EXPECT_EQ(Bits("", 0, 32), 0u);
  EXPECT_EQ(Bits("www", 0xFFFFFFF0u, 32), 0u);
  EXPECT_EQ(SignedBits("w", 0, 8), -4);
  EXPECT_EQ(SignedBits("", 61, 28), 0);
}

// The decoders' window: 104 characters, past the end of every field they read.
TEST(AisBits, WindowOfTheFirstCharacters) {
  const std::string p = TPayloadBuilder(690).Set(618, 6, 63).Set(624, 6, 63).Payload();
  EXPECT_EQ(Bits(p, 618, 6), 63u);
  EXPECT_EQ(Bits(p, 622, 10), 3u << 8);
  EXPECT_EQ(AIS_Bits(AIS_PayloadBits(p, 28), 618, 6), 0u);
  EXPECT_EQ(Text(p, 618, 2), "?@");
}

TEST(AisBits, ViewIsNotReadPastItsEnd) {
  // The bytes after the view are set bits; a decoder that overreads would see them.
  const std::string backing = "1wwwwwwwww";
  const std::string_view p(backing.data(), 1);
  EXPECT_EQ(Bits(p, 0, 30), 1u << 24);
  EXPECT_EQ(Text(p, 6, 3), "@@@");
}

TEST(AisText, DecodesAndPadsWithAt) {
  const std::string p = TPayloadBuilder(60).SetText(0, "AB 9?").Payload();
  EXPECT_EQ(Text(p, 0, 5), "AB 9?");
  EXPECT_EQ(Text(p, 0, 10), "AB 9?@@@@@");
  EXPECT_EQ(Text(p, 6, 2), "B ");
  EXPECT_EQ(Text(p, 60, 3), "@@@");  // wholly past the end
  EXPECT_EQ(Text(p, 0, 0), "");
}

TEST(AisText, PartialLastCharacterKeepsItsBits) {
  // 9 bits: "A" (000001) then 111 of a character that is cut off: 111000 = 56 = "8".
  const std::string p = TPayloadBuilder(9).Set(0, 6, 1).Set(6, 3, 7).Payload();
  EXPECT_EQ(p.size(), 2u);
  EXPECT_EQ(Text(p.substr(0, 2), 0, 3), "A8@");
}

struct TCleanCase {
  const char* raw;
  TCleanSet set;
  bool keepFirst;
  bool na;
  const char* expected;
};

class AisCleanTextTable : public ::testing::TestWithParam<TCleanCase> {};

TEST_P(AisCleanTextTable, Cleans) {
  const auto& c = GetParam();
  std::string text = c.raw;
  AIS_CleanText(text, c.set, c.keepFirst, c.na);
  EXPECT_EQ(text, c.expected) << c.raw;
}

INSTANTIATE_TEST_SUITE_P(
    Sets, AisCleanTextTable,
    ::testing::Values(
        // Message 5 name: full set, every character.
        TCleanCase{"@@@@@@@@@@@@@@@@@@@@", TCleanSet::Full, false, true, "n.a."},
        TCleanCase{"ABCDE@@@@@@@@@@@@@@@", TCleanSet::Full, false, true, "ABCDE               "},
        TCleanCase{"A&B<C>@@@@@@@@@@@@@@", TCleanSet::Full, false, true, "A_B C               "},
        // The n.a. test takes the first character before cleaning...
        TCleanCase{"@<>@@@@", TCleanSet::Full, false, true, "n.a."},
        // ...so a leading blank is not padding, and a padding-first text with a letter is kept.
        TCleanCase{" @@@@@@", TCleanSet::Full, false, true, "       "},
        TCleanCase{"@A@@@@@", TCleanSet::Full, false, true, " A     "},
        // Message 5 call sign: padding set, first character unchanged.
        TCleanCase{"@@@@@@@", TCleanSet::Padding, true, true, "n.a."},
        TCleanCase{"@AB@@@@", TCleanSet::Padding, true, true, "@AB    "},
        TCleanCase{"A&<>@@@", TCleanSet::Padding, true, true, "A&<>   "},
        TCleanCase{"@&@@@@@", TCleanSet::Padding, true, true, "@&     "},
        // Message 24 name, vendor, call sign: ampersand set, first character unchanged.
        TCleanCase{"&A&<>@@", TCleanSet::Ampersand, true, true, "&A_<>  "},
        TCleanCase{"@@@@@@@", TCleanSet::Ampersand, true, true, "n.a."},
        TCleanCase{"@<@@@@@", TCleanSet::Ampersand, true, true, "@<     "},
        // Message 14 text: full set, never n.a.
        TCleanCase{"@@@@@@@@@@@@@@@@", TCleanSet::Full, false, false, "                "},
        TCleanCase{"SART ACTIVE@@@@@", TCleanSet::Full, false, false, "SART ACTIVE     "},
        // Edges of length.
        TCleanCase{"@", TCleanSet::Full, false, true, "n.a."},
        TCleanCase{"", TCleanSet::Full, false, true, ""}));

TEST(AisMsgID, FirstCharacter) {
  struct Case { const char* payload; int id; };
  const Case cases[] = {
      {"", 0}, {"1", 1}, {"2", 2}, {"3", 3}, {"5", 5}, {"B", 18}, {">", 14}, {"w", 63}, {"0", 0},
      {"15RTgt0PAso;90TKcjM8h6g208CQ", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(AIS_MsgID(c.payload), c.id) << c.payload;
}

TEST(AisMsgID, Message24PartBit) {
  // Part number bits 38..39 for every value: only bit 39 decides.
  const int expected[] = {MsgID_24A, MsgID_24B, MsgID_24A, MsgID_24B};
  for (int part = 0; part < 4; ++part) {
    const std::string p = TPayloadBuilder(168).Set(0, 6, 24).Set(38, 2, part).Payload();
    EXPECT_EQ(AIS_MsgID(p), expected[part]) << part;
  }
  // Seventh character alone: weight 4 of its six-bit value.
  EXPECT_EQ(AIS_MsgID("H000004"), MsgID_24B);
  EXPECT_EQ(AIS_MsgID("H00000;"), MsgID_24A);  // 11 = 8 + 2 + 1
  EXPECT_EQ(AIS_MsgID("H00000<"), MsgID_24B);  // 12 = 8 + 4
}

TEST(AisMsgID, ShortMessage24ReadsPartA) {
  EXPECT_EQ(AIS_MsgID("H"), MsgID_24A);
  EXPECT_EQ(AIS_MsgID("Hwwwww"), MsgID_24A);
}

TEST(AisMsgID, RealMessage24Pair) {
  // gpsd test/sample.aivdm (BSD-2-Clause), from Nirgal.
  EXPECT_EQ(AIS_MsgID("H42O55i18tMET00000000000000"), MsgID_24A);
  EXPECT_EQ(AIS_MsgID("H42O55lti4hhhilD3nink000?050"), MsgID_24B);
}

TEST(AisMinPayloadChars, PerMessage) {
  struct Case { int id; unsigned chars; };
  const Case cases[] = {{1, 23}, {2, 23}, {3, 23}, {18, 28}, {5, 70}, {14, 7}, {MsgID_24A, 27},
                        {MsgID_24B, 28}, {0, 0}, {4, 0}, {24, 0}, {63, 0}, {-1, 0}};
  for (const auto& c : cases) EXPECT_EQ(AIS_MsgRule(c.id).MinPayloadChars, c.chars) << c.id;
}

}  // namespace
}  // namespace pelorin
