#pragma once
// A growable array that never moves its elements: blocks of 4, 8, ... 512 elements, then
// 512 each, from the block pool. Appending costs no copies and at most one block of spare
// room, where a doubling array would copy every element several times and keep up to
// twice the memory it uses. Indexing finds the block with one bit scan.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "memory/block_pool.h"

namespace pelorin {

template <typename T>
class TBlockList {
  static constexpr size_t kFirst = 4;        // elements of block 0
  static constexpr size_t kDoublings = 8;    // blocks 0..7 double: 4 .. 512
  static constexpr size_t kLast = kFirst << (kDoublings - 1);  // 512: every later block
  static constexpr size_t kGeometric = kFirst * ((size_t{1} << kDoublings) - 1);  // 1020
  static_assert(sizeof(T) * kLast <= kBlockPoolLargest, "a block fits the pool");

  static size_t BlockCapacity(size_t b) { return b < kDoublings ? kFirst << b : kLast; }
  static size_t BlockStart(size_t b) {
    return b < kDoublings ? kFirst * ((size_t{1} << b) - 1) : kGeometric + (b - kDoublings) * kLast;
  }
  static size_t BlockOf(size_t k) {
    if (k >= kGeometric) return kDoublings + (k - kGeometric) / kLast;
    return static_cast<size_t>(63 - __builtin_clzll(static_cast<unsigned long long>(k / kFirst + 1)));
  }

 public:
  using value_type = T;
  using size_type = size_t;
  using difference_type = std::ptrdiff_t;
  using reference = T&;
  using const_reference = const T&;

  template <bool Const>
  class Iterator {
    using List = std::conditional_t<Const, const TBlockList, TBlockList>;

   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T;
    using difference_type = std::ptrdiff_t;
    using pointer = std::conditional_t<Const, const T*, T*>;
    using reference = std::conditional_t<Const, const T&, T&>;

    Iterator() = default;
    Iterator(List* list, size_t k) : list_(list), k_(k) { Locate(); }
    template <bool C = Const, typename = std::enable_if_t<C>>
    Iterator(const Iterator<false>& other) : list_(other.list_), k_(other.k_), at_(other.at_), left_(other.left_) {}

    reference operator*() const { return *at_; }
    pointer operator->() const { return at_; }
    Iterator& operator++() {
      ++k_;
      if (--left_ == 0) Locate();
      else ++at_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++*this;
      return before;
    }
    friend bool operator==(const Iterator& a, const Iterator& b) { return a.k_ == b.k_; }

   private:
    friend class TBlockList;
    template <bool>
    friend class Iterator;
    void Locate() {
      if (list_ == nullptr || k_ >= list_->size_) {
        at_ = nullptr;
        left_ = 0;
        return;
      }
      const size_t b = BlockOf(k_);
      const size_t offset = k_ - BlockStart(b);
      at_ = list_->blocks_[b] + offset;
      left_ = BlockCapacity(b) - offset;
    }

    List* list_ = nullptr;
    size_t k_ = 0;
    pointer at_ = nullptr;
    size_t left_ = 0;  // elements from at_ to the end of its block
  };
  using iterator = Iterator<false>;
  using const_iterator = Iterator<true>;

  TBlockList() noexcept = default;
  TBlockList(std::initializer_list<T> items) { Append(items.begin(), items.end()); }
  TBlockList(const TBlockList& other) { Append(other.begin(), other.end()); }

  TBlockList(TBlockList&& other) noexcept
      : blocks_(std::move(other.blocks_)),
        size_(std::exchange(other.size_, 0)),
        tail_(std::exchange(other.tail_, nullptr)),
        left_(std::exchange(other.left_, 0)) {
    other.blocks_.clear();
  }
  ~TBlockList() { clear(); }

  TBlockList& operator=(const TBlockList& other) {
    if (this != &other) {
      TBlockList copy(other);
      *this = std::move(copy);
    }
    return *this;
  }
  TBlockList& operator=(TBlockList&& other) noexcept {
    if (this != &other) {
      clear();
      blocks_ = std::move(other.blocks_);
      other.blocks_.clear();
      size_ = std::exchange(other.size_, 0);
      tail_ = std::exchange(other.tail_, nullptr);
      left_ = std::exchange(other.left_, 0);
    }
    return *this;
  }
  TBlockList& operator=(std::initializer_list<T> items) {
    clear();
    Append(items.begin(), items.end());
    return *this;
  }

