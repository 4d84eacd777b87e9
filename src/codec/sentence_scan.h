#pragma once
// One line of a log at a position in a buffer: where it ends and where the next begins,
// and for an AIS sentence (most lines) its fields and checksum too, all in one sweep over
// its bytes, where finding the end and NMEA_Split would read it twice and the checksum
// test a third time. The line, kind and fields are what the line search and NMEA_Split
// give.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "codec/nmea.h"

namespace pelorin {

struct TScannedLine {
  std::string_view Line;  // without its end
  // True when Kind is what NMEA_Split gives the line; for sk_AIS and sk_OwnAIS, Count is
  // its field count and Fields its first fields. False: the line still has to be split.
  bool Classified = false;
  TSentenceKind Kind = sk_Other;
  size_t Count = 0;
  std::array<std::string_view, 8> Fields;
};

inline constexpr uint64_t kScanNeedsMore = UINT64_MAX;

// The line that starts at `at` of the `size` known bytes of `data`. `complete`: they are
// all the rest of the file. `padded`: 16 more bytes after them can be read (their values
// do not matter), which lets the sweep load whole blocks. Returns the offset of the next
// line, or kScanNeedsMore when the line, or whether its CR is followed by an LF, lies
// beyond the known bytes.
uint64_t ScanLogLine(const char* data, uint64_t size, bool complete, bool padded, uint64_t at, TScannedLine& out);

}  // namespace pelorin
