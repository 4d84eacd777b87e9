#include "catalogue/fingerprint.h"

#include <cstring>

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
    const uint64_t h = (lanes_[k] ^ word) * kMultiplier;
    lanes_[k] = h ^ (h >> 29);
  }
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
  for (; size >= 32; bytes += 32, size -= 32) Block(bytes);
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
  for (uint64_t lane : last.lanes_) h = Mix(h ^ lane) * kMultiplier;
  return Mix(h);
}

}  // namespace pelorin
