#pragma once
// Opening a log file for reading, for both ways of reading it.
#include <sys/stat.h>

#include <string>

namespace pelorin {

// "<path>: <reason>" into *error, when the caller wants it.
void FileError(std::string* error, const std::string& path, const char* reason);
// The reason of such an error.
std::string FileErrorReason(const std::string& error, const std::string& path);

// Opens `path` read-only when it is a regular file: the descriptor, with its status in
// `st`. Otherwise -1, nothing left open, and the reason in *error.
int OpenRegularFile(const std::string& path, struct stat& st, std::string* error);

}  // namespace pelorin
