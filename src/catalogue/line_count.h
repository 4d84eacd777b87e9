#pragma once
// Counting the lines of a file while it is read, and noting where every 64th one starts.
// An end is an LF, or a CR that no LF follows; a line starts after every end, and a last
// line without an end still counts.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pelorin {

inline constexpr int64_t kLinesPerCheckpoint = 64;

class TLineCounter {
 public:
  // Appends to `checkpoints`, which should hold the first line's offset 0 already when
  // the file is not empty.
  explicit TLineCounter(std::vector<uint64_t>& checkpoints) : checkpoints_(checkpoints) {}

  // Bytes [from, to) of `data`, which holds the file from offset `base` on and whose
  // first `valid` bytes are known; the byte at `to` must be known unless it is the end.
  void Feed(const char* data, uint64_t base, size_t from, size_t to, size_t valid);
  // The number of lines of a file of `size` bytes, all of which were fed.
  int64_t Finish(uint64_t size);
  // Line ends met so far: the number of the line being read.
  int64_t Ended() const { return static_cast<int64_t>(ends_); }

 private:
  void Ends(uint64_t at, uint64_t mask);

  std::vector<uint64_t>& checkpoints_;
  uint64_t ends_ = 0;
  uint64_t nextCheckpoint_ = kLinesPerCheckpoint;  // the end after which the next checkpoint starts
  uint64_t lastStart_ = 0;                         // just after the last end
};

}  // namespace pelorin
