#pragma once
// The job of pelorin-cli: scan the directory, take the window, run the analysis and make
// its output, as the desktop program's commands do, and tell how it ended.
#include <csignal>
#include <cstdio>
#include <string>

#include "catalogue/log_index.h"
#include "catalogue/time_window.h"
#include "cli/cli_options.h"

namespace pelorin::cli {

struct TCliIo {
  std::FILE* Out = stdout;  // report lines and the ship list
  std::FILE* Err = stderr;  // messages, and the bar when ProgressBar is set
  bool ProgressBar = false;
  const volatile std::sig_atomic_t* Stop = nullptr;  // non-zero: stop as ESC does
  std::string StartupDir;   // where the output goes, with its trailing "/"
  int CurrentYear = 0;      // places two-digit years; 0: this year by the local clock
};

// The window the calendars end up with: the whole span of the index (start clicked on
// its first day, end on its last), then the --from day clicked on the start calendar and
// the --to day on the end calendar, and the given times written into the fields. Needs
// catalogue.DataAvailable.
void ChooseTimeWindow(const TCatalogue& catalogue, const TCliOptions& options, TTimeWindowState& window);

// Runs the whole job; returns the exit status. Messages go to io.Err.
int RunCliJob(const TCliOptions& options, const TCliIo& io);

}  // namespace pelorin::cli
