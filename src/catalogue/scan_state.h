#pragma once
// What the scan carries from line to line and from file to file, and how it writes an
// entry of the log index: shared by the bisection over GPS time sentences and the walk
// over the other time sources.
#include <cstdint>
#include <string>

#include "catalogue/log_index.h"

namespace pelorin {

struct TScanState {
  TDateTime D = 0;   // current day
  TDateTime S = 0;   // open entry's start
  TDateTime E = 0;   // open entry's end
  TDateTime T = 0;   // last time stamp read
  TDateTime Td = 0;  // its day
  int64_t L = 0;     // open entry's first line
  bool AnyStamp = false;
  std::string Date, Time;  // reused reader outputs
};

inline void WriteEntry(TLogList& list, const TScanState& st, TDateTime end, int64_t fileIndex, int64_t lineEnd) {
  TLogDateTime e;
  e.LogDateTime_Start = st.S;
  e.LogDateTime_End = end;
  e.LogDate = st.D;
  e.File_Index = fileIndex;
  e.Line_Start = st.L;
  e.Line_End = lineEnd;
  list.push_back(e);
}

}  // namespace pelorin
