#pragma once
// The analysis run behind the two output commands: re-snap the chooser, read the chosen
// entries into the ship table, then write the KML document or show the ship list.
#include <string>
#include <string_view>

#include "analysis/log_pass.h"
#include "analysis/ship_table.h"
#include "catalogue/log_index.h"
#include "catalogue/time_window.h"
#include "codec/vessel_rules.h"
#include "platform/desktop.h"
#include "platform/progress_sink.h"
#include "platform/ship_list_view.h"

namespace pelorin {

inline constexpr std::string_view KmlFileName = "SD_Belumar.kml";
inline constexpr std::string_view RunSeparator = "========================================";

enum class TAnalysisMode : unsigned { Kml = 0, ShipList = 1 };  // any other value: analyse only

enum class TRunOutcome {
  Completed,        // all entries read and the output made (or none asked for)
  NoData,           // DataAvailable false: nothing done
  BadTimeText,      // an hour or minute field is not a whole number; no pass ran
  BadWindow,        // start after end: "End-Timestamp must be greater than Start-Timestamp!"
  Stopped,          // the stop key after an entry: interrupt lines, no output
  KmlCreateFailed,  // "Google-Datei konnte nicht angelegt werden."
  KmlWriteFailed,   // the document could not be completed; the earlier one is left in place
  CardChanged,      // a file no longer holds what the scan read: no output, "Please open it again."
  ReadFailed,       // reading a file failed in its middle: no output, the file and line named
};

struct TRunInputs {
  TAnalysisState& State;      // aShipList and the counters: rebuilt by the run
  TCatalogue& Catalogue;      // LogList, SD_Info, DataAvailable read; StopRequested written
  TTimeWindowState& Window;   // calendars snapped to days with data; the four texts kept
  unsigned AnalysisMode = 0;
  // "Reduced Data" and "All Vessel Tracks", read when used (the window may change them
  // during the run). Null: checked / all tracks.
  const bool* ReducedData = nullptr;
  const bool* AllTracks = nullptr;
  std::string StartupDir;     // with trailing separator; where the KML document goes
  TProgressSink& Sink;
  TMessageBox& Messages;
  TDocumentOpener* Opener = nullptr;       // KML mode
  TShipListView* ShipListView = nullptr;   // ship-list mode
  TShowAndPump Pump = {};                  // between the chooser's two adjustments
  unsigned Threads = 0;                    // of each pass: 0 all cores, 1 its own alone
  const TVesselFilter* Vessels = nullptr;  // the vessels the document keeps; null: all
  // Analyse only, but end the report as the outputs do: the caller exports the table.
  bool ForExport = false;
};

// RunAnalysis. The caller disables "Open", "Excel" and "Google" for the call and enables
// them again when it returns, whatever the outcome (every outcome is back to idle); the
// stop hint is shown and hidden through the sink. Refusals and KML failures are shown
// through `Messages` before returning. Any other error (out of memory) propagates with
// the stop hint hidden and the table consistent.
TRunOutcome RunAnalysis(TRunInputs& in);

// The KML path: StartupDir followed by "SD_Belumar.kml".
std::string KmlPath(const std::string& StartupDir);

}  // namespace pelorin
