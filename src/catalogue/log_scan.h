#pragma once
// Listing a card directory's *.LOG files, the bisection scan that builds the log index,
// and the window-free part of the "Open" command.
#include <string>
#include <vector>

#include "catalogue/log_index.h"
#include "catalogue/time_window.h"
#include "platform/desktop.h"
#include "platform/progress_sink.h"

namespace pelorin {

// Appends the names (no directory) of the entries of `directory` whose name ends in
// ".LOG" in any letter case, skipping names that begin with "." (hidden, and the "._"
// files other systems leave on cards). Directories and other non-files are listed too,
// as the desktop's listing would; the scan refuses them. The names are sorted by their
// ASCII upper case, ties by exact bytes, so a copied card keeps its written order.
// True when at least one name was added; false also when the directory cannot be read.
bool FindLogFiles(const std::string& directory, std::vector<std::string>& list);

enum class TScanResult {
  Completed,   // every file examined
  Stopped,     // the stop key ended it; LogList holds the entries built so far
  Unreadable,  // a listed file could not be opened; the scan ended at once
  ReadFailed,  // reading a file failed in its middle, or it changed meanwhile; ended at once
};

struct TScanOutcome {
  TScanResult Result = TScanResult::Completed;
  bool TimeStampRead = false;  // at least one usable time line was met
  std::string Error;           // Unreadable: which file and why; ReadFailed: ReadStoppedText
  int64_t LastLineCount = 0;   // lines of the last file read: ProgressBar_Load's maximum
};

// The bisection over catalogue.SD_Info.FileListe; rebuilds catalogue.LogList. Writes
// the "Number of Lines in File[c]: n" lines, moves both bars, pumps and queries the
// stop key after every examined line (sets catalogue.StopRequested). `currentYear`
// places two-digit years in their century. Does not touch DataAvailable.
TScanOutcome ScanLogFiles(TCatalogue& catalogue, TProgressSink& sink, int currentYear);

// Step 1 of the Open command without the cursor: reset both bars, show the stop hint,
// clear StopRequested. The window calls it before its folder dialog.
void BeginOpenLogDirectory(TCatalogue& catalogue, TProgressSink& sink);

enum class TOpenOutcome {
  EmptyPath,   // "No AIS (*.LOG) files found!" shown; output commands disabled
  NoLogFiles,  // "No AIS (*.LOG) files found!" shown
  Unreadable,  // "No AIS (*.LOG) files found!" shown; no listing, calendars untouched
  ReadFailed,  // Error shown and in the details pane; no listing, calendars untouched
  Stopped,     // interrupt lines written; calendars set from the partial index
  Completed,   // listing written; DataAvailable tells whether a run may start
};

struct TOpenResult {
  TOpenOutcome Outcome = TOpenOutcome::NoLogFiles;
  // True when the window must set its calendars and the four time texts from Window
  // (after a completed or stopped scan that produced at least one entry). The window
  // first moves both calendars to day 0 and back so that they ask for bold days again.
  bool SetCalendars = false;
  TTimeWindowState Window;
  std::string Error;  // Unreadable: the reason, for a log or a command line; ReadFailed: as shown
};

// Steps 3 to 9 of the Open command for the folder the user chose. Sets SD_Info,
// LogList and the flags, writes the details pane, shows the messages through `box`
// (caption "Information"), hides the stop hint at the end in every case. The window
// then enables the Open button, enables the output commands exactly when
// catalogue.DataAvailable is true (disables them for EmptyPath), and restores the cursor.
TOpenResult OpenLogDirectory(TCatalogue& catalogue, const std::string& chosenPath, TProgressSink& sink,
                             TMessageBox& box, int currentYear);

// The "Open Log Files…" command and pelorin-cli's paths: each a folder (its *.LOG files,
// as OpenLogDirectory lists them) or a file of any name, listed in the order given; the
// files are then named by their paths, DirectoryName left empty. One folder alone is
// OpenLogDirectory.
TOpenResult OpenLogPaths(TCatalogue& catalogue, const std::vector<std::string>& paths, TProgressSink& sink,
                         TMessageBox& box, int currentYear);

}  // namespace pelorin
