#pragma once
// The generated inputs the benchmarks read, and the small stand-ins a run needs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "analysis/analysis_run.h"
#include "catalogue/log_index.h"
#include "catalogue/time_window.h"

namespace pelorin::bench {

// Card directories, from --day=, --card=, --hour= or PELORIN_BENCH_DAY, _CARD, _HOUR:
// Day: one 24-hour log of about 1 GB; Card: 30 daily files; Hour: one hour, 300 vessels.
// --table-points=N: the largest synthetic ship table (N points, N / 100 vessels).
// --kml-copy=FILE: also write the KML writer's document there once, for comparisons.
struct TBenchInputs {
  std::string Day, Card, Hour;
  int64_t TablePoints = 10000000;
  std::string KmlCopy;
};
TBenchInputs& BenchInputs();
// Takes our arguments out of argv; the rest goes to the library.
void TakeBenchArguments(int& argc, char** argv);
// The ship-table benchmark at N / 4, N / 2 and N points.
void RegisterShipTableBenchmarks(int64_t maxPoints);

// Bytes and lines of every *.LOG file of a directory (lines as the log reader counts them).
struct TCardSize {
  uint64_t Bytes = 0;
  uint64_t Lines = 0;
  uint64_t LargestFile = 0;
};
const TCardSize& CardSize(const std::string& directory);

// Skips the benchmark with a message when the directory was not given.
bool HaveInput(benchmark::State& state, const std::string& directory, const char* name);

// Rates "MB" (10^6 bytes per second) and "lines" (per second) for `bytes` and `lines`
// handled per iteration, and the input size "size_MB".
void SetThroughput(benchmark::State& state, uint64_t bytes, uint64_t lines);

class TQuietBox : public TMessageBox {
 public:
  void Show(TMessageKind, std::string_view, std::string_view text) override { Last = std::string(text); }
  std::string Last;
};

int ThisYear();

// The Open command over `directory` with no window; false when it found nothing to analyse.
bool OpenCard(const std::string& directory, TCatalogue& catalogue);
// The chooser set to the whole index: first day 0:00 to last day 23:59.
TTimeWindowState WholeIndex(const TCatalogue& catalogue);

}  // namespace pelorin::bench
