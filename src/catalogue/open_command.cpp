#include <filesystem>
#include <system_error>

#include "catalogue/log_report.h"
#include "catalogue/log_scan.h"

namespace pelorin {

namespace {

const char kNoFiles[] = "No AIS (*.LOG) files found!";

void Inform(TMessageBox& box, std::string_view text) { box.Show(TMessageKind::Information, "Information", text); }

void SetBarsToMax(TProgressSink& sink, int64_t loadMax, int64_t totalMax) {
  sink.SetBarPosition(TBar::Load, loadMax);
  sink.SetBarPosition(TBar::Total, totalMax);
}

// Steps 6 to 9 of the Open command, for the files SD_Info lists.
TOpenResult ScanListed(TCatalogue& catalogue, TProgressSink& sink, TMessageBox& box, int currentYear) {
  TOpenResult result;
  const TSD_Info& info = catalogue.SD_Info;
  sink.ClearDetails();
  for (const std::string& name : info.FileListe) sink.AppendDetail(name);
  const int64_t fileCount = static_cast<int64_t>(info.FileListe.size());
  sink.AppendDetail("Number of Files :" + std::to_string(fileCount));
  sink.SetBarPosition(TBar::Total, 1);
  sink.SetBarMax(TBar::Total, fileCount);
  sink.ProcessMessages();

  const TScanOutcome scan = ScanLogFiles(catalogue, sink, currentYear);
  if (scan.Result == TScanResult::ReadFailed) {
    sink.AppendDetail(scan.Error);
    Inform(box, scan.Error);
    sink.ResetProgressBar_Load();
    sink.ResetProgressBar_Total();
    sink.SetStopHintVisible(false);
    result.Outcome = TOpenOutcome::ReadFailed;
    result.Error = scan.Error;
    return result;
  }
  if (scan.Result == TScanResult::Unreadable) {
    Inform(box, kNoFiles);
    sink.SetStopHintVisible(false);
    result.Outcome = TOpenOutcome::Unreadable;
    result.Error = scan.Error;
    return result;
  }

  if (catalogue.StopRequested) {
    AppendScanInterrupt(sink);
    catalogue.DataAvailable = false;
    sink.ResetProgressBar_Load();
    sink.ResetProgressBar_Total();
    result.Outcome = TOpenOutcome::Stopped;
  } else {
    AppendLogListDetails(catalogue.LogList, sink);
    // An index without entries has no first day to show, so it cannot be analysed.
    if (scan.TimeStampRead && !catalogue.LogList.empty()) {
      catalogue.DataAvailable = true;
      SetBarsToMax(sink, scan.LastLineCount, fileCount);
    } else {
      sink.ResetProgressBar_Load();
      sink.ResetProgressBar_Total();
    }
    result.Outcome = TOpenOutcome::Completed;
  }
  sink.SetStopHintVisible(false);

  catalogue.CalendarsReady = true;
  // Without a time stamp the first entry holds day 0, which no calendar should show.
  if (!catalogue.LogList.empty() && catalogue.LogList.front().LogDateTime_Start != 0) {
    const TLogDateTime& first = catalogue.LogList.front();
    result.SetCalendars = true;
    result.Window.StartDay = static_cast<TDateTime>(TDateTimeDay(first.LogDateTime_Start));
    result.Window.EndDay = static_cast<TDateTime>(TDateTimeDay(first.LogDateTime_End));
    SetStartTimeTexts(result.Window, first.LogDateTime_Start);
    SetEndTimeTexts(result.Window, first.LogDateTime_End);
  }
  return result;
}

bool IsDirectory(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

}  // namespace

void BeginOpenLogDirectory(TCatalogue& catalogue, TProgressSink& sink) {
  sink.ResetProgressBar_Load();
  sink.ResetProgressBar_Total();
  sink.SetStopHintVisible(true);
  catalogue.StopRequested = false;
}

TOpenResult OpenLogDirectory(TCatalogue& catalogue, const std::string& chosenPath, TProgressSink& sink,
                             TMessageBox& box, int currentYear) {
  TOpenResult result;
  TSD_Info& info = catalogue.SD_Info;
  if (chosenPath.empty()) {
    info.DirectoryName.clear();
    Inform(box, kNoFiles);
    sink.SetStopHintVisible(false);
    result.Outcome = TOpenOutcome::EmptyPath;
    return result;
  }
  info.DirectoryName = chosenPath;
  if (info.DirectoryName.back() != '/') info.DirectoryName.push_back('/');
  catalogue.DataAvailable = false;

  info.FileListe.clear();
  if (!FindLogFiles(info.DirectoryName, info.FileListe)) {
    Inform(box, kNoFiles);
    sink.SetStopHintVisible(false);
    result.Outcome = TOpenOutcome::NoLogFiles;
    return result;
  }

  return ScanListed(catalogue, sink, box, currentYear);
}

TOpenResult OpenLogPaths(TCatalogue& catalogue, const std::vector<std::string>& paths, TProgressSink& sink,
                         TMessageBox& box, int currentYear) {
  if (paths.size() == 1 && IsDirectory(paths[0]))
    return OpenLogDirectory(catalogue, paths[0], sink, box, currentYear);
  TSD_Info& info = catalogue.SD_Info;
  info.DirectoryName.clear();
  info.FileListe.clear();
  catalogue.DataAvailable = false;
  for (const std::string& path : paths) {
    if (!IsDirectory(path)) {
      info.FileListe.push_back(path);
      continue;
    }
    const std::string directory = path.back() == '/' ? path : path + "/";
    std::vector<std::string> names;
    FindLogFiles(directory, names);
    for (const std::string& name : names) info.FileListe.push_back(directory + name);
  }
  if (info.FileListe.empty()) {
    Inform(box, kNoFiles);
    sink.SetStopHintVisible(false);
    TOpenResult result;
    result.Outcome = paths.empty() ? TOpenOutcome::EmptyPath : TOpenOutcome::NoLogFiles;
    return result;
  }
  return ScanListed(catalogue, sink, box, currentYear);
}

}  // namespace pelorin
