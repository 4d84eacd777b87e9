#pragma once
// A 64-bit fingerprint of a file's bytes, made while they are read anyway, to tell later
// whether a file whose size or times changed still holds the same lines. A Fletcher sum
// over eight-byte words in four lanes: only additions, so that it keeps up with the line
// count (a multiplying hash cost the scan a third more); every changed, moved or swapped
// word changes it. It guards against accidents, not against someone forging a card.
#include <cstddef>
#include <cstdint>

namespace pelorin {

class TFingerprint {
 public:
  // The next bytes of the file, cut anywhere: the value does not depend on how it was cut.
  void Feed(const char* data, size_t size) noexcept;
  uint64_t Value() const noexcept;

 private:
  void Block(const unsigned char* block) noexcept;
  // The whole blocks of `bytes`; the count of bytes taken.
  size_t Blocks(const unsigned char* bytes, size_t size) noexcept;

  uint64_t sums_[4] = {};    // of the words
  uint64_t weighted_[4] = {};  // of the running sums: each word counted by its place
  unsigned char pending_[32] = {};
  size_t pendingSize_ = 0;
  uint64_t total_ = 0;
};

}  // namespace pelorin
