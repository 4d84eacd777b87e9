#include "analysis/piece_feed.h"

#include <algorithm>
#include <cerrno>
#include <exception>
#include <new>
#include <system_error>

#include "memory/block_pool.h"

namespace pelorin {

namespace {
constexpr size_t kReadPast = 16;  // bytes after a piece's lines that may be read
// Memory for points made ready ahead of the pass: a few pieces' worth, as a piece of log
// stores at most about twice its size in points.
constexpr size_t kPreparedPointBytes = size_t{16} << 20;
constexpr unsigned kMostWorkers = 31;
constexpr size_t kMostInFlight = 64;
}

unsigned PassThreads(unsigned threads) {
  if (threads != 0) return threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores != 0 ? cores : 1;
}

TPieceFeed::TPieceFeed(size_t pieceBytes, unsigned threads) : pieceBytes_(std::max<size_t>(pieceBytes, 64)) {
  // The pass's own thread is one of them. However many are asked for, the pieces in
  // flight (each some 1.5 MB of bytes, records and readings) stay few.
  const unsigned workers = std::min(PassThreads(threads) - 1, kMostWorkers);
  try {
    for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // The system would not start another thread: the pass goes on with those it has.
  }
  inFlight_ = workers_.empty() ? 1 : std::min<size_t>(4 * workers_.size() + 2, kMostInFlight);
  for (size_t i = 0; i < inFlight_; ++i) owned_.push_back(std::make_unique<TSlot>());
}

void TPieceFeed::Begin(const TLineReader& reader, int64_t LineFrom, int64_t LineTo, int currentYear) {
  End();
  reader_ = &reader;
  currentYear_ = currentYear;
  readErrno_ = 0;
  const TLineIndex& index = reader.LineIndex();
  const size_t from = static_cast<size_t>(LineFrom / kLinesPerCheckpoint);
  firstLine_ = static_cast<int64_t>(from) * kLinesPerCheckpoint;
  offset_ = from < index.Checkpoints.size() ? index.Checkpoints[from] : index.Identity.Size;
  const size_t after = static_cast<size_t>((LineTo + kLinesPerCheckpoint) / kLinesPerCheckpoint);
  end_ = after < index.Checkpoints.size() ? index.Checkpoints[after] : index.Identity.Size;
  readError_ = ended_ = false;
}

void TPieceFeed::End() noexcept {
  std::unique_lock<std::mutex> hold(lock_);
  // Pieces no worker has begun are dropped; those being made are waited for.
  for (TSlot* slot : work_) slot->Ready = true;
  work_.clear();
  pieceDone_.wait(hold, [this] {
    return std::all_of(order_.begin(), order_.end(), [](const TSlot* slot) { return slot->Ready; });
  });
  order_.clear();
  current_ = nullptr;
  offset_ = end_ = 0;
  reader_ = nullptr;
}

TPieceFeed::~TPieceFeed() {
  End();
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  workWaiting_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

// The size of the piece from offset_: whole lines, up to a line end that the byte after
// it cannot change. Only the bytes near the piece's end are read here, a window at a time
// backwards; the piece itself is read by whoever makes its records. False on a read error.
bool TPieceFeed::CutPiece(uint64_t& size) {
  uint64_t want = std::min<uint64_t>(pieceBytes_, end_ - offset_);
  uint64_t low = offset_;  // line ends before it have been looked for
  for (;;) {
    if (offset_ + want >= end_) {
      size = end_ - offset_;
      return true;
    }
    // Window [from, to): a line end j in [from, to - 2], read with the byte after it.
    for (uint64_t to = offset_ + want; to > low + 1;) {
      const uint64_t from = to - low > kEdgeBytes ? to - kEdgeBytes : low;
      const int64_t got = reader_->ReadBytes(from, edge_, to - from);
      if (got < 0) {
        readErrno_ = errno;
        return false;
      }
      if (static_cast<uint64_t>(got) < to - from) {
        size = want;  // the file shrank: the piece's reader finds where it now ends
        return true;
      }
      for (uint64_t j = to - 1; j-- > from;) {
        const char c = edge_[j - from];
        if (c == '\r' || c == '\n') {
          size = (c == '\r' && edge_[j + 1 - from] == '\n' ? j + 2 : j + 1) - offset_;
          return true;
        }
      }
      to = from + 1;
    }
    // One line longer than the piece: look on in a larger one.
    low = offset_ + want - 1;
    want = std::min<uint64_t>(2 * want, end_ - offset_);
  }
}

void TPieceFeed::MakePiece(TSlot& slot) const {
  TLinePiece& piece = slot.Piece;
  piece.Bytes.resize(static_cast<size_t>(slot.Want) + kReadPast);
  uint64_t got = 0;
  while (got < slot.Want) {
    const int64_t n = reader_->ReadBytes(slot.Offset + got, piece.Bytes.data() + got, slot.Want - got);
    if (n < 0) {
      slot.ReadFailed = true;
      slot.ReadErrno = errno;
      return;
    }
    if (n == 0) break;
    got += static_cast<uint64_t>(n);
  }
  slot.Shrunk = got < slot.Want;
  std::fill(piece.Bytes.begin() + static_cast<std::ptrdiff_t>(got), piece.Bytes.end(), '\0');
  piece.Size = static_cast<size_t>(got);
  piece.CurrentYear = currentYear_;
  MakeLineRecords(piece, !workers_.empty());
  // Fresh memory costs the system a page clearing at first touch: paid here, ahead of the
  // pass, rather than by the pass when it stores the piece's points.
  BlockPoolPrepare(kPreparedPointBytes);
}

// Cuts pieces for the free slots and hands them to the workers (or makes them here, with
// no workers).
void TPieceFeed::Submit() {
  while (order_.size() + (current_ != nullptr ? 1 : 0) < inFlight_ && offset_ < end_ && !readError_ && !ended_) {
    TSlot* slot = nullptr;
    for (auto& owned : owned_)
      if (owned.get() != current_ && std::find(order_.begin(), order_.end(), owned.get()) == order_.end()) {
        slot = owned.get();
        break;
      }
    uint64_t size = 0;
    if (!CutPiece(size)) {
      readError_ = true;
      return;
    }
    slot->Offset = offset_;
    slot->Want = size;
    slot->Ready = slot->Failed = slot->ReadFailed = slot->Shrunk = false;
    slot->ReadErrno = 0;
    offset_ += size;
    if (workers_.empty()) {
      MakePiece(*slot);
      slot->Ready = true;
      order_.push_back(slot);
      continue;
    }
    const std::lock_guard<std::mutex> hold(lock_);
    order_.push_back(slot);
    work_.push_back(slot);
    workWaiting_.notify_one();
  }
}

const TLinePiece* TPieceFeed::Next() {
  current_ = nullptr;
  if (ended_) return nullptr;
  Submit();
  if (order_.empty()) return nullptr;
  TSlot* slot = order_.front();
  {
    // While the next piece is being made, the pass's thread makes the pieces after it
    // that no worker has begun, rather than idle.
    std::unique_lock<std::mutex> hold(lock_);
    while (!slot->Ready) {
      if (work_.empty()) {
        pieceDone_.wait(hold, [slot] { return slot->Ready; });
        break;
      }
      TSlot* other = work_.front();
      work_.pop_front();
      hold.unlock();
      MakeInSlot(*other);
      hold.lock();
    }
  }
  order_.pop_front();
  if (slot->Failed) throw std::bad_alloc();
  ended_ = slot->ReadFailed || slot->Shrunk;
  if (slot->ReadFailed) {
    readErrno_ = slot->ReadErrno;
    return nullptr;
  }
  current_ = slot;
  Submit();  // the worker that finished this one can start the next at once
  return &slot->Piece;
}

void TPieceFeed::MakeInSlot(TSlot& slot) {
  bool failed = false;
  try {
    MakePiece(slot);
  } catch (const std::exception&) {
    failed = true;  // out of memory: the pass reports it when it comes to the piece
  }
  {
    const std::lock_guard<std::mutex> hold(lock_);
    slot.Failed = failed;
    slot.Ready = true;
  }
  pieceDone_.notify_all();
}

void TPieceFeed::Work() {
  for (;;) {
    TSlot* slot = nullptr;
    {
      std::unique_lock<std::mutex> hold(lock_);
      workWaiting_.wait(hold, [this] { return stop_ || !work_.empty(); });
      if (stop_) return;
      slot = work_.front();
      work_.pop_front();
    }
    MakeInSlot(*slot);
  }
}

}  // namespace pelorin
