// A whole ship-list run as the command line makes it: the scan (the "Open" command's),
// passes, grid; and the "Excel" command alone, on a card opened before.
#include <chrono>

#include "bench_inputs.h"
#include "output/ship_grid.h"

namespace pelorin::bench {
namespace {

// The sheet window's first step: the grid's texts from the table.
class TGridView : public TShipListView {
 public:
  void ShowShipList(const TShipList& ships) override {
    Grid = ShipGridCells(ships);
    Points = 0;
    for (const TStatic& ship : ships) Points += ship.aPlot.size();
  }
  TShipGrid Grid;
  size_t Points = 0;
};

// One run, as timed: scan, passes, grid. `threads`: of each pass, 0 for all cores. Empty,
// or what went wrong.
std::string RunOnce(const std::string& directory, unsigned threads, TAnalysisState& table, TGridView& view) {
  TCatalogue catalogue;
  TQuietBox box;
  TNullSink sink;
  if (!OpenCard(directory, catalogue)) return "the scan found nothing to analyse";
  TTimeWindowState window = WholeIndex(catalogue);
  TRunInputs in{table, catalogue, window, static_cast<unsigned>(TAnalysisMode::ShipList), nullptr, nullptr,
                std::string(), sink, box, nullptr, &view, {}, threads};
  if (RunAnalysis(in) != TRunOutcome::Completed) return "the run did not complete: " + box.Last;
  return {};
}

void ShipListRun(benchmark::State& state, const std::string& directory, const char* name, unsigned threads = 0) {
  if (!HaveInput(state, directory, name)) return;
  const TCardSize& size = CardSize(directory);
  size_t rows = 0, points = 0;
  for (auto _ : state) {
    TAnalysisState table;
    TGridView view;
    if (const std::string error = RunOnce(directory, threads, table, view); !error.empty()) {
      state.SkipWithError(error.c_str());
      return;
    }
    rows = view.Grid.size();
    points = view.Points;
    state.PauseTiming();  // the table's release is not part of the run
    table = TAnalysisState{};
    view.Grid.clear();
    state.ResumeTiming();
  }
  SetThroughput(state, size.Bytes, size.Lines);
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["points"] = static_cast<double>(points);
}

// 1 and 2 threads back to back, which goes first taking turns: the machine's speed drifts
// from minute to minute, far less between two runs a second apart. The counter "ratio" is
// the 1-thread run's time over the 2-thread run's; the time is that of the pair.
void BM_ShipListRun_Day_ThreadPair(benchmark::State& state) {
  const std::string& directory = BenchInputs().Day;
  if (!HaveInput(state, directory, "DAY")) return;
  double ratio = 0;
  static bool oneFirst = true;  // a repetition is one call with one iteration
  for (auto _ : state) {
    double seconds[3] = {};
    for (const unsigned threads : {oneFirst ? 1u : 2u, oneFirst ? 2u : 1u}) {
      TAnalysisState table;
      TGridView view;
      const auto start = std::chrono::steady_clock::now();
      if (const std::string error = RunOnce(directory, threads, table, view); !error.empty()) {
        state.SkipWithError(error.c_str());
        return;
      }
      seconds[threads] = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      state.PauseTiming();
      table = TAnalysisState{};
      state.ResumeTiming();
    }
    ratio = seconds[1] / seconds[2];
    oneFirst = !oneFirst;
  }
  state.counters["ratio"] = ratio;
}

// The "Excel" command on a card opened once before, as in the window: passes and grid.
void BM_ShipListCommand_Day_Threads(benchmark::State& state) {
  const std::string& directory = BenchInputs().Day;
  if (!HaveInput(state, directory, "DAY")) return;
  TCatalogue catalogue;
  if (!OpenCard(directory, catalogue)) {
    state.SkipWithError("the scan found nothing to analyse");
    return;
  }
  const TCardSize& size = CardSize(directory);
  TQuietBox box;
  TNullSink sink;
  for (auto _ : state) {
    TAnalysisState table;
    TGridView view;
    TTimeWindowState window = WholeIndex(catalogue);
    TRunInputs in{table, catalogue, window, static_cast<unsigned>(TAnalysisMode::ShipList), nullptr, nullptr,
                  std::string(), sink, box, nullptr, &view, {}, static_cast<unsigned>(state.range(0))};
    if (RunAnalysis(in) != TRunOutcome::Completed) {
      state.SkipWithError(("the run did not complete: " + box.Last).c_str());
      return;
    }
    state.PauseTiming();
    table = TAnalysisState{};
    state.ResumeTiming();
  }
  SetThroughput(state, size.Bytes, size.Lines);
}

void BM_ShipListRun_Day(benchmark::State& state) { ShipListRun(state, BenchInputs().Day, "DAY"); }
void BM_ShipListRun_Card(benchmark::State& state) { ShipListRun(state, BenchInputs().Card, "CARD"); }
// The same with a given number of threads: the parallel pass against one thread.
void BM_ShipListRun_Day_Threads(benchmark::State& state) {
  ShipListRun(state, BenchInputs().Day, "DAY", static_cast<unsigned>(state.range(0)));
}

BENCHMARK(BM_ShipListRun_Day)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListRun_Card)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListRun_Day_Threads)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListCommand_Day_Threads)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListRun_Day_ThreadPair)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace pelorin::bench
