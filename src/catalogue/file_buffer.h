#pragma once
// The bytes of one log file held whole. A large buffer is taken from the system in huge
// pages where it offers them: on virtual machines every first touch of a small page of
// fresh memory costs more than reading the file into it. To readers it is a read-only
// string.
#include <cstddef>
#include <string_view>

namespace pelorin {

class TFileBuffer {
 public:
  // Zero bytes kept after the end (never part of the content), so that a reader may load
  // a block of up to this many bytes from any offset before the end.
  static constexpr size_t kPadding = 64;

  TFileBuffer() noexcept = default;
  TFileBuffer(const TFileBuffer&) = delete;
  TFileBuffer(TFileBuffer&& other) noexcept { Swap(other); }
  ~TFileBuffer() { Release(); }
  TFileBuffer& operator=(const TFileBuffer&) = delete;
  TFileBuffer& operator=(TFileBuffer&& other) noexcept {
    if (this != &other) {
      Release();
      Swap(other);
    }
    return *this;
  }

  const char* data() const noexcept { return data_ != nullptr ? data_ : ""; }
  char* data() noexcept { return data_; }
  size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  // Bytes that may be written through data(), the padding not counted.
  size_t capacity() const noexcept { return capacity_ > kPadding ? capacity_ - kPadding : 0; }
  // Whether the padding is there (a buffer that was never given memory has none).
  bool Padded() const noexcept { return data_ != nullptr; }
  operator std::string_view() const noexcept { return {data(), size_}; }  // NOLINT

  // Room for at least `capacity` bytes; the content is kept.
  void Reserve(size_t capacity);
  // Sets the size after bytes were written through data(); at most capacity(). Zeroes
  // the padding after it.
  void SetSize(size_t size) noexcept;
  void clear() noexcept { SetSize(0); }
  // Gives the memory back.
  void Release() noexcept;

 private:
  void Swap(TFileBuffer& other) noexcept;

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
  bool mapped_ = false;  // from the system, not the heap
};

}  // namespace pelorin
