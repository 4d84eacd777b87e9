#include "catalogue/log_read.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace pelorin {

namespace {
// The pass's threads read concurrently.
std::atomic<TLogReadFunction> gRead{&::pread};
}  // namespace

TLogReadFunction SetLogReadFunction(TLogReadFunction read) noexcept {
  return gRead.exchange(read != nullptr ? read : &::pread);
}

int64_t ReadLogBytes(int fd, char* into, uint64_t want, uint64_t offset) noexcept {
  const TLogReadFunction read = gRead.load(std::memory_order_relaxed);
  for (;;) {
    const ssize_t got = read(fd, into, want, static_cast<off_t>(offset));
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

}  // namespace pelorin
