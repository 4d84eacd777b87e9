#pragma once
// Helpers shared by the fuzz targets: a fixed input header, checksum repair (so that
// mutations inside a sentence are not all thrown away as bad checksums), an in-memory
// file with a path, and the invariants every ship table must keep.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "analysis/ship_table.h"
#include "codec/point_texts.h"
#include "codec/tdatetime.h"
#include "codec/vessel_rules.h"
#include "output/kml_writer.h"
#include "platform/desktop.h"

namespace pelorin::fuzz {

// A violated invariant: report and abort, which libFuzzer records as a crash.
#define PELORIN_FUZZ_CHECK(cond, what)                                                  \
  do {                                                                                  \
    if (!(cond)) {                                                                      \
      std::fprintf(stderr, "invariant failed: %s (%s) at %s:%d\n", what, #cond, __FILE__, \
                   __LINE__);                                                           \
      std::abort();                                                                     \
    }                                                                                   \
  } while (0)

// Flags of THeader.
enum : uint8_t {
  kFixChecksums = 1,   // rewrite the "*hh" of every "!"/"$" line to the right value
  kReducedData = 2,    // "Reduced Data" checked
  kSecondPass = 4,     // follow the first pass by ReadLogFile_Next over another range
  kWholeFile = 8,      // line range 0..n-1 instead of From/To
  kAllTracks = 16,     // KML: all vessel tracks
  kOddDocName = 32,    // KML: the document name is taken from the input
};

// The first 13 bytes of a log-pass style input; the rest is the log file.
struct THeader {
  uint8_t Flags = 0;
  int32_t StartOffset = 0;  // seconds from kWindowBase
  int32_t Length = 0;       // seconds; negative puts the end before the start
  uint16_t From = 0;
  uint16_t To = 0;
};
inline constexpr size_t kHeaderSize = 13;

// 2011-04-07 00:00:00, near the recordings the seeds come from; +-68 years reach
// every date a card can hold.
inline constexpr int64_t kWindowBase = 40640LL * 86400;

inline THeader ReadHeader(const uint8_t* data, size_t size, std::string_view& rest) {
  uint8_t raw[kHeaderSize] = {};
  std::memcpy(raw, data, size < kHeaderSize ? size : kHeaderSize);
  THeader h;
  h.Flags = raw[0];
  std::memcpy(&h.StartOffset, raw + 1, 4);
  std::memcpy(&h.Length, raw + 5, 4);
  std::memcpy(&h.From, raw + 9, 2);
  std::memcpy(&h.To, raw + 11, 2);
  rest = size > kHeaderSize ? std::string_view(reinterpret_cast<const char*>(data) + kHeaderSize, size - kHeaderSize)
                            : std::string_view();
  return h;
}

inline void WindowOf(const THeader& h, TDateTime& start, TDateTime& end) {
  const int64_t s = kWindowBase + h.StartOffset;
  start = SecondsToTDateTime(s);
  end = SecondsToTDateTime(s + h.Length);
}

// A line index from a 16-bit value: mostly inside 0..n-1, sometimes just outside.
inline int64_t LineOf(uint16_t raw, int64_t n) { return static_cast<int64_t>(raw % (n + 3)) - 1; }

inline void FixChecksums(std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const size_t len = end - start;
    if (len >= 4 && (text[start] == '!' || text[start] == '$') && text[end - 3] == '*') {
      unsigned sum = 0;
      for (size_t i = start + 1; i < end - 3; ++i) sum ^= static_cast<unsigned char>(text[i]);
      text[end - 2] = kHex[(sum >> 4) & 0xF];
      text[end - 1] = kHex[sum & 0xF];
    }
    start = end + 1;
  }
}

// A file without a place on disk: a memory file reached through /proc/self/fd.
class TMemFile {
 public:
  TMemFile() {
    fd_ = ::memfd_create("pelorin-fuzz", 0);
    PELORIN_FUZZ_CHECK(fd_ >= 0, "memfd_create");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~TMemFile() { ::close(fd_); }
  void Write(std::string_view content) {
    PELORIN_FUZZ_CHECK(::ftruncate(fd_, 0) == 0, "ftruncate");
    size_t done = 0;
    while (done < content.size()) {
      const ssize_t n = ::pwrite(fd_, content.data() + done, content.size() - done, static_cast<off_t>(done));
      PELORIN_FUZZ_CHECK(n > 0, "pwrite");
      done += static_cast<size_t>(n);
    }
  }
  const std::string& Path() const { return path_; }
  std::string Read() const {
    std::string content;
    char chunk[1 << 16];
    for (off_t at = 0;;) {
      const ssize_t n = ::pread(fd_, chunk, sizeof chunk, at);
      PELORIN_FUZZ_CHECK(n >= 0, "pread");
      if (n == 0) return content;
      content.append(chunk, static_cast<size_t>(n));
      at += n;
    }
  }

 private:
  int fd_ = -1;
  std::string path_;
};

class TQuietBox : public TMessageBox {
 public:
  void Show(TMessageKind, std::string_view, std::string_view) override {}
};

inline bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// What the log pass promises about the table it built within [start, end].
inline void CheckShipTable(const TAnalysisState& state, TDateTime start, TDateTime end, bool reduced) {
  const int64_t s0 = TDateTimeToSeconds(start), s1 = TDateTimeToSeconds(end);
  std::set<std::string_view> seen;
  int64_t aisPoints = 0;
  for (size_t i = 0; i < state.aShipList.size(); ++i) {
    const TStatic& ship = state.aShipList[i];
    if (i > 0) {
      PELORIN_FUZZ_CHECK(AllDigits(ship.MMSI), "an entry's MMSI is a decimal number");
      PELORIN_FUZZ_CHECK(seen.insert(ship.MMSI).second, "no two entries share an MMSI");
      auto it = state.ShipIndex.find(std::string(ship.MMSI));
      PELORIN_FUZZ_CHECK(it != state.ShipIndex.end() && it->second == i, "the MMSI index finds the entry");
    }
    PELORIN_FUZZ_CHECK(ship.Num_Msg5 >= 0 && ship.Num_Msg14 >= 0, "counters never go negative");
    const TDynamic* previous = nullptr;
    TPointTexts t;
    for (const TDynamic& p : ship.aPlot) {
      PointTexts(ship.aPlot, p, t);
      const int64_t at = PointSeconds(ship.aPlot, p);
      PELORIN_FUZZ_CHECK(s0 <= at && at <= s1, "every point lies inside the window");
      PELORIN_FUZZ_CHECK(!t.TimeStampStr.empty(), "every point has a time text");
      PELORIN_FUZZ_CHECK(t.Lat != "n.a." && t.Lon != "n.a." && !t.Lat.empty() && !t.Lon.empty(),
                         "every point has a position");
      if (i > 0) {
        PELORIN_FUZZ_CHECK(HasValidPosition(ship.aPlot, p) && IsValidMMSI(t.MMSI), "a stranger's point is usable");
        PELORIN_FUZZ_CHECK(t.MMSI == ship.MMSI, "a stranger's points carry its MMSI");
        if (reduced && previous != nullptr)
          PELORIN_FUZZ_CHECK(at - PointSeconds(ship.aPlot, *previous) > 30, "reduced data thins to 30 s");
        ++aisPoints;
      }
      previous = &p;
    }
  }
  PELORIN_FUZZ_CHECK(state.Num_Dynamic >= aisPoints, "every stored report was counted");
  PELORIN_FUZZ_CHECK(state.Num_Static >= 0, "static counter");
}

}  // namespace pelorin::fuzz
