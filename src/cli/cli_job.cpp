#include "cli/cli_job.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "analysis/analysis_run.h"
#include "catalogue/log_scan.h"
#include "encounters/encounter_report.h"
#include "exports/export_run.h"
#include "cli/cli_sink.h"
#include "coverage/range_report.h"
#include "output/builtin_spreadsheet.h"
#include "output/ship_grid.h"
#include "output/ship_list_export.h"
#include "platform/user_locale.h"

namespace pelorin::cli {

namespace {

// Tells where the document went instead of starting a viewer: the command line may run
// on a machine without a desktop.
class TCliOpener : public TDocumentOpener {
 public:
  TCliOpener(TCliMessageBox& box, bool quiet) : box_(box), quiet_(quiet) {}
  void Open(const std::string& path) override {
    if (!quiet_) box_.Say("wrote " + path);
  }

 private:
  TCliMessageBox& box_;
  bool quiet_;
};

// The ship list without a window: the grid as tab-separated rows, then the workbook
// through the same export as the sheet window's.
class TCliShipList : public TShipListView {
 public:
  TCliShipList(std::FILE* out, TCliSink& sink, TCliMessageBox& box, std::string startupDir, bool quiet,
               const TVesselFilter& vessels)
      : out_(out), sink_(sink), box_(box), startupDir_(std::move(startupDir)), quiet_(quiet), vessels_(vessels) {}

  void ShowShipList(const TShipList& ships) override {
    const TShipGrid grid = ShipGridCells(ships, vessels_);
    sink_.EraseBar();
    std::string row;
    for (const TShipGridRow& cells : grid) {
      row.clear();
      for (size_t c = 0; c < cells.size(); ++c) {
        if (c > 0) row += '\t';
        row += cells[c];
      }
      row += '\n';
      std::fwrite(row.data(), 1, row.size(), out_);
    }
    std::fflush(out_);

    TBuiltInSpreadsheetFactory factory;
    TNoSheetWindow window;
    TShipListExportEnv env{factory, window, box_, startupDir_, GetUserDefaultLCID()};
    Outcome = BitBtn_ExpExcelClick(grid, env);
    ReleaseExcelApp();
    if (Outcome == TExportOutcome::Shown && !quiet_) box_.Say("wrote " + startupDir_ + kWorkbookFileName);
  }

  TExportOutcome Outcome = TExportOutcome::NoServer;
  bool Saved() const { return Outcome == TExportOutcome::Shown || Outcome == TExportOutcome::NotShown; }

 private:
  std::FILE* out_;
  TCliSink& sink_;
  TCliMessageBox& box_;
  std::string startupDir_;
  bool quiet_;
  const TVesselFilter& vessels_;
};

// The reason a directory cannot be listed, or empty when it can.
std::string DirectoryProblem(const std::string& directory) {
  std::error_code ec;
  const auto status = std::filesystem::status(directory, ec);
  if (ec) return ec.message();
  if (!std::filesystem::is_directory(status)) return "not a directory";
  std::filesystem::directory_iterator it(directory, ec);
  return ec ? ec.message() : std::string();
}

std::string WithSlash(std::string directory) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  return directory;
}

// Neither of the two outputs: the exports are written from the table afterwards.
constexpr unsigned kAnalyseOnly = 2;

// The --export files, then the folder, in the order given; the exit status.
int WriteExports(const TCliOptions& options, const TShipList& ships, TCliSink& sink, TCliMessageBox& box) {
  const TExportSet set = ExportSetOf(ships, !options.OwnTrack, options.Vessels);
  std::vector<std::pair<TExportFormat, std::string>> targets;
  for (const std::string& path : options.Exports) {
    TExportFormat format = TExportFormat::Csv;
    ExportFormatOfPath(path, format);  // checked by the parser
    targets.emplace_back(format, path);
  }
  if (!options.GpxFolder.empty()) targets.emplace_back(TExportFormat::GpxFolder, options.GpxFolder);
  for (const auto& [format, path] : targets) {
    const TTrafficResult result = ExportTraffic(format, path, set, sink);
    sink.EraseBar();
    if (result.Outcome == TTrafficOutcome::Stopped) return kExitInterrupted;
    if (result.Outcome == TTrafficOutcome::Failed) {
      box.Say(result.Message);
      return kExitOutput;
    }
    if (!options.Quiet) box.Say("wrote " + path);
  }
  return kExitOk;
}

// The two tables of who came close, after every other output.
int WriteEncounters(const TCliOptions& options, const TShipList& ships, TCliSink& sink, std::FILE* out) {
  const TFleetMotion fleet = FleetMotionOf(ships);
  const std::vector<TOwnApproach> own = OwnShipApproaches(fleet, sink);
  bool stopped = false;
  const std::vector<TEncounter> encounters = FindEncounters(fleet, options.EncounterNM, sink, stopped);
  sink.EraseBar();
  if (stopped) return kExitInterrupted;
  // Line by line: a busy day has some hundred thousand encounters.
  const auto put = [out](const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
  };
  put(TabLine(kOwnApproachColumns));
  for (const TOwnApproach& row : own) put(TabLine(OwnApproachCells(ships, fleet, row)));
  put({});
  put(TabLine(kEncounterColumns));
  for (const TEncounter& e : encounters) put(TabLine(EncounterCells(ships, e)));
  std::fflush(out);
  return kExitOk;
}

// The farthest position heard per degree of bearing, after the encounter tables.
void WriteRange(const TShipList& ships, TCliSink& sink, std::FILE* out) {
  const TReceptionRanges ranges = ReceptionRangesOf(ships, sink);
  sink.EraseBar();
  std::fputs(kRangeHeader, out);
  std::fputc('\n', out);
  for (int bearing = 0; bearing < 360; ++bearing) {
    const std::string line = RangeLine(ships, bearing, ranges.Whole.Bins[bearing]);
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
  }
  std::fflush(out);
}

}  // namespace

