#include "catalogue/file_buffer.h"

#include <cstring>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pelorin {

namespace {

// Below this a buffer comes from the heap.
constexpr size_t kMapFrom = size_t{4} << 20;
constexpr size_t kHugePage = size_t{2} << 20;

#if defined(__linux__)
char* MapHuge(size_t& capacity) {
  capacity = (capacity + kHugePage - 1) & ~(kHugePage - 1);
  // Over-map by one huge page so that the buffer can start on a huge-page boundary.
  void* raw = ::mmap(nullptr, capacity + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePage - 1) & ~(uintptr_t{kHugePage} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + capacity + kHugePage;
  if (end > aligned + capacity) ::munmap(reinterpret_cast<void*>(aligned + capacity), end - aligned - capacity);
#if defined(MADV_HUGEPAGE)
  ::madvise(reinterpret_cast<void*>(aligned), capacity, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<char*>(aligned);
}

void Unmap(char* data, size_t capacity) noexcept { ::munmap(data, capacity); }
#endif

// A buffer of at least `capacity` bytes (more when rounded up to whole huge pages).
char* Obtain(size_t& capacity, bool& mapped) {
#if defined(__linux__)
  if (capacity >= kMapFrom) {
    mapped = true;
    return MapHuge(capacity);
  }
#endif
  mapped = false;
  return static_cast<char*>(::operator new(capacity));
}

void GiveBack(char* data, size_t capacity, bool mapped) noexcept {
  if (data == nullptr) return;
#if defined(__linux__)
  if (mapped) {
    Unmap(data, capacity);
    return;
  }
#endif
  (void)mapped;
  (void)capacity;
  ::operator delete(data);
}

}  // namespace

void TFileBuffer::Reserve(size_t capacity) {
  if (data_ != nullptr && capacity <= this->capacity()) return;
  size_t bytes = capacity + kPadding;
  bool mapped = false;
  char* data = Obtain(bytes, mapped);
  if (size_ > 0) std::memcpy(data, data_, size_);
  GiveBack(data_, capacity_, mapped_);
  data_ = data;
  capacity_ = bytes;
  mapped_ = mapped;
  SetSize(size_);
}

void TFileBuffer::SetSize(size_t size) noexcept {
  size_ = size;
  if (data_ != nullptr) std::memset(data_ + size_, 0, kPadding);
}

void TFileBuffer::Release() noexcept {
  GiveBack(data_, capacity_, mapped_);
  data_ = nullptr;
  size_ = capacity_ = 0;
  mapped_ = false;
}

void TFileBuffer::Swap(TFileBuffer& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(size_, other.size_);
  std::swap(capacity_, other.capacity_);
  std::swap(mapped_, other.mapped_);
}

}  // namespace pelorin