  size_t size() const noexcept { return size_; }
  // Elements the blocks held now have room for.
  size_t capacity() const noexcept {
    return blocks_.empty() ? 0 : BlockStart(blocks_.size() - 1) + BlockCapacity(blocks_.size() - 1);
  }
  bool empty() const noexcept { return size_ == 0; }

  T& operator[](size_t k) { return *Slot(k); }
  const T& operator[](size_t k) const { return *Slot(k); }
  T& front() { return *blocks_[0]; }
  const T& front() const { return *blocks_[0]; }
  T& back() { return *(tail_ - 1); }
  const T& back() const { return *(tail_ - 1); }

  iterator begin() { return iterator(this, 0); }
  iterator end() { return iterator(this, size_); }
  const_iterator begin() const { return const_iterator(this, 0); }
  const_iterator end() const { return const_iterator(this, size_); }
  const_iterator cbegin() const { return begin(); }
  const_iterator cend() const { return end(); }

  template <typename... TArgs>
  T& emplace_back(TArgs&&... args) {
    if (left_ == 0) NewTailBlock();
    T* slot = tail_;
    // A record without arguments is default-initialised, not value-initialised: one
    // whose members set themselves up is not zeroed first.
    if constexpr (sizeof...(TArgs) == 0 && std::is_class_v<T>)
      new (slot) T;
    else
      new (slot) T(std::forward<TArgs>(args)...);
    ++tail_;
    --left_;
    ++size_;
    return *slot;
  }
  void push_back(const T& item) { emplace_back(item); }
  void push_back(T&& item) { emplace_back(std::move(item)); }

  void pop_back() {
    Slot(size_ - 1)->~T();
    --size_;
    ReleaseSpareBlocks();
  }

  void resize(size_t n) {
    while (size_ > n) {
      Slot(size_ - 1)->~T();
      --size_;
    }
    ReleaseSpareBlocks();
    while (size_ < n) emplace_back();
  }

  // The address at which the next element will be stored, when its block exists: a
  // caller can prefetch it.
  const T* NextSlot() const noexcept { return left_ != 0 ? tail_ : nullptr; }

  void clear() noexcept {
    for (size_t b = 0; b < blocks_.size(); ++b) {
      const size_t start = BlockStart(b);
      const size_t used = size_ > start ? std::min(size_ - start, BlockCapacity(b)) : 0;
      for (size_t i = 0; i < used; ++i) blocks_[b][i].~T();
      BlockPoolFree(blocks_[b], BlockCapacity(b) * sizeof(T));
    }
    blocks_.clear();
    size_ = 0;
    tail_ = nullptr;
    left_ = 0;
  }

 private:
  T* Slot(size_t k) const {
    const size_t b = BlockOf(k);
    return blocks_[b] + (k - BlockStart(b));
  }

  // The block of element size_, which begins it: the last block is full.
  void NewTailBlock() {
    const size_t b = BlockOf(size_);
    if (b == blocks_.size()) {
      blocks_.reserve(b + 1);
      blocks_.push_back(static_cast<T*>(BlockPoolAllocate(BlockCapacity(b) * sizeof(T))));
    }
    tail_ = blocks_[b] + (size_ - BlockStart(b));
    left_ = BlockCapacity(b) - (size_ - BlockStart(b));
  }

  // Blocks that hold no element any more go back to the pool; the tail follows size_.
  void ReleaseSpareBlocks() noexcept {
    const size_t needed = size_ == 0 ? 0 : BlockOf(size_ - 1) + 1;
    while (blocks_.size() > needed) {
      BlockPoolFree(blocks_.back(), BlockCapacity(blocks_.size() - 1) * sizeof(T));
      blocks_.pop_back();
    }
    if (size_ == 0) {
      tail_ = nullptr;
      left_ = 0;
      return;
    }
    const size_t b = BlockOf(size_ - 1);
    tail_ = blocks_[b] + (size_ - BlockStart(b));
    left_ = BlockCapacity(b) - (size_ - BlockStart(b));
  }

  template <typename It>
  void Append(It first, It last) {
    try {
      for (; first != last; ++first) emplace_back(*first);
    } catch (...) {
      clear();
      throw;
    }
  }

  std::vector<T*> blocks_;
  size_t size_ = 0;
  T* tail_ = nullptr;  // where element size_ goes
  size_t left_ = 0;    // room from tail_ to the end of its block
};

}  // namespace pelorin
