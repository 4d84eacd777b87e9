#pragma once
// The scan of a file without usable GPS time sentences: every line in order, read once
// for both other sources; the file's entries split at every change of day.
#include <cstdint>

#include "catalogue/line_reader.h"
#include "catalogue/log_index.h"
#include "catalogue/scan_state.h"
#include "platform/progress_sink.h"

namespace pelorin {

enum class TSourceWalk {
  NoTimes,     // no other source times this file: nothing written
  Found,       // `source` times it: the file's entries written, up to where the walk ended
  GpsTime,     // a time sentence reads after all: nothing written
  ReadFailed,  // at line `failedLine`
};

// Lines 0..n-1 of the counted `file` (index `c` in FileListe). Tag blocks win over base
// stations, unless the base stations time the file from an earlier line. With Found, `st` is the state after the walk's last line, and the file's
// last entry is written. Moves the load bar, pumps and sets `stopRequested` by the stop
// key after every line, as the bisection does.
TSourceWalk WalkSourceTimes(TLineReader& file, int64_t c, int currentYear, TScanState& st, TLogList& list,
                            TProgressSink& sink, bool& stopRequested, TTimeSource& source, int64_t& failedLine);

}  // namespace pelorin
