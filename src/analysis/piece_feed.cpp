#include "analysis/piece_feed.h"

#include <algorithm>
#include <exception>
#include <new>

namespace pelorin {

namespace {
constexpr size_t kReadPast = 16;  // bytes after a piece's lines that may be read
}

unsigned PassThreads(unsigned threads) {
  if (threads != 0) return threads;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores != 0 ? cores : 1;
}

TPieceFeed::TPieceFeed(const TLineReader& reader, int64_t LineFrom, int64_t LineTo, size_t pieceBytes,
                       unsigned threads)
    : reader_(reader), pieceBytes_(std::max<size_t>(pieceBytes, 64)) {
  const TLineIndex& index = reader.LineIndex();
  const size_t from = static_cast<size_t>(LineFrom / kLinesPerCheckpoint);
  firstLine_ = static_cast<int64_t>(from) * kLinesPerCheckpoint;
  offset_ = from < index.Checkpoints.size() ? index.Checkpoints[from] : index.Identity.Size;
  const size_t after = static_cast<size_t>((LineTo + kLinesPerCheckpoint) / kLinesPerCheckpoint);
  end_ = after < index.Checkpoints.size() ? index.Checkpoints[after] : index.Identity.Size;
  const unsigned workers = PassThreads(threads) > 1 ? PassThreads(threads) : 0;
  inFlight_ = workers == 0 ? 1 : 2 * workers + 1;
  for (size_t i = 0; i < inFlight_; ++i) owned_.push_back(std::make_unique<TSlot>());
  for (unsigned i = 0; i < workers; ++i) workers_.emplace_back([this] { Work(); });
}

TPieceFeed::~TPieceFeed() {
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  workWaiting_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

bool TPieceFeed::ReadPiece(TLinePiece& piece) {
  size_t want = static_cast<size_t>(std::min<uint64_t>(pieceBytes_, end_ - offset_));
  for (;;) {
    piece.Bytes.resize(want + kReadPast);
    const int64_t got = reader_.ReadBytes(offset_, piece.Bytes.data(), want);
    if (got < 0) {
      readError_ = true;
      return false;
    }
    size_t cut = static_cast<size_t>(got);
    // A piece that reaches the range's end (or the file's, when it shrank) is whole;
    // any other ends after its last line end that the next byte cannot change.
    if (offset_ + cut < end_ && static_cast<size_t>(got) == want) {
      const char* data = piece.Bytes.data();
      size_t j = cut >= 2 ? cut - 2 : 0;
      while (j > 0 && data[j] != '\r' && data[j] != '\n') --j;
      if (data[j] != '\r' && data[j] != '\n') {
        // One line longer than the piece: read it in a larger one.
        want = static_cast<size_t>(std::min<uint64_t>(2 * want, end_ - offset_));
        continue;
      }
      cut = data[j] == '\r' && data[j + 1] == '\n' ? j + 2 : j + 1;
    } else if (static_cast<size_t>(got) < want) {
      end_ = offset_ + cut;  // the file shrank: nothing after this
    }
    std::fill(piece.Bytes.begin() + static_cast<std::ptrdiff_t>(cut), piece.Bytes.end(), '\0');
    piece.Size = cut;
    offset_ += cut;
    return true;
  }
}

// Reads pieces into the free slots and hands them to the workers (or makes their records
// here, with no workers).
void TPieceFeed::Submit() {
  while (order_.size() + (current_ != nullptr ? 1 : 0) < inFlight_ && offset_ < end_ && !readError_) {
    TSlot* slot = nullptr;
    for (auto& owned : owned_)
      if (owned.get() != current_ && std::find(order_.begin(), order_.end(), owned.get()) == order_.end()) {
        slot = owned.get();
        break;
      }
    slot->Ready = false;
    slot->Failed = false;
    if (!ReadPiece(slot->Piece)) return;
    if (workers_.empty()) {
      MakeLineRecords(slot->Piece);
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
  Submit();
  if (order_.empty()) return nullptr;
  TSlot* slot = order_.front();
  {
    std::unique_lock<std::mutex> hold(lock_);
    pieceDone_.wait(hold, [slot] { return slot->Ready; });
  }
  order_.pop_front();
  if (slot->Failed) throw std::bad_alloc();
  current_ = slot;
  Submit();  // the worker that finished this one can start the next at once
  return &slot->Piece;
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
    bool failed = false;
    try {
      MakeLineRecords(slot->Piece);
    } catch (const std::exception&) {
      failed = true;  // out of memory: the pass reports it
    }
    {
      const std::lock_guard<std::mutex> hold(lock_);
      slot->Failed = failed;
      slot->Ready = true;
    }
    pieceDone_.notify_all();
  }
}

}  // namespace pelorin
