#pragma once
// Every read of a log file's bytes goes through here: one place that retries interrupted
// reads, and the one seam through which a failing card (EIO in the middle of a file) can
// be imitated.
#include <sys/types.h>

#include <cstdint>

namespace pelorin {

using TLogReadFunction = ssize_t (*)(int fd, void* into, size_t want, off_t offset);

// Replaces the system's pread (null puts it back); returns the one in use before.
TLogReadFunction SetLogReadFunction(TLogReadFunction read) noexcept;

// Up to `want` bytes at `offset`: the count read, or -1 with errno set.
int64_t ReadLogBytes(int fd, char* into, uint64_t want, uint64_t offset) noexcept;

}  // namespace pelorin
