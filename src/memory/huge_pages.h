#pragma once
// Memory that huge pages can back: the tracks' blocks and the large read buffers fill
// hundreds of megabytes at once, and on virtual machines every first touch of a small
// page costs more than filling it.
#include <cstddef>

namespace pelorin {

inline constexpr size_t kHugePageBytes = size_t{2} << 20;

// At least `bytes` (rounded up to whole huge pages, the size it returns there), starting
// on a huge-page boundary, with the system asked for huge pages. Throws std::bad_alloc.
void* MapHugeAligned(size_t& bytes);
// Gives back what MapHugeAligned(bytes) returned.
void UnmapHuge(void* data, size_t bytes) noexcept;

// Asks the system to back [data, data + bytes) with huge pages where it can (Linux with
// transparent huge pages on request). Filling 70 MB of fresh 4 KB pages costs 17,000
// page faults, a third of building the replay model of a day's log; a no-op elsewhere.
void PreferHugePages(const void* data, size_t bytes);

}  // namespace pelorin
