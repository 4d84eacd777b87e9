#pragma once
// De-armouring of AIS payloads and reading of bit fields (ITU-R M.1371 bit order).
// A payload is de-armoured once into its bits, from which a decoder reads every field.
// Bits beyond the end of a payload read as 0: nothing ever reads outside the text.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

constexpr int MsgID_24A = 240;
constexpr int MsgID_24B = 241;

// 0..63; inline because every payload character goes through it.
constexpr unsigned AIS_SixBit(char c) {
  const unsigned code = static_cast<unsigned char>(c);
  return (code < 96 ? code - 48 : code - 56) & 63u;
}
char AIS_SixBitChar(unsigned value);  // for 0..63

// The bits of a payload's first 104 characters, past the end of every field a decoder
// reads (message 5's last ends at bit 422): eight characters to a word, in its top 48 bits.
struct TPayloadBits {
  static constexpr unsigned kWords = 13;
  static constexpr unsigned kBits = kWords * 48;
  uint64_t Words[kWords];  // every one set by AIS_PayloadBits, without clearing them first
};
// De-armours the first `chars` characters (at most 104): a position report needs 28,
// the static reports 71. The bits of the rest read as 0.
TPayloadBits AIS_PayloadBits(std::string_view payload, unsigned chars = 104);

// width <= 32; inline, since a position report reads a dozen fields and the log pass
// decodes millions of reports.
inline uint32_t AIS_Bits(const TPayloadBits& bits, unsigned offset, unsigned width) {
  if (width > 32) width = 32;
  if (width == 0 || offset >= TPayloadBits::kBits) return 0;
  const unsigned word = offset / 48, shift = offset % 48;
  uint64_t top = bits.Words[word] << shift;
  if (word + 1 < TPayloadBits::kWords) top |= bits.Words[word + 1] >> (48 - shift);
  return static_cast<uint32_t>(top >> (64 - width));
}
// Two's complement.
inline int32_t AIS_SignedBits(const TPayloadBits& bits, unsigned offset, unsigned width) {
  if (width > 32) width = 32;
  const uint32_t raw = AIS_Bits(bits, offset, width);
  if (width == 0 || width == 32) return static_cast<int32_t>(raw);
  const uint32_t sign = 1u << (width - 1);
  return static_cast<int32_t>(raw ^ sign) - static_cast<int32_t>(sign);
}
// `count` characters of six bits each from `offset` on, no cleaning, into `out`, whose
// memory is used again.
void AIS_Text(const TPayloadBits& bits, unsigned offset, unsigned count, std::string& out);

enum class TCleanSet { Full, Ampersand, Padding };
// Applies `set` to every character of `text`, or to every character but the first when
// `keepFirst`; with `naIfAllPadding`, a field whose first character (as decoded) is "@"
// and whose other characters are blanks after cleaning reads "n.a.".
void AIS_CleanText(std::string& text, TCleanSet set, bool keepFirst, bool naIfAllPadding);
// AIS_Text cleaned: what the decoders use for their text fields.
void AIS_CleanField(const TPayloadBits& bits, unsigned offset, unsigned count, TCleanSet set, bool keepFirst,
                    bool naIfAllPadding, std::string& out);

int AIS_MsgID(std::string_view payload);

}  // namespace pelorin
