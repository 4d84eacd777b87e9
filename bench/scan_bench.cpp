// The Open command's logic: list the card, read every file, bisect for the day changes.
#include "bench_inputs.h"

namespace pelorin::bench {
namespace {

void Scan(benchmark::State& state, const std::string& directory, const char* name) {
  if (!HaveInput(state, directory, name)) return;
  const TCardSize& size = CardSize(directory);
  size_t entries = 0;
  for (auto _ : state) {
    TCatalogue catalogue;
    if (!OpenCard(directory, catalogue)) {
      state.SkipWithError("the scan found nothing to analyse");
      return;
    }
    entries = catalogue.LogList.size();
    benchmark::DoNotOptimize(entries);
  }
  SetThroughput(state, size.Bytes, size.Lines);
  state.counters["entries"] = static_cast<double>(entries);
}

void BM_Scan_Card(benchmark::State& state) { Scan(state, BenchInputs().Card, "CARD"); }
void BM_Scan_Day(benchmark::State& state) { Scan(state, BenchInputs().Day, "DAY"); }

BENCHMARK(BM_Scan_Card)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Scan_Day)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelorin::bench
