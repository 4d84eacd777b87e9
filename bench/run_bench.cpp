// A whole ship-list run as the "Excel" command makes it: scan, passes, grid.
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

// `threads`: of each pass, 0 for all cores.
void ShipListRun(benchmark::State& state, const std::string& directory, const char* name, unsigned threads = 0) {
  if (!HaveInput(state, directory, name)) return;
  const TCardSize& size = CardSize(directory);
  size_t rows = 0, points = 0;
  for (auto _ : state) {
    TCatalogue catalogue;
    TAnalysisState table;
    TGridView view;
    TQuietBox box;
    TNullSink sink;
    if (!OpenCard(directory, catalogue)) {
      state.SkipWithError("the scan found nothing to analyse");
      return;
    }
    TTimeWindowState window = WholeIndex(catalogue);
    TRunInputs in{table, catalogue, window, static_cast<unsigned>(TAnalysisMode::ShipList), nullptr, nullptr,
                  std::string(), sink, box, nullptr, &view, {}, threads};
    if (RunAnalysis(in) != TRunOutcome::Completed) {
      state.SkipWithError(("the run did not complete: " + box.Last).c_str());
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

void BM_ShipListRun_Day(benchmark::State& state) { ShipListRun(state, BenchInputs().Day, "DAY"); }
void BM_ShipListRun_Card(benchmark::State& state) { ShipListRun(state, BenchInputs().Card, "CARD"); }
// The same with a given number of threads: the parallel pass against one thread.
void BM_ShipListRun_Day_Threads(benchmark::State& state) {
  ShipListRun(state, BenchInputs().Day, "DAY", static_cast<unsigned>(state.range(0)));
}

BENCHMARK(BM_ShipListRun_Day)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListRun_Card)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ShipListRun_Day_Threads)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelorin::bench
