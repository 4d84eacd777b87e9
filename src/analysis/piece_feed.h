#pragma once
// The pieces of a line range, in file order, read and made into line records ahead of the
// pass by worker threads: a few pieces in flight per worker, never the whole file. The
// pass's thread only decides where each piece ends. With one thread it also reads each
// piece and makes its records itself. One feed serves the ranges of a run one after the
// other: a card of many files would otherwise start threads and take fresh memory for
// every range.
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
  // `pieceBytes`: the size a piece is read in.
  TPieceFeed(size_t pieceBytes, unsigned threads);
  ~TPieceFeed();
  TPieceFeed(const TPieceFeed&) = delete;
  TPieceFeed& operator=(const TPieceFeed&) = delete;

  // Lines LineFrom..LineTo of the reader's counted file, from the checkpoint before
  // LineFrom on (FirstLine()). Ends the range before it. `currentYear` places the time
  // sentences' two-digit years.
  void Begin(const TLineReader& reader, int64_t LineFrom, int64_t LineTo, int currentYear);
  // No piece is read any more: the reader may go. Also before the pass has taken every
  // piece, whose reading ahead may have gone past the range's last line.
  void End() noexcept;
  int64_t FirstLine() const { return firstLine_; }
  // The next piece in file order, its records made; valid until the next call. Null at
  // the end of the range, or when the file can no longer be read.
  const TLinePiece* Next();
  // After Next gave null before the range's end: the error number of the read that
  // failed, or 0 when the file ended sooner than counted.
  int ReadErrno() const { return readErrno_; }

 private:
  // A cache line of its own: the worker making one slot and the pass reading the one beside
  // it must not share one.
  struct alignas(64) TSlot {
    TLinePiece Piece;
    uint64_t Offset = 0, Want = 0;  // the bytes of the file it is to hold
    bool Ready = false;
    bool Failed = false;      // out of memory
    bool ReadFailed = false;
    int ReadErrno = 0;
    bool Shrunk = false;      // the file ended before Want bytes: nothing comes after it
  };

  bool CutPiece(uint64_t& size);
  void MakePiece(TSlot& slot) const;
  void MakeInSlot(TSlot& slot);  // MakePiece, then the slot marked ready
  void Submit();
  void Work();

  const TLineReader* reader_ = nullptr;
  int64_t firstLine_ = 0;
  uint64_t offset_ = 0;  // where the next piece begins
  uint64_t end_ = 0;     // after the range's last line (or a few lines more)
  size_t pieceBytes_;
  static constexpr size_t kEdgeBytes = 4096;
  char edge_[kEdgeBytes];  // the bytes CutPiece looks at
  bool readError_ = false;
  int readErrno_ = 0;
  int currentYear_ = 0;
  bool ended_ = false;  // a piece could not be read whole: none follows
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
