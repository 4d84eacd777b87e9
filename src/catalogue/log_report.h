#pragma once
// Texts of the details pane that the scan writes.
#include <string>

#include "catalogue/log_index.h"
#include "codec/tdatetime.h"
#include "platform/progress_sink.h"

namespace pelorin {

// "7.4.2011 9:05:07": day and month without leading zeros, four-digit year, hour without
// leading zero, two-digit minutes and seconds. 0 (no date) gives "30.12.1899 0:00:00".
std::string FormatLogDateTime(TDateTime value);

// The seven lines per entry ("====...", "LogList[i]:", "Date-Start: ", ...).
void AppendLogListDetails(const TLogList& logList, TProgressSink& sink);

// The three lines of a stopped scan.
void AppendScanInterrupt(TProgressSink& sink);

}  // namespace pelorin
