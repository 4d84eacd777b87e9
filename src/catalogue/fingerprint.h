#pragma once
// A 64-bit fingerprint of a file's bytes, made while they are read anyway, to tell later
// whether a file whose size or times changed still holds the same lines. Four lanes
// of eight bytes each, so that the multiplies do not wait on one another.
#include <cstddef>
#include <cstdint>

namespace pelorin {

class TFingerprint {
 public:
  // The next bytes of the file, in any pieces: the value does not depend on how it was cut.
  void Feed(const char* data, size_t size) noexcept;
  uint64_t Value() const noexcept;

 private:
  void Block(const unsigned char* block) noexcept;

  uint64_t lanes_[4] = {0x243F6A8885A308D3ull, 0x13198A2E03707344ull, 0xA4093822299F31D0ull,
                        0x082EFA98EC4E6C89ull};
  unsigned char pending_[32] = {};
  size_t pendingSize_ = 0;
  uint64_t total_ = 0;
};

}  // namespace pelorin
