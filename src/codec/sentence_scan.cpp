#include "codec/sentence_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelorin {

namespace {

// After a line end at `end`: CR LF counts as one end.
uint64_t AfterEnd(const char* data, uint64_t size, uint64_t end) {
  if (end >= size) return size;
  return data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
}

// Any line, character by character.
uint64_t ScanPlain(const char* data, uint64_t size, bool complete, uint64_t at, TScannedLine& out) {
  uint64_t i = at;
  while (i < size && data[i] != '\r' && data[i] != '\n') ++i;
  if (!complete && (i >= size || (data[i] == '\r' && i + 1 >= size))) return kScanNeedsMore;
  out.Classified = false;
  out.Line = std::string_view(data + at, i - at);
  return AfterEnd(data, size, i);
}

}  // namespace

uint64_t ScanLogLine(const char* data, uint64_t size, bool complete, bool padded, uint64_t at, TScannedLine& out) {
#if defined(__SSE2__)
  // AIS sentences begin with "!"; the rest is rare enough for the plain way.
  if (!padded || at >= size || data[at] != '!') return ScanPlain(data, size, complete, at, out);
  const char* p = data + at;
  const uint64_t left = size - at;
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  const __m128i comma = _mm_set1_epi8(','), star = _mm_set1_epi8('*');
  __m128i sum = _mm_setzero_si128();
  uint64_t separators[8];
  size_t count = 0;
  uint64_t lastSeparator = UINT64_MAX;
  uint64_t length = 0;
  for (uint64_t base = 0;; base += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + base));
    unsigned ends = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
    if (left - base < 16) ends |= 1u << (left - base);  // the known bytes end here
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
      const uint64_t sep = base + static_cast<uint64_t>(__builtin_ctz(seps));
      seps &= seps - 1;
      if (count < 8) separators[count] = sep;
      ++count;
      lastSeparator = sep;
    }
    if (ends != 0) break;
  }
  const uint64_t end = at + length;
  if (!complete && (end >= size || (data[end] == '\r' && end + 1 >= size))) return kScanNeedsMore;
  // NMEA_Split never looks at the last character.
  if (count > 0 && lastSeparator + 1 == length) --count;

  out.Line = std::string_view(p, length);
  out.Classified = true;
  out.Count = count;
  out.Kind = sk_Other;
  const uint64_t next = AfterEnd(data, size, end);
  if (count == 0) return next;
  uint64_t start = 0;
  const size_t stored = count < out.Fields.size() ? count : out.Fields.size();
  for (size_t i = 0; i < stored; ++i) {
    out.Fields[i] = std::string_view(p + start, separators[i] - start);
    start = separators[i] + 1;
  }
  const TSentenceKind kind = NMEA_TagKind(out.Fields[0]);
  // A "!" sentence is AIS or nothing we read.
  if (kind != sk_AIS && kind != sk_OwnAIS) return next;
  // The XOR of the whole line, less its first character and its last three.
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 8));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 4));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 2));
  sum = _mm_xor_si128(sum, _mm_srli_si128(sum, 1));
  unsigned x = static_cast<unsigned>(_mm_cvtsi128_si32(sum)) & 0xFFu;
  const auto byte = [&](uint64_t i) { return static_cast<unsigned>(static_cast<unsigned char>(p[i])); };
  x = length >= 4 ? x ^ byte(0) ^ byte(length - 3) ^ byte(length - 2) ^ byte(length - 1) : 0u;
  if (NMEA_ChecksumMatches(out.Line, x)) out.Kind = kind;
  return next;
#else
  (void)padded;
  return ScanPlain(data, size, complete, at, out);
#endif
}

}  // namespace pelorin
