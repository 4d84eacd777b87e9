#pragma once
// The log pass's look-up of the vessels it has seen, by MMSI number.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pelorin {

// Per pass: the entries of other vessels by MMSI number, with the whole seconds of their
// track's last point, in one small open-addressing table: a report that the 30-second
// rule drops reads nothing else. Filled from FindOrAddShip on first sight. Only the pass
// changes the table meanwhile, and entries other than 0 keep their MMSI, so it stays
// true; entry 0, whose MMSI the own vessel's reports rewrite, is never in it.
class TVesselCache {
 public:
  static constexpr int64_t kNoPoint = INT64_MIN;
  struct TSlot {
    uint32_t MMSI = 0;  // 0: free (a usable MMSI is at least 1)
    uint32_t Ship = 0;
    int64_t LastSeconds = kNoPoint;
    bool Stored = false;  // a point was stored in this pass
    // Where the vessel's next point goes, when its block exists. The track knows it too,
    // but reading it there is the very wait that fetching it ahead avoids.
    const void* Next = nullptr;
  };

  TSlot* Find(uint32_t mmsi) {
    if (slots_.empty()) return nullptr;
    for (size_t at = Home(mmsi);; at = (at + 1) & mask_) {
      if (slots_[at].MMSI == mmsi) return &slots_[at];
      if (slots_[at].MMSI == 0) return nullptr;
    }
  }

  TSlot& Insert(uint32_t mmsi, uint32_t ship, int64_t lastSeconds) {
    if (2 * (used_ + 1) > slots_.size()) Grow();
    size_t at = Home(mmsi);
    while (slots_[at].MMSI != 0) at = (at + 1) & mask_;
    slots_[at] = {mmsi, ship, lastSeconds, false, nullptr};
    ++used_;
    return slots_[at];
  }

  const std::vector<TSlot>& Slots() const { return slots_; }

 private:
  size_t Home(uint32_t mmsi) const { return static_cast<size_t>((mmsi * 0x9E3779B97F4A7C15ull) >> shift_); }

  void Grow() {
    std::vector<TSlot> old = std::move(slots_);
    const size_t size = old.empty() ? 1024 : old.size() * 2;
    slots_.assign(size, TSlot{});
    mask_ = size - 1;
    shift_ = 64 - static_cast<unsigned>(__builtin_ctzll(size));
    used_ = 0;
    for (const TSlot& slot : old)
      if (slot.MMSI != 0) {
        TSlot& moved = Insert(slot.MMSI, slot.Ship, slot.LastSeconds);
        moved.Stored = slot.Stored;
        moved.Next = slot.Next;
      }
  }

  std::vector<TSlot> slots_;
  size_t used_ = 0;
  size_t mask_ = 0;
  unsigned shift_ = 64;
};

// A function that only reads and prefetches counts to the compiler as one without effects,
// and its calls are dropped with the builtin's prefetches in them: the instruction itself
// keeps them.
inline void Prefetch(const void* at) {
#if defined(__x86_64__) || defined(__i386__)
  asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(at)));
#else
  __builtin_prefetch(at);
#endif
}

}  // namespace pelorin
