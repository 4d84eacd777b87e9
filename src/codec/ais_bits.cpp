#include "codec/ais_bits.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pelorin {

namespace {

// Eight characters at once in one register, the first in the top bits: the log pass
// de-armours millions of payloads, and a table lookup per character costs three times as
// much. Character i is byte i of `x`.
uint64_t SixBitGroup(uint64_t x) {
  constexpr uint64_t kOnes = 0x0101010101010101ull, kSix = 0x3F3F3F3F3F3F3F3Full;
  // AIS_SixBit per byte: c - 48 below 96 and c - 56 from there, modulo 64, is c + 16 or
  // c + 8 modulo 64; bytes from 96 on have bit 7, or bits 6 and 5, set.
  const uint64_t high = ((x >> 7) | ((x >> 6) & (x >> 5))) & kOnes;
  const uint64_t v = ((x & kSix) + 16 * kOnes - (high << 3)) & kSix;
  // Pairs of six bits in 16-bit lanes, then fours in 32-bit lanes, then all eight.
  const uint64_t pairs = ((v & 0x00FF00FF00FF00FFull) << 6) | ((v >> 8) & 0x00FF00FF00FF00FFull);
  const uint64_t fours = ((pairs & 0x0000FFFF0000FFFFull) << 12) | ((pairs >> 16) & 0x0000FFFF0000FFFFull);
  return ((fours & 0xFFFFFFFFull) << 24) | (fours >> 32);
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
  // Every word is stored once, zeros included: clearing the whole record first and copying
  // the last characters with memcpy took most of the time of a position report's bits.
  static_assert(std::endian::native == std::endian::little, "character i is byte i of the word");
  TPayloadBits bits;
  const auto* p = reinterpret_cast<const unsigned char*>(payload.data());
  const size_t size = std::min<size_t>(payload.size(), chars);
  const size_t whole = size / 8;
  uint64_t last = 0x3030303030303030ull;  // '0' is six zero bits
  for (size_t i = 8 * whole; i < size; ++i) {
    const unsigned shift = static_cast<unsigned>(8 * (i - 8 * whole));
    last = (last & ~(uint64_t{0xFF} << shift)) | (uint64_t{p[i]} << shift);
  }
  const uint64_t lastWord = size % 8 != 0 ? SixBitGroup(last) << 16 : 0;
  for (size_t k = 0; k < TPayloadBits::kWords; ++k) {
    if (k < whole) {
      uint64_t x;
      std::memcpy(&x, p + 8 * k, 8);
      bits.Words[k] = SixBitGroup(x) << 16;
    } else {
      bits.Words[k] = k == whole ? lastWord : 0;
    }
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

}  // namespace pelorin
