#pragma once
// De-armouring of AIS payloads and reading of bit fields (ITU-R M.1371 bit order).
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
char AIS_SixBitChar(unsigned value);     // for 0..63
uint32_t AIS_Bits(std::string_view payload, unsigned offset, unsigned width);        // width <= 32
int32_t AIS_SignedBits(std::string_view payload, unsigned offset, unsigned width);   // two's complement
std::string AIS_Text(std::string_view payload, unsigned offset, unsigned count);     // no cleaning
// The same into `out`, whose memory is used again.
void AIS_Text(std::string_view payload, unsigned offset, unsigned count, std::string& out);

enum class TCleanSet { Full, Ampersand, Padding };
// Applies `set` to every character, or to every character but the first when
// `keepFirst`; with `naIfAllPadding`, a field whose first character (as decoded) is "@"
// and whose other characters are blanks after cleaning reads "n.a.".
std::string AIS_CleanText(std::string_view raw, TCleanSet set, bool keepFirst, bool naIfAllPadding);
// The same on a text of AIS_Text, in its own buffer.
void AIS_CleanTextInPlace(std::string& text, TCleanSet set, bool keepFirst, bool naIfAllPadding);
// AIS_Text cleaned in place: what the decoders use for their text fields.
std::string AIS_CleanField(std::string_view payload, unsigned offset, unsigned count, TCleanSet set,
                           bool keepFirst, bool naIfAllPadding);
void AIS_CleanField(std::string_view payload, unsigned offset, unsigned count, TCleanSet set, bool keepFirst,
                    bool naIfAllPadding, std::string& out);

int AIS_MsgID(std::string_view payload);

// Payload characters a decoder needs for the fields it reads (0 for ids not decoded).
// 1/2/3: 23, 18: 28, 5: 70 (the common 420-bit form), 14: 7, 24A: 27, 24B: 28.
unsigned AIS_MinPayloadChars(int msgId);

}  // namespace pelorin
