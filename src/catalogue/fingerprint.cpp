#include "catalogue/fingerprint.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelorin {

namespace {
constexpr uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

inline uint64_t Mix(uint64_t h) noexcept {
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  return h ^ (h >> 33);
}
}  // namespace

void TFingerprint::Block(const unsigned char* block) noexcept {
  for (int k = 0; k < 4; ++k) {
    uint64_t word;
    std::memcpy(&word, block + 8 * k, 8);
    sums_[k] += word;
    weighted_[k] += sums_[k];
  }
}

// Lanes 0-1 and 2-3 in two registers each: the same sums as Block's, four at a time.
size_t TFingerprint::Blocks(const unsigned char* bytes, size_t size) noexcept {
  size_t done = 0;
#if defined(__SSE2__)
  __m128i s01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums_));
  __m128i s23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums_ + 2));
  __m128i w01 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weighted_));
  __m128i w23 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(weighted_ + 2));
  for (; done + 32 <= size; done += 32) {
    s01 = _mm_add_epi64(s01, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + done)));
    s23 = _mm_add_epi64(s23, _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + done + 16)));
    w01 = _mm_add_epi64(w01, s01);
    w23 = _mm_add_epi64(w23, s23);
  }
  _mm_storeu_si128(reinterpret_cast<__m128i*>(sums_), s01);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(sums_ + 2), s23);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(weighted_), w01);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(weighted_ + 2), w23);
#endif
  for (; done + 32 <= size; done += 32) Block(bytes + done);
  return done;
}

void TFingerprint::Feed(const char* data, size_t size) noexcept {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data);
  total_ += size;
  if (pendingSize_ > 0) {
    const size_t take = size < 32 - pendingSize_ ? size : 32 - pendingSize_;
    std::memcpy(pending_ + pendingSize_, bytes, take);
    pendingSize_ += take;
    bytes += take;
    size -= take;
    if (pendingSize_ < 32) return;
    Block(pending_);
    pendingSize_ = 0;
  }
  const size_t done = Blocks(bytes, size);
  bytes += done;
  size -= done;
  std::memcpy(pending_, bytes, size);
  pendingSize_ = size;
}

uint64_t TFingerprint::Value() const noexcept {
  TFingerprint last = *this;
  // The tail padded with zeros; the length tells it from real zeros.
  if (last.pendingSize_ > 0) {
    std::memset(last.pending_ + last.pendingSize_, 0, 32 - last.pendingSize_);
    last.Block(last.pending_);
  }
  uint64_t h = Mix(total_);
  for (int k = 0; k < 4; ++k) h = Mix(Mix(h ^ last.sums_[k]) ^ last.weighted_[k]) * kMultiplier;
  return Mix(h);
}

}  // namespace pelorin
