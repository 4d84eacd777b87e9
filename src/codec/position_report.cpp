// Position reports (messages 1, 2, 3 and 18) as numbers, read in one sweep over the
// payload, and their track point: the same texts as the message records give.
#include <array>
#include <cstring>

#include "codec/ais_bits.h"
#include "codec/ais_fields.h"
#include "codec/ais_messages.h"
#include "codec/ais_tables.h"
#include "codec/number_text.h"

namespace pelorin {

namespace {

constexpr std::array<uint8_t, 256> MakeSixBitTable() {
  std::array<uint8_t, 256> table{};
  for (unsigned c = 0; c < 256; ++c) table[c] = static_cast<uint8_t>(AIS_SixBit(static_cast<char>(c)));
  return table;
}
constexpr std::array<uint8_t, 256> kSixBit = MakeSixBitTable();

// Ten characters (60 bits) from `p`, the first in the top bits.
inline uint64_t SixtyBits(const unsigned char* p, size_t count) {
  uint64_t group = 0;
  for (size_t k = 0; k < count; ++k) group = (group << 6) | kSixBit[p[k]];
  return group;
}

// The first 168 bits of a payload (28 characters, enough for both layouts), most
// significant first; bits past its end are 0, as AIS_Bits reads them.
class TBitWindow {
 public:
  explicit TBitWindow(std::string_view payload) {
    unsigned char padded[kChars];
    const unsigned char* p = reinterpret_cast<const unsigned char*>(payload.data());
    if (payload.size() < kChars) {
      std::memcpy(padded, payload.data(), payload.size());
      std::memset(padded + payload.size(), '0', kChars - payload.size());  // '0' is six zero bits
      p = padded;
    }
    // Three independent groups (bits 0-59, 60-119, 120-167), then 64-bit words.
    const uint64_t g0 = SixtyBits(p, 10), g1 = SixtyBits(p + 10, 10), g2 = SixtyBits(p + 20, 8);
    words_[0] = (g0 << 4) | (g1 >> 56);
    words_[1] = (g1 << 8) | (g2 >> 40);
    words_[2] = g2 << 24;
  }
  // offset + width <= 168, width <= 32.
  uint32_t U(unsigned offset, unsigned width) const {
    const unsigned word = offset / 64, shift = offset % 64;
    uint64_t top = words_[word] << shift;
    if (shift != 0 && word + 1 < kWords) top |= words_[word + 1] >> (64 - shift);
    return static_cast<uint32_t>(top >> (64 - width));
  }
  int32_t S(unsigned offset, unsigned width) const {
    const uint32_t raw = U(offset, width);
    const uint32_t sign = 1u << (width - 1);
    return static_cast<int32_t>(raw ^ sign) - static_cast<int32_t>(sign);
  }

 private:
  static constexpr size_t kChars = 28;
  static constexpr unsigned kWords = 3;
  uint64_t words_[kWords] = {0, 0, 0};
};

}  // namespace

TPositionReport AIS_DecodePosition(std::string_view payload, int msgId) {
  const TBitWindow bits(payload);
  TPositionReport r;
  r.MMSI = bits.U(8, 30);
  if (msgId == 18) {
    r.ClassB = true;
    r.Speed = bits.U(46, 10);
    r.Lon = bits.S(57, 28);
    r.Lat = bits.S(85, 27);
    r.COG = bits.U(112, 12);
    r.TH = bits.U(124, 9);
    r.TimeStamp = bits.U(133, 6);
  } else {
    r.NavStatus = bits.U(38, 4);
    r.Speed = bits.U(50, 10);
    r.Lon = bits.S(61, 28);
    r.Lat = bits.S(89, 27);
    r.COG = bits.U(116, 12);
    r.TH = bits.U(128, 9);
  }
  return r;
}

void PositionToDynamic(const TPositionReport& r, TDynamic& point) {
  // Every text is made at the start of `chars`, which has room for a fixed-size copy.
  TNumberChars chars;
  point.MMSI.AssignFromRoomy(UIntChars(r.MMSI, chars));
  if (r.ClassB)
    point.NavStatus.clear();
  else
    point.NavStatus = NavStatusShared(r.NavStatus);
  point.Speed.AssignFromRoomy(AIS_SpeedChars(r.Speed, chars));
  point.Lon.AssignFromRoomy(AIS_LonChars(r.Lon, chars));
  point.Lat.AssignFromRoomy(AIS_LatChars(r.Lat, chars));
  point.COG.AssignFromRoomy(AIS_CourseChars(r.COG, chars));
  point.TH.AssignFromRoomy(AIS_HeadingChars(r.TH, chars));
  if (r.ClassB)
    point.TimeStampStr.AssignFromRoomy(UIntChars(r.TimeStamp, chars));
  else
    point.TimeStampStr.clear();
}

}  // namespace pelorin
