#include "catalogue/line_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "catalogue/file_identity.h"
#include "catalogue/fingerprint.h"
#include "catalogue/log_read.h"
#include "catalogue/regular_file.h"

namespace pelorin {

namespace {

// Large enough for few system calls, and small enough that the reads passing through
// leave room in the cache for the ship table the pass works on.
constexpr uint64_t kReadBytes = uint64_t{256} << 10;
// The first read after a jump: the search looks at a few lines only.
constexpr uint64_t kFirstRead = uint64_t{16} << 10;

// Whether a line begins with "$" in data[from, to), whose byte before `from` is known
// unless `fileStart`. A transponder's file shows one in its first bytes.
bool DollarLineIn(const char* data, size_t from, size_t to, bool fileStart) {
  for (const char* p = data + from; p < data + to; ++p) {
    p = static_cast<const char*>(std::memchr(p, '$', static_cast<size_t>(data + to - p)));
    if (p == nullptr) return false;
    if ((p == data && fileStart) || (p > data && (p[-1] == '\n' || p[-1] == '\r'))) return true;
  }
  return false;
}

}  // namespace

uint64_t FindLineEnd(const char* data, uint64_t size, bool padded, uint64_t at) {
#if defined(__SSE2__)
  if (padded) {
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    for (uint64_t base = at; base < size; base += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + base));
      const unsigned ends = static_cast<unsigned>(
          _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
      if (ends != 0) return std::min(size, base + static_cast<uint64_t>(__builtin_ctz(ends)));
    }
    return size;
  }
#endif
  (void)padded;
  while (at < size && data[at] != '\r' && data[at] != '\n') ++at;
  return at;
}

TLineReader& TLineReader::operator=(TLineReader&& other) noexcept {
  if (this == &other) return *this;
  Close();
  fd_ = std::exchange(other.fd_, -1);
  path_ = std::move(other.path_);
  index_ = std::move(other.index_);
  indexed_ = std::exchange(other.indexed_, false);
  buffer_ = std::move(other.buffer_);
  windowStart_ = other.windowStart_;
  pos_ = other.pos_;
  atEnd_ = other.atEnd_;
  readSize_ = other.readSize_;
  nextLine_ = other.nextLine_;
  readErrno_ = other.readErrno_;
  return *this;
}

bool TLineReader::Open(const std::string& path, std::string* error) {
  Close();
  struct stat st {};
  const int fd = OpenRegularFile(path, st, error);
  if (fd < 0) return false;
  fd_ = fd;
  path_ = path;
  index_ = TLineIndex{};
  index_.Path = path;
  index_.Identity = IdentityOf(st);
  indexed_ = false;
  return true;
}

void TLineReader::Close() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  indexed_ = false;
  windowStart_ = pos_ = 0;
  atEnd_ = false;
  nextLine_ = -1;
  buffer_.clear();
}

bool TLineReader::Index(std::string* error, uint64_t limit, int64_t* stoppedAt) {
  if (fd_ < 0) return false;
  index_.Checkpoints.clear();
  index_.Lines = 0;
  try {
    buffer_.Reserve(kReadBytes);
    index_.Checkpoints.reserve(static_cast<size_t>(index_.Identity.Size / 48 / kLinesPerCheckpoint + 16));
    index_.Checkpoints.push_back(0);
    TLineCounter counter(index_.Checkpoints);
    TFingerprint fingerprint;
    index_.DollarLines = false;
    // The last byte of each read waits for the next, which decides whether its CR ends
    // a line alone; it is carried to the front of the buffer.
    char* data = buffer_.data();
    uint64_t offset = 0;  // file offset of data[0]
    size_t carried = 0;
    for (;;) {
      const uint64_t at = offset + carried;
      const uint64_t want = std::min<uint64_t>(kReadBytes - carried, limit > at ? limit - at : 0);
      const int64_t got = want == 0 ? 0 : ReadLogBytes(fd_, data + carried, want, at);
      if (got < 0) {
        FileError(error, path_, std::strerror(errno));
        if (stoppedAt != nullptr) *stoppedAt = counter.Ended();
        return false;
      }
      fingerprint.Feed(data + carried, static_cast<size_t>(got));
      const size_t valid = carried + static_cast<size_t>(got);
      if (!index_.DollarLines) index_.DollarLines = DollarLineIn(data, carried, valid, offset == 0);
      if (got == 0) {
        counter.Feed(data, offset, 0, valid, valid);
        const uint64_t size = offset + valid;
        if (size == 0) index_.Checkpoints.clear();
        index_.Lines = counter.Finish(size);
        break;
      }
      counter.Feed(data, offset, 0, valid - 1, valid);
      data[0] = data[valid - 1];
      offset += valid - 1;
      carried = 1;
    }
    index_.Fingerprint = fingerprint.Value();
  } catch (const std::bad_alloc&) {
    FileError(error, path_, "not enough memory for its lines");
    if (stoppedAt != nullptr) *stoppedAt = 0;
    return false;
  }
  buffer_.clear();
  windowStart_ = pos_ = 0;
  atEnd_ = false;
  nextLine_ = -1;
  indexed_ = true;
  return true;
}

bool TLineReader::IdentityNow(TFileIdentity& identity) const {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) return false;
  identity = IdentityOf(st);
  return true;
}

