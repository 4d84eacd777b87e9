// pelorin-gui-bench: what the window's event pump costs a run, and how often the window
// repaints meanwhile. The same ship-list run over one card, alternately through the main
// window (its progress sink, pump and repaints) and with no window at all (what the
// command line does with --quiet); the best of each is compared.
//
//   pelorin-gui-bench --card=DIR [--repetitions=N] [--details] [--only=window|no-window]
//
// Prints "name value" lines for bench/run.sh. Needs a display or QT_QPA_PLATFORM=offscreen.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include <malloc.h>
#include <unistd.h>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QEvent>
#include <QObject>
#include <QProgressBar>
#include <QTimer>

#include "analysis/analysis_run.h"
#include "catalogue/log_index.h"
#include "output/ship_grid.h"
#include "platform/desktop.h"
#include "platform/progress_sink.h"
#include "platform/ship_list_view.h"
#include "shell/gui_progress_sink.h"
#include "shell/main_window.h"
#include "shell/time_spin_box.h"

namespace pelorin {
namespace {

using TClock = std::chrono::steady_clock;

class TQuietBox : public TMessageBox {
 public:
  void Show(TMessageKind, std::string_view, std::string_view text) override { Last = std::string(text); }
  std::string Last;
};

// The sheet window's first step, as in pelorin-bench: the grid's texts from the table.
class TGridView : public TShipListView {
 public:
  void ShowShipList(const TShipList& ships) override { Rows = ShipGridCells(ships).size(); }
  size_t Rows = 0;
};

// Time stamps of the frames in which a progress bar was painted: a repaint the user
// sees. Paints a few milliseconds apart (both bars, one pump) are one frame.
class TPaintClock : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      const auto now = TClock::now();
      if (Stamps.empty() || now - Stamps.back() > std::chrono::milliseconds(5)) Stamps.push_back(now);
    }
    return QObject::eventFilter(watched, event);
  }
  std::vector<TClock::time_point> Stamps;
};

double Seconds(TClock::duration d) { return std::chrono::duration<double>(d).count(); }

// The longest time between two stamps, counting from `from` to `to`.
double LongestGap(const std::vector<TClock::time_point>& stamps, TClock::time_point from, TClock::time_point to) {
  double gap = 0;
  for (const auto& stamp : stamps) {
    gap = std::max(gap, Seconds(stamp - from));
    from = stamp;
  }
  return std::max(gap, Seconds(to - from));
}

// What the logic's call for one line costs a sink: a bar position and a pump request.
// The sink comes through a volatile pointer so that the call stays virtual, as in a run.
[[gnu::noinline]] double CallsPerLine(TProgressSink* given, int64_t lines) {
  TProgressSink* volatile kept = given;
  TProgressSink* sink = kept;
  const auto t0 = TClock::now();
  for (int64_t i = 0; i < lines; ++i) sink->StepBar(TBar::Load, i);
  return Seconds(TClock::now() - t0);
}

struct TArguments {
  std::string Card;
  int Repetitions = 3;
  bool Details = false;
  std::string Only;  // "window" or "no-window": one side alone, for a profiler
};

TArguments Parse(int argc, char** argv) {
  TArguments a;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--card="))
      a.Card = std::string(arg.substr(7));
    else if (arg.starts_with("--repetitions="))
      a.Repetitions = std::max(1, std::atoi(argv[i] + 14));
    else if (arg == "--details")
      a.Details = true;
    else if (arg.starts_with("--only="))
      a.Only = std::string(arg.substr(7));
  }
  return a;
}

void SelectWholeIndex(TFormMain& window) {
  const TLogList& list = window.Catalogue().LogList;
  const auto date = [](TDateTime value) {
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(TDateTimeDay(value)));
  };
  window.MonthCalendar_Start->setSelectedDate(date(list.front().LogDateTime_Start));
  window.MonthCalendar_End->setSelectedDate(date(list.back().LogDate));
  window.Edit_StartTime_h->SetText("0");
  window.Edit_StartTime_min->SetText("0");
  window.Edit_EndTime_h->SetText("23");
  window.Edit_EndTime_min->SetText("59");
}

TTimeWindowState WholeIndex(const TCatalogue& catalogue) {
  TTimeWindowState w;
  w.StartDay = static_cast<TDateTime>(TDateTimeDay(catalogue.LogList.front().LogDateTime_Start));
  w.EndDay = static_cast<TDateTime>(TDateTimeDay(catalogue.LogList.back().LogDate));
  return w;  // 0:00 to 23:59, the state's defaults
}

