#include "analysis/sentence_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelorin {

void TLineScanner::Slow(TScannedLine& out) {
  out.Classified = false;
  out.Line = LineAt(file_, at_, at_);
}

void TLineScanner::Next(TScannedLine& out) {
#if defined(__SSE2__)
  const char* data = file_.Buffer.data();
  const uint64_t size = file_.Buffer.size();
  // AIS sentences begin with "!"; the padding after the buffer lets every 16-byte load
  // that starts before the end stay inside it.
  if (at_ >= size || data[at_] != '!' || !file_.Buffer.Padded()) {
    Slow(out);
    return;
  }
  static_assert(TFileBuffer::kPadding >= 16, "a whole block may be read past the end");
  const char* p = data + at_;
  const uint64_t left = size - at_;
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const __m128i comma = _mm_set1_epi8(','), star = _mm_set1_epi8('*');
  __m128i sum = _mm_setzero_si128();
  uint32_t separators[8];
  size_t count = 0;
  uint64_t lastSeparator = UINT64_MAX;
  uint64_t length = 0;
  for (uint64_t base = 0;; base += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + base));
    unsigned ends = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
    if (left - base < 16) ends |= 1u << (left - base);  // the end of the buffer ends the line
    unsigned seps = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, comma), _mm_cmpeq_epi8(chunk, star))));
    if (ends != 0) {
      const unsigned end = static_cast<unsigned>(__builtin_ctz(ends));
      length = base + end;
      seps &= (1u << end) - 1u;
      static constexpr unsigned char kHead[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                  0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0,    0,    0,    0,    0,    0,
                                                  0,    0,    0,    0,    0,    0,    0,    0,    0,    0};
      const __m128i keep = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kHead + 16 - end));
      sum = _mm_xor_si128(sum, _mm_and_si128(chunk, keep));
    } else {
      sum = _mm_xor_si128(sum, chunk);
    }
    while (seps != 0) {
      const uint64_t at = base + static_cast<uint64_t>(__builtin_ctz(seps));
      seps &= seps - 1;
      if (count < 8) separators[count] = static_cast<uint32_t>(at);
      ++count;
      lastSeparator = at;
    }
    if (ends != 0) break;
    // A line too long for 32-bit positions goes the general way.
    if (base > UINT32_MAX - 32) {
      Slow(out);
      return;
    }
  }
  // NMEA_Split never looks at the last character.
  if (count > 0 && lastSeparator + 1 == length) --count;

  out.Line = std::string_view(p, length);
  const uint64_t end = at_ + length;
  at_ = end >= size ? size : (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n') ? end + 2 : end + 1;

  out.Classified = true;
  out.Count = count;
  out.Kind = sk_Other;
  if (count == 0) return;
  uint64_t start = 0;
  const size_t stored = count < out.Fields.size() ? count : out.Fields.size();
  for (size_t i = 0; i < stored; ++i) {
    out.Fields[i] = std::string_view(p + start, separators[i] - start);
    start = separators[i] + 1;
  }
  const TSentenceKind kind = NMEA_TagKind(out.Fields[0]);
  if (kind != sk_AIS && kind != sk_OwnAIS) {
    // Not an AIS sentence after all: let NMEA_Split decide.
    out.Classified = kind == sk_Other;
    return;
  }
  // The XOR of the whole line, less its first character and its last three.
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 8));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 4));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 2));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 1));
  unsigned x = static_cast<unsigned>(_mm_cvtsi128_si32(sum)) & 0xFFu;
  const auto byte = [&](uint64_t i) { return static_cast<unsigned>(static_cast<unsigned char>(p[i])); };
  x = length >= 4 ? x ^ byte(0) ^ byte(length - 3) ^ byte(length - 2) ^ byte(length - 1) : 0u;
  if (NMEA_ChecksumMatches(out.Line, x)) out.Kind = kind;
#else
  Slow(out);
#endif
}

}  // namespace pelorin
