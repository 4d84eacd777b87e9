#include "bench_inputs.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>

#include "catalogue/line_reader.h"
#include "catalogue/log_scan.h"
#include "platform/progress_sink.h"

namespace pelorin::bench {

TBenchInputs& BenchInputs() {
  static TBenchInputs inputs = [] {
    TBenchInputs in;
    auto env = [](const char* name) {
      const char* value = std::getenv(name);
      return value != nullptr ? std::string(value) : std::string();
    };
    in.Day = env("PELORIN_BENCH_DAY");
    in.Card = env("PELORIN_BENCH_CARD");
    in.Hour = env("PELORIN_BENCH_HOUR");
    return in;
  }();
  return inputs;
}

void TakeBenchArguments(int& argc, char** argv) {
  TBenchInputs& in = BenchInputs();
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg.starts_with("--day=")) in.Day = std::string(arg.substr(6));
    else if (arg.starts_with("--card=")) in.Card = std::string(arg.substr(7));
    else if (arg.starts_with("--hour=")) in.Hour = std::string(arg.substr(7));
    else if (arg.starts_with("--table-points=")) in.TablePoints = std::stoll(std::string(arg.substr(15)));
    else if (arg.starts_with("--kml-copy=")) in.KmlCopy = std::string(arg.substr(11));
    else argv[kept++] = argv[i];
  }
  argc = kept;
  argv[argc] = nullptr;
}

const TCardSize& CardSize(const std::string& directory) {
  static std::map<std::string, TCardSize> known;
  auto it = known.find(directory);
  if (it != known.end()) return it->second;
  TCardSize size;
  std::vector<std::string> names;
  FindLogFiles(directory + "/", names);
  TLineReader file;  // piece by piece: the benchmarks' peak memory stays the run's
  for (const std::string& name : names) {
    if (!file.Open(directory + "/" + name) || !file.Index()) continue;
    size.Bytes += file.Identity().Size;
    size.Lines += static_cast<uint64_t>(file.LineCount());
    if (file.Identity().Size > size.LargestFile) size.LargestFile = file.Identity().Size;
  }
  return known.emplace(directory, size).first->second;
}

bool HaveInput(benchmark::State& state, const std::string& directory, const char* name) {
  if (!directory.empty()) return true;
  state.SkipWithError((std::string("no input: pass --") + name + "=DIR or set PELORIN_BENCH_" + name).c_str());
  return false;
}

void SetThroughput(benchmark::State& state, uint64_t bytes, uint64_t lines) {
  state.counters["MB"] =
      benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["lines"] =
      benchmark::Counter(static_cast<double>(lines), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["size_MB"] = static_cast<double>(bytes) / 1e6;
}

int ThisYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

bool OpenCard(const std::string& directory, TCatalogue& catalogue) {
  TNullSink sink;
  TQuietBox box;
  BeginOpenLogDirectory(catalogue, sink);
  OpenLogDirectory(catalogue, directory, sink, box, ThisYear());
  return catalogue.DataAvailable;
}

TTimeWindowState WholeIndex(const TCatalogue& catalogue) {
  TTimeWindowState window;
  if (catalogue.LogList.empty()) return window;
  window.StartDay = static_cast<TDateTime>(TDateTimeDay(catalogue.LogList.front().LogDateTime_Start));
  window.EndDay = static_cast<TDateTime>(TDateTimeDay(catalogue.LogList.back().LogDate));
  window.Edit_StartTime_h = "0";
  window.Edit_StartTime_min = "0";
  window.Edit_EndTime_h = "23";
  window.Edit_EndTime_min = "59";
  return window;
}

}  // namespace pelorin::bench
