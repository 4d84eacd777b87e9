// The KML writer over the table of a one-hour, 300-vessel window, into /dev/null.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "bench_inputs.h"
#include "output/kml_writer.h"

namespace pelorin::bench {
namespace {

// The table of a completed analysis-only run over the whole index.
bool BuildTable(benchmark::State& state, const std::string& directory, TAnalysisState& table) {
  TCatalogue catalogue;
  if (!OpenCard(directory, catalogue)) {
    state.SkipWithError("the scan found nothing to analyse");
    return false;
  }
  TTimeWindowState window = WholeIndex(catalogue);
  TQuietBox box;
  TNullSink sink;
  TRunInputs in{table, catalogue, window, 2u, nullptr, nullptr, std::string(), sink, box, nullptr, nullptr, {}};
  if (RunAnalysis(in) != TRunOutcome::Completed) {
    state.SkipWithError("the run did not complete");
    return false;
  }
  return true;
}

void WriteDocument(TKmlFile& file, const TShipList& ships) {
  TNullSink sink;
  WriteKmlHeader(file, "/tmp/SD_Belumar.kml", "");
  WriteKmlBody(file, ships, true, sink);
  WriteKmlFooter(file);
  file.Close();
}

// Bytes and lines of the document, written once to a file of its own and read back.
struct TCount {
  uint64_t Bytes = 0, Lines = 0;
};

TCount CountDocument(const TShipList& ships) {
  TCount count;
  char path[] = "/tmp/pelorin-kml-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) return count;
  ::close(fd);
  TKmlFile file;
  if (file.Create(path)) WriteDocument(file, ships);
  if (std::FILE* in = std::fopen(path, "rb")) {
    for (int c; (c = std::getc(in)) != EOF; ++count.Bytes) count.Lines += c == '\n';
    std::fclose(in);
  }
  std::remove(path);
  return count;
}

void BM_KmlWriter_Hour(benchmark::State& state) {
  if (!HaveInput(state, BenchInputs().Hour, "HOUR")) return;
  TAnalysisState table;
  if (!BuildTable(state, BenchInputs().Hour, table)) return;
  const TCount count = CountDocument(table.aShipList);
  if (!BenchInputs().KmlCopy.empty()) {
    TKmlFile copy;
    if (copy.Create(BenchInputs().KmlCopy)) WriteDocument(copy, table.aShipList);
  }
  for (auto _ : state) {
    TKmlFile file;
    if (!file.Create("/dev/null")) {
      state.SkipWithError("/dev/null cannot be opened");
      return;
    }
    WriteDocument(file, table.aShipList);
  }
  size_t points = 0;
  for (const TStatic& ship : table.aShipList) points += ship.aPlot.size();
  SetThroughput(state, count.Bytes, count.Lines);
  state.counters["vessels"] = static_cast<double>(table.aShipList.size());
  state.counters["points"] = static_cast<double>(points);
}

BENCHMARK(BM_KmlWriter_Hour)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace pelorin::bench
