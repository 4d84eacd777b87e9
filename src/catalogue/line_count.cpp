#include "catalogue/line_count.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelorin {

namespace {

// Bits set in `x`, without a library call on processors built for without POPCNT.
inline uint64_t CountBits(uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555ull);
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return (x * 0x0101010101010101ull) >> 56;
}

}  // namespace

void TLineCounter::Feed(const char* data, uint64_t base, size_t from, size_t to, size_t valid) {
  size_t i = from;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  // Whole 64-byte blocks whose following byte is known.
  for (; i + 64 < valid && i + 64 <= to; i += 64) {
    uint64_t lfs = 0, crs = 0;
    for (int k = 0; k < 4; ++k) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 16 * k));
      lfs |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, lf)))) << (16 * k);
      crs |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, cr)))) << (16 * k);
    }
    const uint64_t lfFollows = (lfs >> 1) | (static_cast<uint64_t>(data[i + 64] == '\n') << 63);
    Ends(base + i, lfs | (crs & ~lfFollows));
  }
#endif
  for (; i < to; ++i) {
    const char c = data[i];
    if (c == '\n' || (c == '\r' && !(i + 1 < valid && data[i + 1] == '\n'))) Ends(base + i, 1);
  }
}

int64_t TLineCounter::Finish(uint64_t size) {
  // The checkpoint of a line that would start at the very end does not exist.
  while (!checkpoints_.empty() && checkpoints_.back() >= size) checkpoints_.pop_back();
  return static_cast<int64_t>(ends_ + (lastStart_ < size ? 1 : 0));
}

// Bit k of `mask` set: a line end at at + k.
void TLineCounter::Ends(uint64_t at, uint64_t mask) {
  if (mask == 0) return;
  const uint64_t count = CountBits(mask);
  if (ends_ + count >= nextCheckpoint_) {
    uint64_t m = mask;
    for (uint64_t skip = nextCheckpoint_ - ends_ - 1; skip > 0; --skip) m &= m - 1;
    checkpoints_.push_back(at + static_cast<uint64_t>(__builtin_ctzll(m)) + 1);
    nextCheckpoint_ += kLinesPerCheckpoint;
  }
  ends_ += count;
  lastStart_ = at + static_cast<uint64_t>(63 - __builtin_clzll(mask)) + 1;
}

}  // namespace pelorin
