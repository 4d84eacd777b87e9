// The ship table at scale: 100,000 vessels and 10 million points must build in linear
// time (hash look-up by MMSI, amortised growth of the tracks).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/log_pass.h"
#include "bench_inputs.h"

namespace pelorin::bench {
namespace {

// A message 1 payload: 168 bits, six per character.
std::string Msg1Payload(uint32_t mmsi, int32_t lon, int32_t lat) {
  uint8_t bits[168] = {};
  unsigned at = 0;
  auto put = [&](uint64_t value, unsigned width) {
    for (unsigned i = width; i-- > 0;) bits[at++] = static_cast<uint8_t>((value >> i) & 1u);
  };
  put(1, 6), put(0, 2), put(mmsi, 30), put(0, 4), put(0, 8), put(123, 10), put(1, 1);
  put(static_cast<uint32_t>(lon) & 0xFFFFFFFu, 28), put(static_cast<uint32_t>(lat) & 0x7FFFFFFu, 27);
  put(1234, 12), put(123, 9), put(30, 6), put(0, 25);
  std::string out;
  for (unsigned i = 0; i < 168; i += 6) {
    unsigned v = 0;
    for (unsigned k = 0; k < 6; ++k) v = v * 2 + bits[i + k];
    out += static_cast<char>(v < 40 ? v + 48 : v + 56);
  }
  return out;
}

std::string WithChecksum(char lead, const std::string& body) {
  unsigned x = 0;
  for (unsigned char c : body) x ^= c;
  char tail[4];
  std::snprintf(tail, sizeof tail, "*%02X", x & 0xFFu);
  return std::string(1, lead) + body + tail;
}

// One time line, then `points` position reports from `vessels` vessels in turn.
std::string WriteSyntheticLog(int64_t vessels, int64_t points) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("pelorin-bench-table-" + std::to_string(points) + ".LOG");
  std::ofstream out(path, std::ios::binary);
  out << WithChecksum('$', "GPRMC,100000.00,A,5404.2000,N,00758.8000,E,2.5,90.4,070411,,,A") << "\r\n";
  for (int64_t k = 0; k < points; ++k) {
    const int64_t v = k % vessels;
    const int32_t lon = static_cast<int32_t>(4800000 + v * 7 + k / vessels);
    const int32_t lat = static_cast<int32_t>(32400000 + v * 3);
    out << WithChecksum('!', "AIVDM,1,1,,A," + Msg1Payload(static_cast<uint32_t>(211000000 + v), lon, lat) + ",0")
        << "\r\n";
  }
  return path.string();
}

void BM_ShipTable(benchmark::State& state) {
  const int64_t points = state.range(0);
  const int64_t vessels = points / 100;
  const std::string path = WriteSyntheticLog(vessels, points);
  TLineFileCache cache;
  if (!cache.Reader.Open(path) || !cache.Reader.Index()) {
    std::filesystem::remove(path);
    state.SkipWithError("the synthetic log could not be read back");
    return;
  }
  cache.Path = path;
  cache.Loaded = true;
  const uint64_t bytes = cache.Reader.Identity().Size;
  const int64_t lines = cache.Reader.LineCount();
  TDateTime start = 0, end = 0;
  TryEncodeDateTime(2011, 4, 7, 0, 0, 0, start);
  TryEncodeDateTime(2011, 4, 7, 23, 59, 0, end);
  const bool reducedData = false;  // every report becomes a point
  TLogPassOptions options;
  options.ReducedData = &reducedData;
  options.Cache = &cache;
  TNullSink sink;
  TAnalysisState table;
  size_t stored = 0;
  for (auto _ : state) {
    ReadLogFile_First(table, path, 0, lines - 1, start, end, options, sink);
    state.PauseTiming();
    stored = 0;
    for (const TStatic& ship : table.aShipList) stored += ship.aPlot.size();
    ClearShipTable(table);
    state.ResumeTiming();
  }
  state.SetComplexityN(points);
  SetThroughput(state, bytes, static_cast<uint64_t>(lines));
  cache.Reader.Close();
  std::filesystem::remove(path);
  state.counters["vessels"] = static_cast<double>(vessels);
  state.counters["points"] = static_cast<double>(stored);
}

}  // namespace

void RegisterShipTableBenchmarks(int64_t maxPoints) {
  if (maxPoints < 400) return;
  benchmark::RegisterBenchmark("BM_ShipTable", BM_ShipTable)
      ->Arg(maxPoints / 4)
      ->Arg(maxPoints / 2)
      ->Arg(maxPoints)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Repetitions(1)  // long and linear: once is enough
      ->Complexity(benchmark::oN);
}
}  // namespace pelorin::bench
