#include "catalogue/line_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace pelorin {

namespace {

void Fail(std::string* error, const std::string& path, const char* reason) {
  if (error) *error = path + ": " + reason;
}

// Reads until end of file, so a file that grew or shrank since fstat is read as it now is.
bool ReadAll(int fd, uint64_t sizeHint, std::string& buffer, int& err) {
  buffer.clear();
  uint64_t capacity = sizeHint + 1;  // one spare byte shows the end without a second read
  buffer.resize(capacity);
  uint64_t used = 0;
  for (;;) {
    if (used == capacity) {
      capacity = capacity * 2;
      buffer.resize(capacity);
    }
    const uint64_t want = std::min<uint64_t>(capacity - used, uint64_t{1} << 30);
    const ssize_t got = ::read(fd, buffer.data() + used, want);
    if (got < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    if (got == 0) break;
    used += static_cast<uint64_t>(got);
  }
  buffer.resize(used);
  return true;
}

inline void EndLine(TLineFile& file, const char* data, uint64_t size, uint64_t at, uint64_t& start) {
  file.LineStart.push_back(start);
  file.LineEnd.push_back(at);
  start = (data[at] == '\r' && at + 1 < size && data[at + 1] == '\n') ? at + 2 : at + 1;
}

void FindLines(TLineFile& file) {
  const char* data = file.Buffer.data();
  const uint64_t size = file.Buffer.size();
  // Typical NMEA lines are 40 to 80 bytes; a low guess only costs a few regrowths.
  const uint64_t guess = size / 48 + 16;
  file.LineStart.reserve(guess);
  file.LineEnd.reserve(guess);
  uint64_t start = 0;
  uint64_t i = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; i + 16 <= size; i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf))));
    while (mask != 0) {
      const uint64_t at = i + static_cast<uint64_t>(__builtin_ctz(mask));
      mask &= mask - 1;
      if (at < start) continue;  // the LF of a CR LF already taken
      EndLine(file, data, size, at, start);
    }
  }
#endif
  for (; i < size; ++i) {
    if ((data[i] == '\r' || data[i] == '\n') && i >= start) EndLine(file, data, size, i, start);
  }
  if (start < size) {
    file.LineStart.push_back(start);
    file.LineEnd.push_back(size);
  }
}

}  // namespace

bool LoadLineFile(const std::string& path, TLineFile& file, std::string* error) {
  file.Buffer.clear();
  file.LineStart.clear();
  file.LineEnd.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    Fail(error, path, std::strerror(errno));
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    Fail(error, path, std::strerror(err));
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    Fail(error, path, S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file");
    return false;
  }
  int err = 0;
  bool ok = false;
  try {
    ok = ReadAll(fd, static_cast<uint64_t>(st.st_size), file.Buffer, err);
  } catch (const std::bad_alloc&) {
    err = ENOMEM;
  }
  ::close(fd);
  if (!ok) {
    file.Buffer.clear();
    file.Buffer.shrink_to_fit();
    Fail(error, path, std::strerror(err));
    return false;
  }
  try {
    FindLines(file);
  } catch (const std::bad_alloc&) {
    file.Buffer.clear();
    file.Buffer.shrink_to_fit();
    file.LineStart.clear();
    file.LineEnd.clear();
    Fail(error, path, "not enough memory for its lines");
    return false;
  }
  return true;
}

}  // namespace pelorin
