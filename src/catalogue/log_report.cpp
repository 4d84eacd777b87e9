#include "catalogue/log_report.h"

#include <cstdio>

namespace pelorin {

namespace {
const char kRule[] = "========================================";
}

std::string FormatLogDateTime(TDateTime value) {
  const TDateParts p = DecodeDateTime(value);
  char text[48];
  std::snprintf(text, sizeof text, "%d.%d.%d %d:%02d:%02d", p.Day, p.Month, p.Year, p.Hour, p.Minute, p.Second);
  return text;
}

void AppendLogListDetails(const TLogList& logList, TProgressSink& sink) {
  std::string line;
  for (size_t i = 0; i < logList.size(); ++i) {
    const TLogDateTime& e = logList[i];
    sink.AppendDetail(kRule);
    sink.AppendDetail("LogList[" + std::to_string(i) + "]:");
    sink.AppendDetail("Date-Start: " + FormatLogDateTime(e.LogDateTime_Start));
    sink.AppendDetail("Date-End: " + FormatLogDateTime(e.LogDateTime_End));
    sink.AppendDetail("File-Index: " + std::to_string(e.File_Index));
    sink.AppendDetail("Start-Line: " + std::to_string(e.Line_Start));
    sink.AppendDetail("End-Line: " + std::to_string(e.Line_End));
  }
}

void AppendScanInterrupt(TProgressSink& sink) {
  sink.AppendDetail(kRule);
  sink.AppendDetail("USER  INTERRUPT  :  SD-Read stopped!");
  sink.AppendDetail(kRule);
}

}  // namespace pelorin
