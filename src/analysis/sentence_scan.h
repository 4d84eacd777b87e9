#pragma once
// The log pass's walk over the lines of a file. For most lines (the AIS sentences) it finds
// the line's end, its fields and its checksum in one sweep over its bytes, where the line
// search and NMEA_Split would read it twice and the checksum a third time. The result is
// what LineAt and NMEA_Split give.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "catalogue/line_file.h"
#include "codec/nmea.h"

namespace pelorin {

struct TScannedLine {
  std::string_view Line;
  // True when Kind is what NMEA_Split gives the line; for sk_AIS and sk_OwnAIS, Count is
  // its field count and Fields its first fields. False: the line still has to be split.
  bool Classified = false;
  TSentenceKind Kind = sk_Other;
  size_t Count = 0;
  std::array<std::string_view, 8> Fields;
};

class TLineScanner {
 public:
  // From the line that starts at `offset`.
  TLineScanner(const TLineFile& file, uint64_t offset) : file_(file), at_(offset) {}
  // The next line; the scanner moves past it.
  void Next(TScannedLine& out);

 private:
  void Slow(TScannedLine& out);

  const TLineFile& file_;
  uint64_t at_;
};

}  // namespace pelorin
