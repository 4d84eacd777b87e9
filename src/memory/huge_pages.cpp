#include "memory/huge_pages.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pelorin {

void* MapHugeAligned(size_t& bytes) {
  bytes = (bytes + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
#if defined(__linux__)
  // Over-mapped by one huge page, so that the part kept can start on a boundary.
  void* raw = ::mmap(nullptr, bytes + kHugePageBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePageBytes - 1) & ~(uintptr_t{kHugePageBytes} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + bytes + kHugePageBytes;
  if (end > aligned + bytes) ::munmap(reinterpret_cast<void*>(aligned + bytes), end - aligned - bytes);
  PreferHugePages(reinterpret_cast<void*>(aligned), bytes);
  return reinterpret_cast<void*>(aligned);
#else
  return ::operator new(bytes, std::align_val_t{kHugePageBytes});
#endif
}

void UnmapHuge(void* data, size_t bytes) noexcept {
#if defined(__linux__)
  ::munmap(data, bytes);
#else
  (void)bytes;
  ::operator delete(data, std::align_val_t{kHugePageBytes});
#endif
}

void PreferHugePages(const void* data, size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr uintptr_t kPage = 4096;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kPage - 1);
  // Only advice: a refusal leaves ordinary pages.
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)data;
  (void)bytes;
#endif
}

}  // namespace pelorin
