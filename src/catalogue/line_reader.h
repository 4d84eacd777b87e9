#pragma once
// A log file read a few hundred kilobytes at a time into one small buffer that is used again and again: the
// scan and the log pass never hold a whole file. Counting the lines reads the file once
// and notes where every 64th line starts; after that any line can be reached by reading
// from the checkpoint before it, and lines are handed out in order.
#include <cstdint>
#include <string>
#include <string_view>

#include "catalogue/file_buffer.h"
#include "catalogue/line_count.h"
#include "catalogue/line_index.h"

namespace pelorin {

class TLineReader {
 public:
  TLineReader() = default;
  ~TLineReader() { Close(); }
  TLineReader(const TLineReader&) = delete;
  TLineReader& operator=(const TLineReader&) = delete;
  TLineReader& operator=(TLineReader&& other) noexcept;

  // False with a reason when `path` cannot be opened as a regular file.
  bool Open(const std::string& path, std::string* error = nullptr);
  void Close() noexcept;
  bool IsOpen() const { return fd_ >= 0; }
  // The file as it was when opened.
  const TFileIdentity& Identity() const { return index_.Identity; }

  // Reads the file once to count its lines and fingerprint them; with `limit`, only its
  // first `limit` bytes, as if it ended there. False with a reason on a read error, and
  // in *stoppedAt the line where reading stopped.
  bool Index(std::string* error = nullptr, uint64_t limit = UINT64_MAX, int64_t* stoppedAt = nullptr);
  // The file's identity now, from the open descriptor; false when it cannot be told.
  bool IdentityNow(TFileIdentity& identity) const;
  // Takes an index made before instead, when it is of this file as it is now opened.
  bool AdoptIndex(const TLineIndex& index);
  bool Indexed() const { return indexed_; }
  const TLineIndex& LineIndex() const { return index_; }
  int64_t LineCount() const { return index_.Lines; }

  // The next call of Next gives line `index` (0 <= index < LineCount()). False on a read error.
  bool Seek(int64_t index);
  // The line after the last one given, without its end; false at the end of the file or
  // on a read error. The view stays valid until the next call.
  bool Next(std::string_view& line);
  // Line `index` by itself, for a search that jumps about; valid until the next call.
  bool Line(int64_t index, std::string_view& text);
  // Up to `want` bytes of the file from `offset` into `into`; the count read, or -1 on a
  // read error.
  int64_t ReadBytes(uint64_t offset, char* into, uint64_t want) const;
  // Up to `count` first characters of line `index` (fewer when it is shorter), without
  // reading a long line whole; valid until the next call.
  bool LineHead(int64_t index, size_t count, std::string_view& head);
  // After Seek, Next, Line or LineHead gave false: the system's error number of the read
  // that failed, or 0 when the file simply ended sooner than counted.
  int ReadErrno() const { return readErrno_; }

 private:
  // Reads on into the buffer, keeping the bytes from pos_ on. False on a read error.
  bool Refill();
  // Moves past the next line without keeping it: a skipped line may be of any length.
  bool SkipLine();

  int fd_ = -1;
  std::string path_;
  TLineIndex index_;
  bool indexed_ = false;
  TFileBuffer buffer_;
  uint64_t windowStart_ = 0;  // file offset of the buffer's first byte
  uint64_t pos_ = 0;          // where the next line begins, in the buffer
  bool atEnd_ = false;        // the buffer holds the file up to its end
  uint64_t readSize_ = 0;     // grows while lines are read in order
  int64_t nextLine_ = -1;     // the number of the line Next gives, when known
  int readErrno_ = 0;
};

// The first CR or LF in data[at, size), or `size`. `padded`: 16 bytes past `size` can be
// read, so whole blocks are compared at once (a line is some fifty bytes).
uint64_t FindLineEnd(const char* data, uint64_t size, bool padded, uint64_t at);

// The file last read by a log pass, kept open so that the next entry of the same file
// is neither opened nor counted again. One file at a time.
struct TLineFileCache {
  std::string Path;
  TLineReader Reader;
  bool Loaded = false;
};

}  // namespace pelorin
