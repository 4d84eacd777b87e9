#include "codec/ais_bits.h"

#include <algorithm>

namespace pelorin {

char AIS_SixBitChar(unsigned value) {
  value &= 63u;
  return static_cast<char>(value < 32 ? value + 64 : value);
}

uint32_t AIS_Bits(std::string_view payload, unsigned offset, unsigned width) {
  width = std::min(width, 32u);
  if (width == 0) return 0;
  // 64-bit so that a field at the end of a huge payload cannot wrap the bit count.
  const uint64_t available = static_cast<uint64_t>(payload.size()) * 6;
  const uint64_t first = offset;
  const uint64_t end = first + width;  // one past the last bit
  uint64_t value = 0;
  // Gather the whole characters the field touches; those past the text count as 0.
  const uint64_t firstChar = first / 6;
  const uint64_t lastChar = (end - 1) / 6;
  for (uint64_t k = firstChar; k <= lastChar; ++k) {
    const unsigned six = k * 6 < available ? AIS_SixBit(payload[static_cast<size_t>(k)]) : 0u;
    value = (value << 6) | six;
  }
  const uint64_t spanEnd = (lastChar + 1) * 6;
  value >>= (spanEnd - end);
  const uint64_t mask = width == 32 ? 0xFFFFFFFFull : ((1ull << width) - 1);
  return static_cast<uint32_t>(value & mask);
}

int32_t AIS_SignedBits(std::string_view payload, unsigned offset, unsigned width) {
  width = std::min(width, 32u);
  if (width == 0) return 0;
  const uint32_t raw = AIS_Bits(payload, offset, width);
  if (width == 32) return static_cast<int32_t>(raw);
  const uint32_t top = 1u << (width - 1);
  return static_cast<int32_t>(raw ^ top) - static_cast<int32_t>(top);
}

std::string AIS_Text(std::string_view payload, unsigned offset, unsigned count) {
  std::string text;
  AIS_Text(payload, offset, count, text);
  return text;
}

void AIS_Text(std::string_view payload, unsigned offset, unsigned count, std::string& text) {
  text.assign(count, '@');
  const uint64_t available = static_cast<uint64_t>(payload.size()) * 6;
  for (unsigned i = 0; i < count; ++i) {
    const uint64_t at = static_cast<uint64_t>(offset) + 6ull * i;
    if (at >= available || at > UINT32_MAX) break;  // the rest is padding
    // Six bits from at most two characters; a missing second one reads as 0.
    const size_t first = static_cast<size_t>(at / 6);
    const unsigned skip = static_cast<unsigned>(at % 6);
    const unsigned next = first + 1 < payload.size() ? AIS_SixBit(payload[first + 1]) : 0u;
    const unsigned pair = (AIS_SixBit(payload[first]) << 6) | next;
    text[i] = AIS_SixBitChar((pair >> (6 - skip)) & 63u);
  }
}

namespace {

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

void AIS_CleanTextInPlace(std::string& text, TCleanSet set, bool keepFirst, bool naIfAllPadding) {
  const bool firstIsPadding = !text.empty() && text.front() == '@';
  bool restBlank = true;
  for (size_t i = keepFirst ? 1 : 0; i < text.size(); ++i) {
    text[i] = Clean(text[i], set);
    if (i > 0 && text[i] != ' ') restBlank = false;
  }
  if (naIfAllPadding && firstIsPadding && restBlank) text.assign("n.a.");
}

std::string AIS_CleanText(std::string_view raw, TCleanSet set, bool keepFirst, bool naIfAllPadding) {
  std::string text(raw);
  AIS_CleanTextInPlace(text, set, keepFirst, naIfAllPadding);
  return text;
}

std::string AIS_CleanField(std::string_view payload, unsigned offset, unsigned count, TCleanSet set,
                           bool keepFirst, bool naIfAllPadding) {
  std::string text;
  AIS_CleanField(payload, offset, count, set, keepFirst, naIfAllPadding, text);
  return text;
}

void AIS_CleanField(std::string_view payload, unsigned offset, unsigned count, TCleanSet set, bool keepFirst,
                    bool naIfAllPadding, std::string& out) {
  AIS_Text(payload, offset, count, out);
  AIS_CleanTextInPlace(out, set, keepFirst, naIfAllPadding);
}

int AIS_MsgID(std::string_view payload) {
  if (payload.empty()) return 0;
  const int id = static_cast<int>(AIS_SixBit(payload.front()));
  if (id != 24) return id;
  return AIS_Bits(payload, 39, 1) ? MsgID_24B : MsgID_24A;
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
