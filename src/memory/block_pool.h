#pragma once
// Memory for the blocks of the tracks. Taken from the system in 2 MB chunks that may be
// backed by huge pages: a run stores hundreds of megabytes of points, and on virtual
// machines every first touch of a small page costs more than filling it. Freed blocks are
// kept for the next block of their size; when no block is in use any more, every chunk
// goes back to the system. Safe from any thread.
#include <cstddef>

namespace pelorin {

inline constexpr size_t kBlockPoolLargest = size_t{1} << 20;

// A block of `bytes` (at most kBlockPoolLargest), aligned for any record.
void* BlockPoolAllocate(size_t bytes);
// Gives back a block of BlockPoolAllocate(bytes).
void BlockPoolFree(void* block, size_t bytes) noexcept;
// Works towards `bytes` of fresh memory for new blocks at hand and touched, one 2 MB chunk
// a call, so that the system clears its pages on the calling thread, not on the one that
// later fills the blocks. Best effort: without memory it leaves things as they are.
void BlockPoolPrepare(size_t bytes) noexcept;

}  // namespace pelorin
