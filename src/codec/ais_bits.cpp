#include "codec/ais_bits.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace pelorin {

namespace {

constexpr std::array<uint8_t, 256> MakeSixBitTable() {
  std::array<uint8_t, 256> table{};
  for (unsigned c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(AIS_SixBit(static_cast<char>(c)));
  return table;
}
constexpr std::array<uint8_t, 256> kSixBit = MakeSixBitTable();

// `count` characters (at most ten: 60 bits) from `p`, the first in the top bits.
uint64_t SixBitGroup(const unsigned char* p, size_t count) {
  uint64_t group = 0;
  for (size_t k = 0; k < count; ++k) group = (group << 6) | kSixBit[p[k]];
  return group;
}

char Clean(char c, TCleanSet set) {
  switch (c) {
    case '@': return ' ';
    case '&': return set == TCleanSet::Padding ? c : '_';
    case '<':
    case '>': return set == TCleanSet::Full ? ' ' : c;
    default: return c;
  }
}

}  // namespace

char AIS_SixBitChar(unsigned value) {
  value &= 63u;
  return static_cast<char>(value < 32 ? value + 64 : value);
}

TPayloadBits AIS_PayloadBits(std::string_view payload, unsigned chars) {
  constexpr size_t kBlock = 32;  // characters: 192 bits, three words
  const size_t blocks = std::min<size_t>((std::max(chars, 1u) + kBlock - 1) / kBlock, TPayloadBits::kWords / 3);
  const size_t wanted = blocks * kBlock;
  unsigned char padded[TPayloadBits::kWords / 3 * kBlock];
  const unsigned char* p = reinterpret_cast<const unsigned char*>(payload.data());
  if (payload.size() < wanted) {
    std::memcpy(padded, payload.data(), payload.size());
    std::memset(padded + payload.size(), '0', wanted - payload.size());  // '0' is six zero bits
    p = padded;
  }
  TPayloadBits bits;
  for (size_t b = 0; b < blocks; ++b, p += kBlock) {
    // Groups that do not wait on each other: bits 0-59, 60-119, 120-179, 180-191.
    const uint64_t g0 = SixBitGroup(p, 10), g1 = SixBitGroup(p + 10, 10), g2 = SixBitGroup(p + 20, 10),
                   g3 = SixBitGroup(p + 30, 2);
    bits.Words[3 * b] = (g0 << 4) | (g1 >> 56);
    bits.Words[3 * b + 1] = (g1 << 8) | (g2 >> 52);
    bits.Words[3 * b + 2] = (g2 << 12) | g3;
  }
  return bits;
}

void AIS_Text(const TPayloadBits& bits, unsigned offset, unsigned count, std::string& text) {
  text.resize(count);
  for (unsigned i = 0; i < count; ++i) {
    const uint64_t at = static_cast<uint64_t>(offset) + 6ull * i;
    text[i] = AIS_SixBitChar(at < TPayloadBits::kBits ? AIS_Bits(bits, static_cast<unsigned>(at), 6) : 0u);
  }
}

void AIS_CleanText(std::string& text, TCleanSet set, bool keepFirst, bool naIfAllPadding) {
  const bool firstIsPadding = !text.empty() && text.front() == '@';
  bool restBlank = true;
  for (size_t i = keepFirst ? 1 : 0; i < text.size(); ++i) {
    text[i] = Clean(text[i], set);
    if (i > 0 && text[i] != ' ') restBlank = false;
  }
  if (naIfAllPadding && firstIsPadding && restBlank) text.assign("n.a.");
}

void AIS_CleanField(const TPayloadBits& bits, unsigned offset, unsigned count, TCleanSet set, bool keepFirst,
                    bool naIfAllPadding, std::string& out) {
  AIS_Text(bits, offset, count, out);
  AIS_CleanText(out, set, keepFirst, naIfAllPadding);
}

int AIS_MsgID(std::string_view payload) {
  if (payload.empty()) return 0;
  const int id = static_cast<int>(AIS_SixBit(payload.front()));
  if (id != 24) return id;
  // Bit 39, the low bit of the part number: weight 4 in the seventh character.
  const bool partB = payload.size() > 6 && (AIS_SixBit(payload[6]) & 4u) != 0;
  return partB ? MsgID_24B : MsgID_24A;
}

unsigned AIS_MinPayloadChars(int msgId) {
  switch (msgId) {
    case 1:
    case 2:
    case 3: return 23;
    case 18: return 28;
    case 5: return 70;
    case 14: return 7;
    case MsgID_24A: return 27;
    case MsgID_24B: return 28;
    default: return 0;
  }
}

}  // namespace pelorin
