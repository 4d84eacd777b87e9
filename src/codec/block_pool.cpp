#include "codec/block_pool.h"

#include <cstdint>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace pelorin {

namespace {

constexpr size_t kPieceBytes = size_t{2} << 20;
constexpr size_t kAlign = 16;

struct TFreeBlock {
  TFreeBlock* Next;
};

struct TSizeClass {
  size_t Bytes;
  TFreeBlock* Free;
};

// A 2 MB piece, aligned to 2 MB so that one huge page can back it.
void* NewPiece() {
#if defined(__linux__)
  void* raw = ::mmap(nullptr, 2 * kPieceBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kPieceBytes - 1) & ~(uintptr_t{kPieceBytes} - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + 2 * kPieceBytes;
  if (end > aligned + kPieceBytes) ::munmap(reinterpret_cast<void*>(aligned + kPieceBytes), end - aligned - kPieceBytes);
#if defined(MADV_HUGEPAGE)
  ::madvise(reinterpret_cast<void*>(aligned), kPieceBytes, MADV_HUGEPAGE);
#endif
  return reinterpret_cast<void*>(aligned);
#else
  return ::operator new(kPieceBytes, std::align_val_t{kAlign});
#endif
}

void DeletePiece(void* piece) noexcept {
#if defined(__linux__)
  ::munmap(piece, kPieceBytes);
#else
  ::operator delete(piece, std::align_val_t{kAlign});
#endif
}

class TBlockPool {
 public:
  void* Allocate(size_t bytes) {
    bytes = Round(bytes);
    const std::lock_guard<std::mutex> hold(lock_);
    TSizeClass& c = Class(bytes);
    void* block;
    if (c.Free != nullptr) {
      block = c.Free;
      c.Free = c.Free->Next;
    } else {
      if (pieces_.empty() || used_ + bytes > kPieceBytes) {
        pieces_.reserve(pieces_.size() + 1);
        if (ready_.empty()) {
          pieces_.push_back(NewPiece());
        } else {
          pieces_.push_back(ready_.back());
          ready_.pop_back();
        }
        used_ = 0;
      }
      block = static_cast<char*>(pieces_.back()) + used_;
      used_ += bytes;
    }
    ++live_;
    return block;
  }

  void Prepare(size_t bytes) noexcept {
    size_t count;
    {
      const std::lock_guard<std::mutex> hold(lock_);
      const size_t have = (ready_.size() + coming_) * kPieceBytes;
      if (have >= bytes) return;
      // One piece a call: clearing a piece takes milliseconds here, and the caller may be
      // the window's thread, which must not stall for a whole reserve at once.
      count = 1;
      coming_ += count;
    }
    // Made outside the lock: clearing them is the slow part.
    for (; count > 0; --count) {
      void* piece = nullptr;
      try {
        piece = NewPiece();
        auto* bytesOf = static_cast<volatile char*>(piece);
        for (size_t at = 0; at < kPieceBytes; at += 4096) bytesOf[at] = 0;
        const std::lock_guard<std::mutex> hold(lock_);
        ready_.push_back(piece);
        --coming_;
      } catch (const std::exception&) {
        if (piece != nullptr) DeletePiece(piece);
        const std::lock_guard<std::mutex> hold(lock_);
        coming_ -= count;
        return;
      }
    }
  }

  void Free(void* block, size_t bytes) noexcept {
    bytes = Round(bytes);
    const std::lock_guard<std::mutex> hold(lock_);
    TSizeClass* c = Find(bytes);
    if (c != nullptr) {
      auto* f = static_cast<TFreeBlock*>(block);
      f->Next = c->Free;
      c->Free = f;
    }
    if (--live_ == 0) ReleaseAll();
  }

 private:
  static size_t Round(size_t bytes) { return (bytes + kAlign - 1) & ~(kAlign - 1); }

  TSizeClass* Find(size_t bytes) noexcept {
    for (TSizeClass& c : classes_)
      if (c.Bytes == bytes) return &c;
    return nullptr;
  }

  TSizeClass& Class(size_t bytes) {
    if (TSizeClass* c = Find(bytes)) return *c;
    classes_.push_back({bytes, nullptr});
    return classes_.back();
  }

  void ReleaseAll() noexcept {
    for (void* piece : pieces_) DeletePiece(piece);
    pieces_.clear();
    for (void* piece : ready_) DeletePiece(piece);
    ready_.clear();
    for (TSizeClass& c : classes_) c.Free = nullptr;
    used_ = 0;
  }

  std::mutex lock_;
  std::vector<void*> pieces_;
  std::vector<void*> ready_;  // touched, no block taken from them yet
  size_t coming_ = 0;         // pieces being made ready outside the lock
  std::vector<TSizeClass> classes_;
  size_t used_ = 0;  // bytes taken from the last piece
  size_t live_ = 0;  // blocks handed out and not yet given back
};

TBlockPool& Pool() {
  static TBlockPool* pool = new TBlockPool();  // outlives every static track
  return *pool;
}

}  // namespace

void* BlockPoolAllocate(size_t bytes) {
  if (bytes == 0 || bytes > kBlockPoolLargest) throw std::bad_alloc();
  return Pool().Allocate(bytes);
}

void BlockPoolFree(void* block, size_t bytes) noexcept {
  if (block != nullptr) Pool().Free(block, bytes);
}

void BlockPoolPrepare(size_t bytes) noexcept { Pool().Prepare(bytes); }

}  // namespace pelorin
