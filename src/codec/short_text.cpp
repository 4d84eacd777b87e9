#include "codec/short_text.h"

#include <mutex>
#include <new>
#include <unordered_set>

namespace pelorin {

namespace detail {

namespace {
constexpr std::align_val_t kLongTextAlignment{256};
}

char* NewLongText(std::string_view text) {
  static_assert(sizeof(uintptr_t) <= 8, "a heap address fits 64 bits");
  const uint64_t size = text.size();
  char* block = static_cast<char*>(::operator new(sizeof size + text.size(), kLongTextAlignment));
  std::memcpy(block, &size, sizeof size);
  std::memcpy(block + sizeof size, text.data(), text.size());
  return block;
}

void DeleteLongText(char* block) { ::operator delete(block, kLongTextAlignment); }

}  // namespace detail

const std::string* TSharedText::Intern(std::string_view text) {
  if (text.empty()) return nullptr;
  // Never released: the texts come from small tables, so the set stays small.
  static std::mutex lock;
  static std::unordered_set<std::string>* texts = new std::unordered_set<std::string>();
  const std::lock_guard<std::mutex> hold(lock);
  return &*texts->emplace(text).first;
}

}  // namespace pelorin
