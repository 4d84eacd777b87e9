#include <cerrno>
#include <cstring>
#include <string>

#include "output/kml_writer.h"

namespace pelorin {

namespace {

// Large enough that a document streams at disk speed with few system calls.
constexpr size_t kKmlBufferSize = size_t{1} << 20;

[[noreturn]] void ThrowWriteError(const char* what, int error) {
  std::string message = std::string("KML document: ") + what;
  if (error != 0) message += std::string(": ") + std::strerror(error);
  throw TKmlWriteError(message);
}

}  // namespace

TKmlFile::~TKmlFile() {
  if (stream_ != nullptr) std::fclose(stream_);
}

bool TKmlFile::Create(const std::string& path) { return Adopt(std::fopen(path.c_str(), "wb")); }

bool TKmlFile::Adopt(std::FILE* stream) {
  if (stream_ != nullptr) {
    std::fclose(stream_);
    stream_ = nullptr;
  }
  if (stream == nullptr) return false;
  if (!buffer_) buffer_ = std::make_unique<char[]>(kKmlBufferSize);
  std::setvbuf(stream, buffer_.get(), _IOFBF, kKmlBufferSize);
  stream_ = stream;
  return true;
}

void TKmlFile::Close() {
  if (stream_ == nullptr) return;
  std::FILE* stream = stream_;
  stream_ = nullptr;
  errno = 0;
  bool failed = std::fflush(stream) != 0 || std::ferror(stream) != 0;
  int error = errno;
  errno = 0;
  if (std::fclose(stream) != 0 && !failed) {
    failed = true;
    error = errno;
  }
  if (failed) ThrowWriteError("the file could not be completed", error);
}

void TKmlFile::WriteLine(std::string_view text) {
  if (stream_ == nullptr) ThrowWriteError("the file is not open", 0);
  errno = 0;
  // Unlocked: one thread writes the document, and the lock would cost more than the copy.
  if (fwrite_unlocked(text.data(), 1, text.size(), stream_) != text.size() ||
      fwrite_unlocked("\r\n", 1, 2, stream_) != 2)
    ThrowWriteError("a line could not be written", errno);
}

}  // namespace pelorin
