#include "catalogue/regular_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pelorin {

void FileError(std::string* error, const std::string& path, const char* reason) {
  if (error) *error = path + ": " + reason;
}

std::string FileErrorReason(const std::string& error, const std::string& path) {
  return error.rfind(path + ": ", 0) == 0 ? error.substr(path.size() + 2) : error;
}

int OpenRegularFile(const std::string& path, struct stat& st, std::string* error) {
  // Without blocking: opening a named pipe would wait for a writer for ever; what is
  // not a regular file is refused below anyway.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    FileError(error, path, std::strerror(errno));
    return -1;
  }
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    FileError(error, path, std::strerror(err));
    return -1;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    FileError(error, path, S_ISDIR(st.st_mode) ? "is a directory" : "is not a regular file");
    return -1;
  }
  return fd;
}

}  // namespace pelorin