int Run(int argc, char** argv) {
  const TArguments args = Parse(argc, argv);
  if (args.Card.empty()) {
    std::fprintf(stderr, "usage: pelorin-gui-bench --card=DIR [--repetitions=N] [--details] [--only=window|no-window]\n");
    return 2;
  }
  // Freed memory stays with the process, so that neither run pays for fresh pages the
  // other did not: otherwise the order of the runs decides ±10 %, which hides the pump.
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  QApplication app(argc, argv);

  // A working folder of its own, so that no notice comes up and nothing of the user's is read.
  const std::filesystem::path work =
      std::filesystem::temp_directory_path() / ("pelorin-gui-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(work);
  std::ofstream(work / "Pelorin.ini") << "HINT=FALSE\r\nINTRO=FALSE\r\n";

  TQuietBox box;
  TGridView view;
  TFormMainOptions options;
  options.WorkingDir = work.string() + "/";
  options.Messages = &box;
  options.ShipListView = &view;
  TFormMain window(options);
  window.show();
  QApplication::processEvents();
  window.OpenDirectory(QString::fromStdString(args.Card));
  if (!window.Catalogue().DataAvailable) {
    std::fprintf(stderr, "pelorin-gui-bench: nothing to analyse in %s (%s)\n", args.Card.c_str(), box.Last.c_str());
    return 1;
  }
  if (args.Details) {
    window.CheckBox_ShowDetails->setChecked(true);
    window.CheckBox_ShowDetailsClick();
  }
  SelectWholeIndex(window);

  TPaintClock paints;
  window.ProgressBar_Load->installEventFilter(&paints);
  window.ProgressBar_Total->installEventFilter(&paints);
  // A zero timer fires once in every pass of event processing: each firing is a moment
  // the window handled its events (input, repaints of whatever changed).
  std::vector<TClock::time_point> pumps;
  QTimer everyPump;
  everyPump.setInterval(0);
  QObject::connect(&everyPump, &QTimer::timeout, [&pumps] { pumps.push_back(TClock::now()); });

  TAnalysisState table;
  double windowPump = 0;
  double bestWindow = 1e300, bestBare = 1e300, paintGap = 0, paintRate = 0, pumpGap = 0, pumpRate = 0;
  size_t rows = 0;
  const auto windowRun = [&] {
    paints.Stamps.clear();
    pumps.clear();
    everyPump.start();
    const auto t0 = TClock::now();
    window.BitBtn_ExcelClick();
    const auto t1 = TClock::now();
    everyPump.stop();
    const double took = Seconds(t1 - t0);
    if (took < bestWindow) {
      bestWindow = took;
      paintGap = LongestGap(paints.Stamps, t0, t1);
      paintRate = static_cast<double>(paints.Stamps.size()) / took;
      pumpGap = LongestGap(pumps, t0, t1);
      pumpRate = static_cast<double>(pumps.size()) / took;
    }
    rows = view.Rows;
    windowPump = std::max(windowPump, Seconds(window.Sink().PumpTime()));
    return took;
  };
  // The same run with no window: the catalogue and the table of our own. The table lives
  // across repetitions, as the window's does, so that both find their previous table's
  // memory to reuse.
  const auto bareRun = [&]() -> double {
    TCatalogue catalogue = window.Catalogue();
    TTimeWindowState chooser = WholeIndex(catalogue);
    TNullSink sink;
    TRunInputs in{table, catalogue, chooser, static_cast<unsigned>(TAnalysisMode::ShipList), nullptr, nullptr,
                  std::string(), sink, box, nullptr, &view, {}};
    const auto b0 = TClock::now();
    const TRunOutcome outcome = RunAnalysis(in);
    const auto b1 = TClock::now();
    if (outcome != TRunOutcome::Completed) return -1;
    bestBare = std::min(bestBare, Seconds(b1 - b0));
    return Seconds(b1 - b0);
  };
  // Alternating which goes first, so that neither always runs on a warmer machine.
  for (int i = 0; i < args.Repetitions; ++i) {
    double w = 0, b = 0;
    if (args.Only == "window") {
      w = windowRun();
      view.Rows = rows;
    } else if (args.Only == "no-window") {
      b = bareRun();
      rows = view.Rows;
    } else if (i % 2 == 0) {
      w = windowRun();
      b = bareRun();
    } else {
      b = bareRun();
      w = windowRun();
    }
    if (b < 0) {
      std::fprintf(stderr, "pelorin-gui-bench: the run did not complete: %s\n", box.Last.c_str());
      return 1;
    }
    if (view.Rows != rows) {
      std::fprintf(stderr, "pelorin-gui-bench: the window listed %zu vessels, the bare run %zu\n", rows, view.Rows);
      return 1;
    }
    std::fprintf(stderr, "repetition %d: window %.3f s, no window %.3f s\n", i + 1, w, b);
  }
  std::filesystem::remove_all(work);

  // The pump's cost, measured directly (the end-to-end difference above is within this
  // machine's spread from run to run): the time the window spent in its pumps, plus what
  // the per-line calls cost beyond a sink that does nothing.
  int64_t lines = 0;
  for (const TLogDateTime& entry : window.Catalogue().LogList) lines += entry.Line_End - entry.Line_Start + 1;
  TNullSink nothing;
  // Best of three each, taking turns.
  double callsWindow = 1e300, callsNothing = 1e300;
  for (int i = 0; i < 3; ++i) {
    callsNothing = std::min(callsNothing, CallsPerLine(&nothing, lines));
    window.Sink().BeginWork();
    callsWindow = std::min(callsWindow, CallsPerLine(&window.Sink(), lines) - Seconds(window.Sink().PumpTime()));
  }
  const double pumpCost = windowPump + std::max(0.0, callsWindow - callsNothing);

  std::printf("gui_run %.6f\n", bestWindow);
  std::printf("bare_run %.6f\n", bestBare);
  std::printf("gui_overhead_percent %.2f\n", (bestWindow / bestBare - 1) * 100);
  std::printf("gui_pump_seconds %.6f\n", windowPump);
  std::printf("gui_line_calls_seconds %.6f\n", std::max(0.0, callsWindow - callsNothing));
  std::printf("gui_pump_cost_percent %.2f\n", pumpCost / bestBare * 100);
  std::printf("gui_pumps_per_second %.1f\n", pumpRate);
  std::printf("gui_longest_pump_gap_ms %.1f\n", pumpGap * 1000);
  std::printf("gui_repaints_per_second %.1f\n", paintRate);
  std::printf("gui_longest_repaint_gap_ms %.1f\n", paintGap * 1000);
  std::printf("gui_rows %zu\n", rows);
  return 0;
}

}  // namespace
}  // namespace pelorin

int main(int argc, char** argv) { return pelorin::Run(argc, argv); }
