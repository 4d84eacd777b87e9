#include "analysis/analysis_run.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <exception>
#include <filesystem>
#include <system_error>

#include "analysis/piece_feed.h"
#include "catalogue/file_check.h"
#include "codec/number_text.h"
#include "output/kml_writer.h"

namespace pelorin {

namespace {

constexpr std::string_view kBadWindowText = "End-Timestamp must be greater than Start-Timestamp!";
constexpr std::string_view kBadTimeText = "Start and end time: hour and minute must be whole numbers!";
constexpr std::string_view kKmlCreateText = "Google-Datei konnte nicht angelegt werden.";
constexpr std::string_view kKmlWriteText = "Google-Datei konnte nicht geschrieben werden.";
constexpr std::string_view kErrorCaption = "Fehler";
constexpr std::string_view kInformationCaption = "Information";
constexpr std::string_view kInterruptText = "USER  INTERRUPT  :  SD-Read stopped!";

// The stop hint goes away on every way out, also when an error leaves the run.
struct TStopHintGuard {
  TProgressSink& sink;
  ~TStopHintGuard() { sink.SetStopHintVisible(false); }
};

void EntryReport(TProgressSink& sink, const TSD_Info& info, const TLogDateTime& entry) {
  const bool known = entry.File_Index >= 0 && static_cast<size_t>(entry.File_Index) < info.FileListe.size();
  sink.AppendDetail(RunSeparator);
  sink.AppendDetail("Log-File: " + (known ? info.FileListe[static_cast<size_t>(entry.File_Index)] : std::string()));
  sink.AppendDetail("-Start-Line: " + IntToText(entry.Line_Start));
  sink.AppendDetail("-End-Line  : " + IntToText(entry.Line_End));
}

std::string EntryPath(const TSD_Info& info, const TLogDateTime& entry) {
  if (entry.File_Index < 0 || static_cast<size_t>(entry.File_Index) >= info.FileListe.size()) return {};
  return info.DirectoryName + info.FileListe[static_cast<size_t>(entry.File_Index)];
}

// The lines of entries [first, last], which the account must add up to.
int64_t EntryLines(const TLogList& list, int64_t first, int64_t last) {
  int64_t lines = 0;
  for (int64_t i = first; i <= last; ++i) {
    const TLogDateTime& e = list[static_cast<size_t>(i)];
    if (e.Line_End >= e.Line_Start) lines += e.Line_End - e.Line_Start + 1;
  }
  return lines;
}

// What became of every line of the run's entries.
void AccountLines(TProgressSink& sink, TAnalysisState& state, int64_t entryLines) {
  state.Account.LinesNotRead = std::max<int64_t>(0, entryLines - state.Account.LinesRead);
  sink.AppendDetail(RunSeparator);
  for (const std::string& line : LineAccountReport(state.Account)) sink.AppendDetail(line);
}

void TotalLines(TProgressSink& sink, TAnalysisState& state, int64_t entryLines) {
  sink.AppendDetail(RunSeparator);
  sink.AppendDetail("-Number Static : " + IntToText(state.Num_Static));
  sink.AppendDetail("-Number Dynam. : " + IntToText(state.Num_Dynamic));
  AccountLines(sink, state, entryLines);
}

// A run that read less than its entries ends without output, saying why in the box and
// in the details pane, and what became of the lines.
TRunOutcome EndUnread(TRunInputs& in, TRunOutcome outcome, const std::string& text, int64_t entryLines) {
  in.Sink.AppendDetail(RunSeparator);
  in.Sink.AppendDetail(text);
  AccountLines(in.Sink, in.State, entryLines);
  in.Sink.ResetProgressBar_Load();
  in.Sink.ResetProgressBar_Total();
  in.Sink.SetStopHintVisible(false);
  in.Messages.Show(TMessageKind::Information, kInformationCaption, text);
  return outcome;
}

// Before the passes and after them: a file that no longer holds what the scan read
// would give a result that looks whole and is not.
std::optional<TRunOutcome> CheckCard(TRunInputs& in, int64_t first, int64_t last, int64_t entryLines) {
  const TCardCheck card = CheckCardFiles(in.Catalogue, first, last);
  if (!card.Changed.empty())
    return EndUnread(in, TRunOutcome::CardChanged, CardChangedText(card.Changed), entryLines);
  if (!card.ReadStop.empty()) return EndUnread(in, TRunOutcome::ReadFailed, card.ReadStop, entryLines);
  return std::nullopt;
}

void BarsFull(TProgressSink& sink, int64_t totalMax) {
  sink.SetBarMin(TBar::Load, 0);
  sink.SetBarMax(TBar::Load, 100);
  sink.SetBarPosition(TBar::Load, 100);
  sink.SetBarMax(TBar::Total, totalMax);
  sink.SetBarPosition(TBar::Total, totalMax);
}

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

// Written beside the document and renamed over it when complete, so that a failed write
// never replaces a good document with a truncated one.
TRunOutcome WriteKml(TRunInputs& in, int64_t totalMax, int64_t entryLines) {
  const std::string path = KmlPath(in.StartupDir);
  const std::string partPath = path + ".part";
  TKmlFile file;
  bool headWritten = false;
  try {
    if (file.Create(partPath)) {
      WriteKmlHeader(file, path, "");
      // The head must have reached the file, not just the buffer.
      headWritten = std::fflush(file.Stream()) == 0 && std::ferror(file.Stream()) == 0;
    }
  } catch (const std::exception&) {
    headWritten = false;
  }
  if (!headWritten) {
    try {
      file.Close();
    } catch (const std::exception&) {
    }
    RemoveQuietly(partPath);
    in.Sink.SetStopHintVisible(false);
    in.Messages.Show(TMessageKind::Error, kErrorCaption, kKmlCreateText);
    return TRunOutcome::KmlCreateFailed;
  }
  try {
    WriteKmlBody(file, in.State.aShipList, in.AllTracks == nullptr || *in.AllTracks, in.Sink,
                 in.Vessels != nullptr ? *in.Vessels : TVesselFilter{});
    WriteKmlFooter(file);
    file.Close();
    std::filesystem::rename(partPath, path);
  } catch (const std::exception&) {
    try {
      file.Close();
    } catch (const std::exception&) {
    }
    RemoveQuietly(partPath);
    in.Sink.ResetProgressBar_Load();
    in.Sink.ResetProgressBar_Total();
    in.Sink.SetStopHintVisible(false);
    in.Messages.Show(TMessageKind::Error, kErrorCaption, kKmlWriteText);
    return TRunOutcome::KmlWriteFailed;
  }
  TotalLines(in.Sink, in.State, entryLines);
  BarsFull(in.Sink, totalMax);
  in.Sink.SetStopHintVisible(false);
  in.Sink.ProcessMessages();
  if (in.Opener != nullptr) in.Opener->Open(path);
  return TRunOutcome::Completed;
}

}  // namespace

std::string KmlPath(const std::string& StartupDir) { return StartupDir + std::string(KmlFileName); }

TRunOutcome RunAnalysis(TRunInputs& in) {
  TCatalogue& cat = in.Catalogue;
  const TLogList& logList = cat.LogList;
  if (!cat.DataAvailable || logList.empty()) return TRunOutcome::NoData;

  ResnapTimeWindow(cat, in.Window, in.Pump);

  TDateTime Start = 0, End = 0;
  if (!FormTimeWindow(in.Window, Start, End)) {
    in.Messages.Show(TMessageKind::Information, kInformationCaption, kBadTimeText);
    return TRunOutcome::BadTimeText;
  }

  const int64_t n = static_cast<int64_t>(logList.size());
  const int64_t startDay = TDateTimeDay(in.Window.StartDay);
  const int64_t endDay = TDateTimeDay(in.Window.EndDay);
  int64_t First = 0, Last = 0;
  for (int64_t i = 0; i < n; ++i)
    if (TDateTimeDay(logList[static_cast<size_t>(i)].LogDate) >= startDay) {
      First = i;
      break;
    }
  for (int64_t i = n - 1; i >= 0; --i)
    if (TDateTimeDay(logList[static_cast<size_t>(i)].LogDate) <= endDay) {
      Last = i;
      break;
    }

  if (TDateTimeToSeconds(Start) > TDateTimeToSeconds(End)) {
    in.Messages.Show(TMessageKind::Information, kInformationCaption, kBadWindowText);
    return TRunOutcome::BadWindow;
  }

  TProgressSink& sink = in.Sink;
  TStopHintGuard hint{sink};
  sink.ResetProgressBar_Total();
  sink.SetBarMax(TBar::Total, Last + 1);
  sink.SetBarPosition(TBar::Total, First);
  sink.SetBarMin(TBar::Total, First);
  sink.SetStopHintVisible(true);
  cat.StopRequested = false;
  const int64_t entryLines = EntryLines(logList, First, Last);
  // The account starts from nothing, also when the card check stops the run before any pass.
  in.State.Account = {};
  if (const auto refused = CheckCard(in, First, Last, entryLines)) return *refused;

  TLineFileCache cache;  // consecutive entries of one file open and count it once
  TLogPassOptions options;
  options.ReducedData = in.ReducedData;
  options.Threads = in.Threads;
  options.Cache = &cache;
  options.KnownIndex = &cat.FileIndex;  // the scan counted the files already
  options.CurrentYear = cat.ScanYear;
  TReadStop stop;
  options.Stop = &stop;
  const auto readStopped = [&](const TLogDateTime& e) {
    const bool known = e.File_Index >= 0 && static_cast<size_t>(e.File_Index) < cat.SD_Info.FileListe.size();
    const std::string name = known ? cat.SD_Info.FileListe[static_cast<size_t>(e.File_Index)] : std::string();
    return EndUnread(in, TRunOutcome::ReadFailed, ReadStoppedText(name, stop.Line, stop.Reason), entryLines);
  };
  TPieceFeed feed(PassPieceBytes(options), options.Threads);
  options.Feed = &feed;

  const auto sourceOf = [&](const TLogDateTime& e) {
    const bool known = e.File_Index >= 0 && static_cast<size_t>(e.File_Index) < cat.FileTimeSource.size();
    return known ? cat.FileTimeSource[static_cast<size_t>(e.File_Index)] : TTimeSource::GpsSentences;
  };
  const TLogDateTime& first = logList[static_cast<size_t>(First)];
  options.Source = sourceOf(first);
  ReadLogFile_First(in.State, EntryPath(cat.SD_Info, first), first.Line_Start, first.Line_End, Start, End, options,
                    sink);
  EntryReport(sink, cat.SD_Info, first);
  if (stop.Stopped) return readStopped(first);
  int64_t position = First;

  for (int64_t i = First + 1; i <= Last; ++i) {
    position = i;
    sink.SetBarPosition(TBar::Total, i);
    sink.ProcessMessages();
    const TLogDateTime& e = logList[static_cast<size_t>(i)];
    options.Source = sourceOf(e);
    ReadLogFile_Next(in.State, EntryPath(cat.SD_Info, e), e.Line_Start, e.Line_End, Start, End, options, sink);
    EntryReport(sink, cat.SD_Info, e);
    if (stop.Stopped) return readStopped(e);
    if (sink.StopKeyPressed()) {
      cat.StopRequested = true;
      sink.AppendDetail(RunSeparator);
      sink.AppendDetail(kInterruptText);
      sink.AppendDetail(RunSeparator);
      AccountLines(sink, in.State, entryLines);
      sink.ResetProgressBar_Load();
      sink.ResetProgressBar_Total();
      sink.SetStopHintVisible(false);
      return TRunOutcome::Stopped;
    }
  }
  cache = TLineFileCache{};  // the file is not needed for the output
  if (const auto refused = CheckCard(in, First, Last, entryLines)) return *refused;

  if (in.AnalysisMode == static_cast<unsigned>(TAnalysisMode::Kml)) {
    sink.SetBarPosition(TBar::Total, position + 1);
    return WriteKml(in, Last + 1, entryLines);
  }
  const bool shipList = in.AnalysisMode == static_cast<unsigned>(TAnalysisMode::ShipList);
  if (shipList || in.ForExport) {
    TotalLines(sink, in.State, entryLines);
    BarsFull(sink, Last + 1);
    sink.SetStopHintVisible(false);
    sink.ProcessMessages();
    if (shipList && in.ShipListView != nullptr) in.ShipListView->ShowShipList(in.State.aShipList);
    sink.ResetProgressBar_Load();
    sink.ResetProgressBar_Total();
  }
  sink.SetStopHintVisible(false);
  return TRunOutcome::Completed;
}

}  // namespace pelorin
