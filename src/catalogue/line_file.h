#pragma once
// A log file read once into one buffer, with its lines counted. Lines end at CR LF, CR or
// LF; a last line without an end still counts. Read, not mapped: a file that shrinks
// under a map would kill the process.
//
// Only every 64th line's offset is kept (an eighth of a byte per line, where an offset
// per line would cost 8): a line is found by reading on from the checkpoint before it,
// and a pass walks the lines in order with LineAt. The log pass and the scan read files
// piece by piece instead (line_reader.h); this whole-file form serves text in memory.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/file_buffer.h"
#include "catalogue/line_count.h"

namespace pelorin {

// Which file a reading was of, to tell later whether the file has changed since.
struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  uint64_t Size = 0;
  int64_t ModifiedSeconds = 0;
  int64_t ModifiedNanoseconds = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// What one reading of a file found: its line count and checkpoints.
struct TLineIndex {
  std::string Path;
  TFileIdentity Identity;
  int64_t Lines = 0;
  std::vector<uint64_t> Checkpoints;  // offset of lines 0, 64, 128, ...
};

struct TLineFile {
  TFileBuffer Buffer;
  TFileIdentity Identity;             // the file as LoadLineFile opened it
  std::vector<uint64_t> Checkpoints;  // offset of lines 0, 64, 128, ...
  int64_t Lines = 0;

  int64_t LineCount() const { return Lines; }
  // The offset of the first byte of line `index` (0 <= index < LineCount()).
  uint64_t LineOffset(int64_t index) const;
  // The text of line `index`, without its end.
  std::string_view Line(int64_t index) const;
};

// The line that begins at `offset` (without its end); `next` is set to the offset of the
// line after it (the buffer's size after the last line).
std::string_view LineAt(const TLineFile& file, uint64_t offset, uint64_t& next);

// False with a reason in `error` when the path cannot be read as a regular file.
bool LoadLineFile(const std::string& path, TLineFile& file, std::string* error = nullptr);

// The same for text already in memory.
void SetLineFileText(TLineFile& file, std::string_view text);

}  // namespace pelorin