bool TLineReader::AdoptIndex(const TLineIndex& index) {
  if (fd_ < 0 || !(index.Identity == index_.Identity)) return false;
  index_.Lines = index.Lines;
  index_.Checkpoints = index.Checkpoints;
  index_.Fingerprint = index.Fingerprint;
  index_.DollarLines = index.DollarLines;
  indexed_ = true;
  return true;
}

bool TLineReader::Seek(int64_t index) {
  readErrno_ = 0;
  if (!indexed_ || index < 0 || index >= index_.Lines) return false;
  if (index == nextLine_) return true;
  // A line a little further on, as a search stepping line by line asks: read on to it.
  if (nextLine_ >= 0 && index > nextLine_ && index - nextLine_ < kLinesPerCheckpoint) {
    while (nextLine_ < index)
      if (!SkipLine()) return false;
    return true;
  }
  windowStart_ = index_.Checkpoints[static_cast<size_t>(index / kLinesPerCheckpoint)];
  pos_ = 0;
  buffer_.clear();
  atEnd_ = false;
  readSize_ = kFirstRead;
  nextLine_ = index - index % kLinesPerCheckpoint;
  while (nextLine_ < index)
    if (!SkipLine()) return false;
  return true;
}

bool TLineReader::SkipLine() {
  for (;;) {
    const char* data = buffer_.data();
    const uint64_t size = buffer_.size();
    const uint64_t i = FindLineEnd(data, size, buffer_.Padded(), pos_);
    if (i < size && !(data[i] == '\r' && i + 1 >= size && !atEnd_)) {
      pos_ = data[i] == '\r' && i + 1 < size && data[i + 1] == '\n' ? i + 2 : i + 1;
      ++nextLine_;
      return true;
    }
    if (atEnd_) {
      if (pos_ >= size) return false;  // no line left
      pos_ = size;
      ++nextLine_;
      return true;
    }
    // Keep only a CR at the very end, which the next byte decides.
    pos_ = i;
    try {
      if (!Refill()) return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
}

bool TLineReader::LineHead(int64_t index, size_t count, std::string_view& head) {
  if (!Seek(index)) return false;
  try {
    if (buffer_.capacity() == 0) buffer_.Reserve(kReadBytes);
    while (buffer_.size() - pos_ < count && !atEnd_) {
      if (FindLineEnd(buffer_.data(), buffer_.size(), buffer_.Padded(), pos_) < buffer_.size()) break;
      if (!Refill()) return false;
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  const uint64_t known = std::min<uint64_t>(buffer_.size() - pos_, count);
  const uint64_t length = FindLineEnd(buffer_.data(), pos_ + known, buffer_.Padded(), pos_) - pos_;
  head = std::string_view(buffer_.data() + pos_, length);
  return true;
}

int64_t TLineReader::ReadBytes(uint64_t offset, char* into, uint64_t want) const {
  return fd_ < 0 ? -1 : ReadLogBytes(fd_, into, want, offset);
}

bool TLineReader::Refill() {
  if (atEnd_) return true;
  // Keep the unread bytes, at the front.
  const uint64_t keep = buffer_.size() - pos_;
  if (pos_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, keep);
    windowStart_ += pos_;
    pos_ = 0;
  }
  // At least as much as is kept: a line that does not end soon is read in ever larger
  // reads, so that its search is not begun again too often.
  uint64_t want = std::max<uint64_t>(std::max<uint64_t>(readSize_, kFirstRead), keep);
  if (keep + want > buffer_.capacity()) {
    // A line longer than the buffer makes it grow, by doubling so that a huge line is
    // not copied over and over.
    buffer_.SetSize(keep);
    buffer_.Reserve(std::max<uint64_t>(keep + want, 2 * buffer_.capacity()));
  }
  want = std::min<uint64_t>(want, buffer_.capacity() - keep);
  const int64_t got = ReadLogBytes(fd_, buffer_.data() + keep, want, windowStart_ + keep);
  if (got < 0) {
    readErrno_ = errno;
    return false;
  }
  buffer_.SetSize(keep + static_cast<uint64_t>(got));
  if (got == 0) atEnd_ = true;
  readSize_ = std::min<uint64_t>(readSize_ * 2, kReadBytes);
  return true;
}

bool TLineReader::Next(std::string_view& line) {
  if (fd_ < 0) return false;
  if (buffer_.capacity() == 0) {
    try {
      buffer_.Reserve(kReadBytes);
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
  for (;;) {
    const char* data = buffer_.data();
    const uint64_t size = buffer_.size();
    if (pos_ >= size && atEnd_) return false;
    const uint64_t end = FindLineEnd(data, size, buffer_.Padded(), pos_);
    // A line, or whether its CR is followed by an LF, may lie beyond the bytes read.
    if (atEnd_ || (end < size && !(data[end] == '\r' && end + 1 >= size))) {
      line = std::string_view(data + pos_, end - pos_);
      pos_ = end >= size ? size : data[end] == '\r' && end + 1 < size && data[end + 1] == '\n' ? end + 2 : end + 1;
      if (nextLine_ >= 0) ++nextLine_;
      return true;
    }
    try {
      if (!Refill()) return false;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }
}

bool TLineReader::Line(int64_t index, std::string_view& text) { return Seek(index) && Next(text); }

}  // namespace pelorin
