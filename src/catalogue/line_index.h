#pragma once
// What one reading of a log file found: its line count and where every 64th line starts,
// and which file that reading was of, to tell later whether the file has changed since.
#include <cstdint>
#include <string>
#include <vector>

namespace pelorin {

struct TFileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  uint64_t Size = 0;
  int64_t ModifiedSeconds = 0;
  int64_t ModifiedNanoseconds = 0;
  bool operator==(const TFileIdentity&) const = default;
};

struct TLineIndex {
  std::string Path;
  TFileIdentity Identity;
  int64_t Lines = 0;
  std::vector<uint64_t> Checkpoints;  // offset of lines 0, 64, 128, ...
  uint64_t Fingerprint = 0;           // of the bytes counted (TFingerprint)
  // No line begins with "$": the file holds no time sentence, and the scan need not walk
  // it line by line to be sure.
  bool DollarLines = true;
};

}  // namespace pelorin