void ChooseTimeWindow(const TCatalogue& catalogue, const TCliOptions& options, TTimeWindowState& window) {
  // The span's days; entries of files without a time stamp before any other carry day 0.
  TDateTime firstDay = 0, lastDay = 0;
  for (const TLogDateTime& e : catalogue.LogList) {
    if (e.LogDate == 0) continue;
    if (firstDay == 0 || e.LogDate < firstDay) firstDay = e.LogDate;
    if (lastDay == 0 || e.LogDate > lastDay) lastDay = e.LogDate;
  }
  window.StartDay = firstDay;
  MonthCalendar_StartClick(catalogue, window);
  window.EndDay = lastDay;
  MonthCalendar_EndClick(catalogue, window);

  // A click rewrites all four fields, so the given times go in after both clicks.
  if (options.From) {
    window.StartDay = options.From->Day;
    MonthCalendar_StartClick(catalogue, window);
  }
  if (options.To) {
    window.EndDay = options.To->Day;
    MonthCalendar_EndClick(catalogue, window);
  }
  if (options.From) {
    window.Edit_StartTime_h = options.From->HourText();
    window.Edit_StartTime_min = options.From->MinuteText();
  }
  if (options.To) {
    window.Edit_EndTime_h = options.To->HourText();
    window.Edit_EndTime_min = options.To->MinuteText();
  }
}

int RunCliJob(const TCliOptions& options, const TCliIo& io) {
  TCliSink sink(options.Quiet ? nullptr : io.Out, io.ProgressBar && !options.Quiet ? io.Err : nullptr, io.Stop);
  TCliMessageBox box(io.Err, &sink);
  const std::vector<std::string>& paths = options.Paths;
  std::error_code ec;
  // One directory is a card, as it always was; files and several paths are named as given.
  const bool oneCard = paths.size() == 1 && !std::filesystem::is_regular_file(paths[0], ec);
  const std::string where = oneCard ? WithSlash(paths[0]) : std::string("the paths given");
  for (const std::string& path : paths) {
    if (oneCard) {
      if (const std::string problem = DirectoryProblem(path); !problem.empty()) {
        box.Say("cannot read the log directory " + path + ": " + problem);
        return kExitNoLogFiles;
      }
    } else if (!std::filesystem::exists(path, ec)) {
      box.Say("cannot read " + path + ": no such file or directory");
      return kExitNoLogFiles;
    }
  }

  TCatalogue catalogue;
  BeginOpenLogDirectory(catalogue, sink);
  const TOpenResult opened =
      OpenLogPaths(catalogue, paths, sink, box, io.CurrentYear != 0 ? io.CurrentYear : LocalYear());
  switch (opened.Outcome) {
    case TOpenOutcome::EmptyPath:
    case TOpenOutcome::NoLogFiles:
      box.Say("no *.LOG file in " + where);
      return kExitNoLogFiles;
    case TOpenOutcome::Unreadable:
      box.Say("cannot read " + opened.Error);
      return kExitNoLogFiles;
    case TOpenOutcome::ReadFailed:  // already said
      return kExitNoLogFiles;
    case TOpenOutcome::Stopped:
      return kExitInterrupted;
    case TOpenOutcome::Completed:
      break;
  }
  if (!catalogue.DataAvailable) {
    box.Say("no time stamp ($GPRMC with status A, $ECZDA, tag block or base station) in the log files of " + where);
    return kExitNoTimeStamps;
  }

  TTimeWindowState window = opened.Window;
  ChooseTimeWindow(catalogue, options, window);

  TAnalysisState state;
  bool reducedData = !options.FullData;
  bool allTracks = !options.OwnTrack;
  TCliOpener opener(box, options.Quiet);
  TCliShipList shipList(io.Out, sink, box, io.StartupDir, options.Quiet, options.Vessels);
  const TAnalysisMode mode = options.ShipList ? TAnalysisMode::ShipList : TAnalysisMode::Kml;
  const unsigned analysisMode = options.Exporting() ? kAnalyseOnly : static_cast<unsigned>(mode);
  TRunInputs in{state,         catalogue, window, analysisMode, &reducedData, &allTracks,
                io.StartupDir, sink,      box,    &opener,      &shipList,    {},
                options.Threads, &options.Vessels, options.Exporting()};
  switch (RunAnalysis(in)) {
    case TRunOutcome::Completed:
      break;
    case TRunOutcome::NoData:
      return kExitNoTimeStamps;
    case TRunOutcome::BadTimeText:
    case TRunOutcome::BadWindow:
      return kExitBadWindow;
    case TRunOutcome::Stopped:
      return kExitInterrupted;
    case TRunOutcome::CardChanged:  // already said
    case TRunOutcome::ReadFailed:
      return kExitNoLogFiles;
    case TRunOutcome::KmlCreateFailed:
    case TRunOutcome::KmlWriteFailed:
      box.Say("cannot write " + KmlPath(io.StartupDir));
      return kExitOutput;
  }
  if (options.Exporting())
    if (const int status = WriteExports(options, state.aShipList, sink, box); status != kExitOk) return status;
  if (options.ShipList && !shipList.Saved()) {
    box.Say("cannot write " + io.StartupDir + kWorkbookFileName);
    return kExitOutput;
  }
  if (options.Encounters)
    if (const int status = WriteEncounters(options, state.aShipList, sink, io.Out); status != kExitOk) return status;
  if (options.Range) WriteRange(state.aShipList, sink, io.Out);
  return kExitOk;
}

}  // namespace pelorin::cli
