#pragma once
// The catalogue of an SD-card directory: its *.LOG files and the index of which days
// and line ranges each covers.
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/line_file.h"
#include "codec/tdatetime.h"
#include "platform/progress_sink.h"

namespace pelorin {

struct TSD_Info {
  std::string DirectoryName;          // always ends with "/"
  std::vector<std::string> FileListe;  // names without directory
};

// Line numbers are 64-bit: a card file over 4 GiB may hold more than 2^31 lines.
struct TLogDateTime {
  TDateTime LogDateTime_Start = 0;
  TDateTime LogDateTime_End = 0;
  TDateTime LogDate = 0;  // whole day
  int64_t File_Index = 0;
  int64_t Line_Start = 0;
  int64_t Line_End = 0;
};

using TLogList = std::vector<TLogDateTime>;

struct TCatalogue {
  TSD_Info SD_Info;
  TLogList LogList;
  bool DataAvailable = false;
  bool CalendarsReady = false;
  bool StopRequested = false;
  // The file the last scan read last, left in memory for the run: with a card of one
  // large file, that is the file the run reads first. The run takes it over (when the
  // file has not changed) or drops it.
  TLineFileCache LastRead;
};

}  // namespace pelorin
