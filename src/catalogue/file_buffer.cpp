#include "catalogue/file_buffer.h"

#include <cstring>
#include <new>
#include <utility>

#include "memory/huge_pages.h"

namespace pelorin {

namespace {

// Below this a buffer comes from the heap.
constexpr size_t kMapFrom = size_t{4} << 20;

// A buffer of at least `capacity` bytes (more when rounded up to whole huge pages).
char* Obtain(size_t& capacity, bool& mapped) {
  if (capacity >= kMapFrom) {
    mapped = true;
    return static_cast<char*>(MapHugeAligned(capacity));
  }
  mapped = false;
  return static_cast<char*>(::operator new(capacity));
}

void GiveBack(char* data, size_t capacity, bool mapped) noexcept {
  if (data == nullptr) return;
  if (mapped) {
    UnmapHuge(data, capacity);
    return;
  }
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
