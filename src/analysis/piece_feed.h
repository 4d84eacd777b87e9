#pragma once
// The pieces of a line range, read in file order and made into line records ahead of the
// pass by worker threads: a few pieces in flight per worker, never the whole file. With
// one thread the pass's own thread makes each piece's records as it reads the piece.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "analysis/line_records.h"
#include "catalogue/line_reader.h"

namespace pelorin {

inline constexpr size_t kDefaultPieceBytes = size_t{1} << 20;

// `threads`: 0 for all cores.
unsigned PassThreads(unsigned threads);

class TPieceFeed {
 public:
  // Lines LineFrom..LineTo of the reader's counted file, from the checkpoint before
  // LineFrom on (FirstLine()). `pieceBytes`: the size a piece is read in.
  TPieceFeed(const TLineReader& reader, int64_t LineFrom, int64_t LineTo, size_t pieceBytes, unsigned threads);
  ~TPieceFeed();
  TPieceFeed(const TPieceFeed&) = delete;
  TPieceFeed& operator=(const TPieceFeed&) = delete;

  int64_t FirstLine() const { return firstLine_; }
  // The next piece in file order, its records made; valid until the next call. Null at
  // the end of the range, or when the file can no longer be read.
  const TLinePiece* Next();

 private:
  struct TSlot {
    TLinePiece Piece;
    bool Ready = false;
    bool Failed = false;
  };

  bool ReadPiece(TLinePiece& piece);
  void Submit();
  void Work();

  const TLineReader& reader_;
  int64_t firstLine_ = 0;
  uint64_t offset_ = 0;  // where the next piece begins
  uint64_t end_ = 0;     // after the range's last line (or a few lines more)
  size_t pieceBytes_;
  bool readError_ = false;
  size_t inFlight_;

  std::deque<TSlot*> order_;  // read and handed out, in file order
  TSlot* current_ = nullptr;  // the piece Next gave last
  std::deque<TSlot*> work_;   // waiting for a worker
  std::mutex lock_;
  std::condition_variable workWaiting_, pieceDone_;
  bool stop_ = false;
  std::vector<std::unique_ptr<TSlot>> owned_;  // inFlight_ of them
  std::vector<std::thread> workers_;
};

}  // namespace pelorin
