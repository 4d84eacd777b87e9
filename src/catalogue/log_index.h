#pragma once
// The catalogue of an SD-card directory: its *.LOG files and the index of which days
// and line ranges each covers.
#include <cstdint>
#include <string>
#include <vector>

#include "catalogue/line_index.h"
#include "codec/tdatetime.h"
#include "platform/progress_sink.h"

namespace pelorin {

// Where a file's times come from: its GPS time sentences where it has usable ones (as a
// transponder writes them), else the time each line carries, else the base stations.
enum class TTimeSource : uint8_t { GpsSentences, TagBlocks, BaseStations };

// "tag blocks", "base stations" (the report's words).
const char* TimeSourceName(TTimeSource source);

struct TSD_Info {
  std::string DirectoryName;          // always ends with "/"; empty when files were chosen one by one
  std::vector<std::string> FileListe;  // names without directory (paths when DirectoryName is empty)
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
  // What the last scan found out about each file it read (in FileListe order): the run
  // takes a file's line count and checkpoints from here, when the file has not changed
  // since, instead of reading it twice.
  std::vector<TLineIndex> FileIndex;
  // Of each file the last scan read, in FileListe order; the pass reads by the same.
  std::vector<TTimeSource> FileTimeSource;
  // The year the last scan placed two-digit years around; the run reads by the same.
  int ScanYear = 0;
};

}  // namespace pelorin
