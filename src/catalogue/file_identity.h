#pragma once
// The identity of an open file as fstat tells it.
#include <sys/stat.h>

#include "catalogue/line_index.h"

namespace pelorin {

inline TFileIdentity IdentityOf(const struct stat& st) {
  TFileIdentity id;
  id.Device = static_cast<uint64_t>(st.st_dev);
  id.Inode = static_cast<uint64_t>(st.st_ino);
  id.Size = static_cast<uint64_t>(st.st_size);
  id.ModifiedSeconds = static_cast<int64_t>(st.st_mtim.tv_sec);
  id.ModifiedNanoseconds = static_cast<int64_t>(st.st_mtim.tv_nsec);
  return id;
}

}  // namespace pelorin
