#include "memory/block_pool.h"

#include <cstdint>
#include <exception>
#include <mutex>
#include <new>
#include <vector>

#include "memory/huge_pages.h"

namespace pelorin {

namespace {

constexpr size_t kChunkBytes = kHugePageBytes;
constexpr size_t kAlign = 16;

struct TFreeBlock {
  TFreeBlock* Next;
};

struct TSizeClass {
  size_t Bytes;
  TFreeBlock* Free;
};

// A 2 MB chunk that one huge page can back.
void* NewChunk() {
  size_t bytes = kChunkBytes;
  return MapHugeAligned(bytes);
}

void DeleteChunk(void* chunk) noexcept { UnmapHuge(chunk, kChunkBytes); }

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
      if (chunks_.empty() || used_ + bytes > kChunkBytes) {
        chunks_.reserve(chunks_.size() + 1);
        if (ready_.empty()) {
          chunks_.push_back(NewChunk());
        } else {
          chunks_.push_back(ready_.back());
          ready_.pop_back();
        }
        used_ = 0;
      }
      block = static_cast<char*>(chunks_.back()) + used_;
      used_ += bytes;
    }
    ++live_;
    return block;
  }

  void Prepare(size_t bytes) noexcept {
    size_t count;
    {
      const std::lock_guard<std::mutex> hold(lock_);
      const size_t have = (ready_.size() + coming_) * kChunkBytes;
      if (have >= bytes) return;
      // One chunk a call: clearing a chunk takes milliseconds here, and the caller may be
      // the window's thread, which must not stall for a whole reserve at once.
      count = 1;
      coming_ += count;
    }
    // Made outside the lock: clearing them is the slow part.
    for (; count > 0; --count) {
      void* chunk = nullptr;
      try {
        chunk = NewChunk();
        auto* bytesOf = static_cast<volatile char*>(chunk);
        for (size_t at = 0; at < kChunkBytes; at += 4096) bytesOf[at] = 0;
        const std::lock_guard<std::mutex> hold(lock_);
        ready_.push_back(chunk);
        --coming_;
      } catch (const std::exception&) {
        if (chunk != nullptr) DeleteChunk(chunk);
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
    for (void* chunk : chunks_) DeleteChunk(chunk);
    chunks_.clear();
    for (void* chunk : ready_) DeleteChunk(chunk);
    ready_.clear();
    for (TSizeClass& c : classes_) c.Free = nullptr;
    used_ = 0;
  }

  std::mutex lock_;
  std::vector<void*> chunks_;
  std::vector<void*> ready_;  // touched, no block taken from them yet
  size_t coming_ = 0;         // chunks being made ready outside the lock
  std::vector<TSizeClass> classes_;
  size_t used_ = 0;  // bytes taken from the last chunk
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
