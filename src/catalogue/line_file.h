#pragma once
// A log file read once into one buffer, with the offset of every line. Lines end at
// CR LF, CR or LF; a last line without an end still counts. Read, not mapped: a file
// that shrinks under a map would kill the process.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

struct TLineFile {
  std::string Buffer;
  std::vector<uint64_t> LineStart;  // offset of each line's first byte
  std::vector<uint64_t> LineEnd;    // offset just past each line's text (before its end)

  int64_t LineCount() const { return static_cast<int64_t>(LineStart.size()); }
  std::string_view Line(int64_t index) const {
    return std::string_view(Buffer.data() + LineStart[static_cast<size_t>(index)],
                            LineEnd[static_cast<size_t>(index)] - LineStart[static_cast<size_t>(index)]);
  }
};

// False with a reason in `error` when the path cannot be read as a regular file.
bool LoadLineFile(const std::string& path, TLineFile& file, std::string* error = nullptr);

}  // namespace pelorin
