// pelorin-bench: Google Benchmark's main with the input directories taken first.
#include <benchmark/benchmark.h>

#include "bench_inputs.h"

int main(int argc, char** argv) {
  pelorin::bench::TakeBenchArguments(argc, argv);
  pelorin::bench::RegisterShipTableBenchmarks(pelorin::bench::BenchInputs().TablePoints);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
