#pragma once
// The log pass: one log-index entry's line range, walked in order, into the ship table.
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/ship_table.h"
#include "catalogue/line_reader.h"
#include "catalogue/log_index.h"
#include "codec/tdatetime.h"
#include "platform/progress_sink.h"

namespace pelorin {

class TPieceFeed;

// Why a pass read fewer lines than its range: filled when it stops early.
struct TReadStop {
  bool Stopped = false;
  int64_t Line = 0;    // the first line not read
  std::string Reason;  // the system's words, or kChangedWhileRead
};

struct TLogPassOptions {
  // "Reduced Data" (CheckBox_Data): read each time a point is about to be appended, so a
  // change during a pass applies from the next point. Null counts as checked.
  const bool* ReducedData = nullptr;
  // When set, the file is taken from (and kept in) the cache.
  TLineFileCache* Cache = nullptr;
  // Line counts and checkpoints found before (by the scan): a file whose entry here is
  // of the file as it is now is not counted again.
  const std::vector<TLineIndex>* KnownIndex = nullptr;
  // Threads that cut, split and decode the lines ahead of the pass: 0 for all cores, 1
  // for the pass's own thread alone. The outcome is the same with any number.
  unsigned Threads = 0;
  // The size the file is read in by those threads (0: the usual; the tests make it small
  // so that messages and windows fall across the edges).
  size_t PieceBytes = 0;
  // When set, the threads and their memory are taken from it (Threads and PieceBytes are
  // then its own) and kept for the next pass.
  TPieceFeed* Feed = nullptr;
  // The year two-digit years are placed around (the scan's); 0: this year by the clock.
  int CurrentYear = 0;
  // Where the file's times come from, as the scan found (its FileTimeSource). A file timed
  // by base stations is read from its first line, so that the clock at LineFrom is the
  // scan's.
  TTimeSource Source = TTimeSource::GpsSentences;
  // When set, told why a pass stopped before its range's end.
  TReadStop* Stop = nullptr;
};

// options.CurrentYear, or this year by the clock when it is 0.
int PassYear(const TLogPassOptions& options);

// The size a feed for these options reads pieces in.
size_t PassPieceBytes(const TLogPassOptions& options);

// True when the line range was processed; false when the file cannot be read or has
// fewer than LineTo + 1 lines (then no line is processed), or when reading stopped in the
// range (options.Stop says where and why). Lines are 0-based, inclusive.
bool ReadLogFile(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                 TDateTime Start, TDateTime End, bool Continue, const TLogPassOptions& options,
                 TProgressSink& sink);
// Clears InTimeWindow, then a pass that starts a new table.
bool ReadLogFile_First(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                       TDateTime Start, TDateTime End, const TLogPassOptions& options, TProgressSink& sink);
// A pass that adds to the table; all state carries over.
bool ReadLogFile_Next(TAnalysisState& state, const std::string& FileName, int64_t LineFrom, int64_t LineTo,
                      TDateTime Start, TDateTime End, const TLogPassOptions& options, TProgressSink& sink);

}  // namespace pelorin
