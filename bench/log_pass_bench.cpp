// One log pass over a whole file: read it, then walk every line into a new ship table.
#include "analysis/log_pass.h"
#include "bench_inputs.h"

namespace pelorin::bench {
namespace {

struct TPassInput {
  std::string Path;
  TDateTime Start = 0, End = 0;
  int64_t Lines = 0;
  uint64_t Bytes = 0;
};

// The first file of the card with the window of the whole index.
bool PassInput(benchmark::State& state, const std::string& directory, TPassInput& in) {
  if (!HaveInput(state, directory, "DAY")) return false;
  TCatalogue catalogue;
  if (!OpenCard(directory, catalogue)) {
    state.SkipWithError("the scan found nothing to analyse");
    return false;
  }
  in.Path = catalogue.SD_Info.DirectoryName + catalogue.SD_Info.FileListe.front();
  FormTimeWindow(WholeIndex(catalogue), in.Start, in.End);
  TLineReader file;
  if (!file.Open(in.Path) || !file.Index()) {
    state.SkipWithError("the log cannot be read");
    return false;
  }
  in.Lines = file.LineCount();
  in.Bytes = file.Identity().Size;
  return true;
}

void Counters(benchmark::State& state, const TPassInput& in, const TAnalysisState& table) {
  SetThroughput(state, in.Bytes, static_cast<uint64_t>(in.Lines));
  size_t points = 0;
  for (const TStatic& ship : table.aShipList) points += ship.aPlot.size();
  state.counters["vessels"] = static_cast<double>(table.aShipList.size());
  state.counters["points"] = static_cast<double>(points);
}

// ReadLogFile_First by itself: the file is read twice from the page cache, to count its
// lines and to walk them (a run takes the count from its scan).
void BM_LogPass_Day(benchmark::State& state) {
  TPassInput in;
  if (!PassInput(state, BenchInputs().Day, in)) return;
  TNullSink sink;
  TAnalysisState table;
  for (auto _ : state) {
    ReadLogFile_First(table, in.Path, 0, in.Lines - 1, in.Start, in.End, {}, sink);
    benchmark::DoNotOptimize(table.Num_Dynamic);
    state.PauseTiming();
    Counters(state, in, table);
    ClearShipTable(table);
    state.ResumeTiming();
  }
}

// The walk alone, the file's lines counted before (as the run's later entries of one file
// find them): the decoding side of the pass.
void BM_LogPassCounted_Day(benchmark::State& state) {
  TPassInput in;
  if (!PassInput(state, BenchInputs().Day, in)) return;
  TLineFileCache cache;
  TLogPassOptions options;
  options.Cache = &cache;
  TNullSink sink;
  TAnalysisState table;
  for (auto _ : state) {
    ReadLogFile_First(table, in.Path, 0, in.Lines - 1, in.Start, in.End, options, sink);
    benchmark::DoNotOptimize(table.Num_Dynamic);
    state.PauseTiming();
    Counters(state, in, table);
    ClearShipTable(table);
    state.ResumeTiming();
  }
}

BENCHMARK(BM_LogPass_Day)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LogPassCounted_Day)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelorin::bench
