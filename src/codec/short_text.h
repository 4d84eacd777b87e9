#pragma once
// Compact display texts for the track points, of which a run stores millions: a text that
// fits stays inside the record, a longer one goes to the heap; a table text is shared.
// To readers they are read-only strings (size, data, empty, ==, std::string_view).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace pelorin {

namespace detail {
// A heap text: its length, then its characters. Aligned to 256 bytes, so that its address
// shifted right by eight fits the seven bytes beside a short text's tag.
char* NewLongText(std::string_view text);
void DeleteLongText(char* block);
inline std::string_view LongTextView(const char* block) {
  uint64_t size = 0;
  std::memcpy(&size, block, sizeof size);
  return {block + sizeof size, size};
}
}  // namespace detail

// N bytes: up to N - 1 characters inline, the last byte their count. A longer text sets
// the last byte to kLong and keeps the address of its heap block in the first seven.
template <size_t N>
class TShortText {
  static_assert(N >= 8 && N < 255, "room for the heap address and the tag");

 public:
  static constexpr size_t InlineCapacity = N - 1;

  // Only the count: the characters of an empty text are never read.
  TShortText() noexcept { bytes_[N - 1] = 0; }
  TShortText(std::string_view text) { Set(text); }  // NOLINT: a text is a text
  TShortText(const TShortText& other) {
    if (other.IsLong())
      Set(other.view());
    else
      std::memcpy(bytes_, other.bytes_, N);
  }
  TShortText(TShortText&& other) noexcept {
    std::memcpy(bytes_, other.bytes_, N);
    other.bytes_[N - 1] = 0;
  }
  ~TShortText() { FreeLong(); }

  TShortText& operator=(const TShortText& other) {
    if (this == &other) return *this;
    if (!IsLong() && !other.IsLong()) {
      std::memcpy(bytes_, other.bytes_, N);
      return *this;
    }
    Assign(other.view());
    return *this;
  }
  TShortText& operator=(TShortText&& other) noexcept {
    if (this != &other) {
      FreeLong();
      std::memcpy(bytes_, other.bytes_, N);
      other.bytes_[N - 1] = 0;
    }
    return *this;
  }
  TShortText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }

  // Replaces the text; `text` may point into this one.
  void Assign(std::string_view text) {
    if (!IsLong() && text.size() <= InlineCapacity) {
      std::memmove(bytes_, text.data(), text.size());
      bytes_[N - 1] = static_cast<unsigned char>(text.size());
      return;
    }
    TShortText copy(text);
    *this = std::move(copy);
  }

  // The same for a text whose buffer holds at least InlineCapacity bytes: one copy of
  // fixed size, for the hot path.
  void AssignFromRoomy(std::string_view text) {
    if (!IsLong() && text.size() <= InlineCapacity) {
      std::memcpy(bytes_, text.data(), InlineCapacity);
      bytes_[N - 1] = static_cast<unsigned char>(text.size());
      return;
    }
    Assign(text);
  }

  std::string_view view() const noexcept {
    if (IsLong()) return detail::LongTextView(LongBlock());
    return {reinterpret_cast<const char*>(bytes_), bytes_[N - 1]};
  }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  const char* data() const noexcept { return view().data(); }
  size_t size() const noexcept { return IsLong() ? view().size() : bytes_[N - 1]; }
  size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return size() == 0; }
  void clear() noexcept {
    FreeLong();
    bytes_[N - 1] = 0;
  }
  std::string str() const { return std::string(view()); }

  friend bool operator==(const TShortText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const TShortText& a, const TShortText& b) noexcept { return a.view() == b.view(); }
  friend std::ostream& operator<<(std::ostream& out, const TShortText& t) { return out << t.view(); }

 private:
  static constexpr unsigned char kLong = 0xFF;

  bool IsLong() const noexcept { return bytes_[N - 1] == kLong; }
  char* LongBlock() const noexcept {
    uint64_t shifted = 0;
    for (int i = 6; i >= 0; --i) shifted = (shifted << 8) | bytes_[i];
    return reinterpret_cast<char*>(static_cast<uintptr_t>(shifted << 8));
  }
  void Set(std::string_view text) {
    if (text.size() <= InlineCapacity) {
      std::memcpy(bytes_, text.data(), text.size());
      bytes_[N - 1] = static_cast<unsigned char>(text.size());
      return;
    }
    uint64_t shifted = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(detail::NewLongText(text))) >> 8;
    std::memset(bytes_, 0, N);
    for (int i = 0; i < 7; ++i, shifted >>= 8) bytes_[i] = static_cast<unsigned char>(shifted);
    bytes_[N - 1] = kLong;
  }
  void FreeLong() noexcept {
    if (IsLong()) detail::DeleteLongText(LongBlock());
  }

  unsigned char bytes_[N];
};

template <size_t N, size_t M>
bool operator==(const TShortText<N>& a, const TShortText<M>& b) noexcept {
  return a.view() == b.view();
}

// A text from a small set (the navigational status table): eight bytes that point to one
// copy of it kept for the life of the program.
class TSharedText {
 public:
  TSharedText() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
  TSharedText(std::string_view text) { Set(Intern(text)); }  // NOLINT: a text is a text
  TSharedText& operator=(std::string_view text) {
    Set(Intern(text));
    return *this;
  }
  TSharedText(const TSharedText&) noexcept = default;
  TSharedText& operator=(const TSharedText&) noexcept = default;

  std::string_view view() const noexcept {
    const std::string* text = Get();
    return text != nullptr ? std::string_view(*text) : std::string_view();
  }
  operator std::string_view() const noexcept { return view(); }  // NOLINT
  const char* data() const noexcept { return view().data(); }
  size_t size() const noexcept { return view().size(); }
  size_t length() const noexcept { return size(); }
  bool empty() const noexcept { return Get() == nullptr; }
  void clear() noexcept { Set(nullptr); }
  std::string str() const { return std::string(view()); }

  friend bool operator==(const TSharedText& a, std::string_view b) noexcept { return a.view() == b; }
  friend bool operator==(const TSharedText& a, const TSharedText& b) noexcept { return a.Get() == b.Get(); }
  friend std::ostream& operator<<(std::ostream& out, const TSharedText& t) { return out << t.view(); }

 private:
  // The one copy of `text`; null for the empty text. Safe from any thread.
  static const std::string* Intern(std::string_view text);
  const std::string* Get() const noexcept {
    const std::string* text = nullptr;
    std::memcpy(&text, bytes_, sizeof text);
    return text;
  }
  void Set(const std::string* text) noexcept { std::memcpy(bytes_, &text, sizeof text); }

  unsigned char bytes_[sizeof(void*)];  // unaligned, so that records pack without holes
};

}  // namespace pelorin
