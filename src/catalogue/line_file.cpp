#include "catalogue/line_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "catalogue/file_identity.h"
#include "catalogue/regular_file.h"

namespace pelorin {

namespace {

// Read in pieces that stay in the cache until they are counted.
constexpr uint64_t kReadPiece = uint64_t{1} << 20;

void ResetLines(TLineFile& file) {
  file.Buffer.clear();
  file.Checkpoints.clear();
  file.Lines = 0;
  file.Identity = TFileIdentity{};
}

// Reads until end of file, so a file that grew or shrank since fstat is read as it now is;
// counts each piece while it is still in the cache.
bool ReadAndCount(int fd, uint64_t sizeHint, TLineFile& file, int& err) {
  TFileBuffer& buffer = file.Buffer;
  buffer.Reserve(sizeHint + 1);  // one spare byte shows the end without a second read
  file.Checkpoints.reserve(sizeHint / 48 / kLinesPerCheckpoint + 16);
  file.Checkpoints.push_back(0);
  TLineCounter counter(file.Checkpoints);
  uint64_t used = 0, counted = 0;
  for (;;) {
    if (used == buffer.capacity()) {
      buffer.SetSize(used);  // what Reserve keeps
      buffer.Reserve(buffer.capacity() * 2);
    }
    const uint64_t want = std::min<uint64_t>(buffer.capacity() - used, kReadPiece);
    const ssize_t got = ::read(fd, buffer.data() + used, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (got == 0) break;
    used += static_cast<uint64_t>(got);
    // The last byte waits for its successor, which decides a CR.
    counter.Feed(buffer.data(), 0, counted, used - 1, used);
    counted = used - 1;
  }
  buffer.SetSize(used);
  counter.Feed(buffer.data(), 0, counted, used, used);
  if (used == 0) file.Checkpoints.clear();
  file.Lines = counter.Finish(used);
  return true;
}

}  // namespace

uint64_t TLineFile::LineOffset(int64_t index) const {
  uint64_t at = Checkpoints[static_cast<size_t>(index / kLinesPerCheckpoint)];
  for (int64_t skip = index % kLinesPerCheckpoint; skip > 0; --skip) LineAt(*this, at, at);
  return at;
}

std::string_view TLineFile::Line(int64_t index) const {
  uint64_t next = 0;
  return LineAt(*this, LineOffset(index), next);
}

std::string_view LineAt(const TLineFile& file, uint64_t offset, uint64_t& next) {
  const char* data = file.Buffer.data();
  const uint64_t size = file.Buffer.size();
  uint64_t i = offset;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
    if (mask != 0) {
      i += static_cast<uint64_t>(__builtin_ctz(mask));
      next = (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? i + 2 : i + 1;
      return {data + offset, i - offset};
    }
  }
#endif
  for (; i < size; ++i) {
    if (data[i] == '\r' || data[i] == '\n') {
      next = (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? i + 2 : i + 1;
      return {data + offset, i - offset};
    }
  }
  next = size;
  return {data + offset, size - offset};
}

bool LoadLineFile(const std::string& path, TLineFile& file, std::string* error) {
  ResetLines(file);
  struct stat st {};
  const int fd = OpenRegularFile(path, st, error);
  if (fd < 0) {
    file.Buffer.Release();
    return false;
  }
  int err = 0;
  bool ok = false;
  file.Identity = IdentityOf(st);
  try {
    ok = ReadAndCount(fd, static_cast<uint64_t>(st.st_size), file, err);
  } catch (const std::bad_alloc&) {
    err = ENOMEM;
  }
  ::close(fd);
  if (!ok) {
    ResetLines(file);
    file.Buffer.Release();
    file.Checkpoints.shrink_to_fit();
    FileError(error, path, std::strerror(err));
    return false;
  }
  return true;
}

void SetLineFileText(TLineFile& file, std::string_view text) {
  ResetLines(file);
  file.Buffer.assign(text);
  if (text.empty()) return;
  file.Checkpoints.push_back(0);
  TLineCounter counter(file.Checkpoints);
  counter.Feed(file.Buffer.data(), 0, 0, text.size(), text.size());
  file.Lines = counter.Finish(text.size());
}

}  // namespace pelorin
