#pragma once
// The other time sources of a file, read by the scan on the lines it examines one after
// the other until it meets the file's first GPS time: in a file without any, that is
// every line, and its entries are then split at every change of day.
#include <cstdint>
#include <string_view>

#include "catalogue/log_index.h"
#include "catalogue/scan_state.h"
#include "catalogue/source_time.h"

namespace pelorin {

// The entries one source gives the file so far.
struct TSourceEntries {
  TScanState State;
  TLogList Entries;
  bool Found = false;
  int64_t FirstLine = 0;  // the first line it timed
};

struct TSourceScan {
  TSourceReader Reader;
  TSourceEntries Tags, Stations;
  bool GpsTime = false;  // a time sentence the bisection does not read ($GPZDA) reads
};

// Before line 0 of file `c`, with the scan's state `st`.
void BeginSourceScan(TSourceScan& scan, const TScanState& st, int currentYear);
// Line f, the one after the line fed before.
void SourceScanLine(TSourceScan& scan, int64_t c, int64_t f, std::string_view line);
// Whether the tag blocks time the file once they have begun to: unless the base stations
// timed an earlier line.
bool TagsTimeFile(const TSourceScan& scan);
// After the file's lines 0..lastLine were fed and none gave a GPS time: writes the file's
// entries and its state into `list` and `st` and gives the source that times it, or
// GpsSentences (nothing written) when none does. Tag blocks win over base stations,
// unless the base stations time the file from an earlier line.
TTimeSource EndSourceScan(TSourceScan& scan, int64_t c, int64_t lastLine, TScanState& st, TLogList& list);

}  // namespace pelorin
