// The "Open" scan over a directory of arbitrary files, then an analysis run over the index
// it built. Input: a flags byte, a current-year byte, then the files' contents separated
// by lines "@@FILE@@".
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/analysis_run.h"
#include "catalogue/line_reader.h"
#include "catalogue/log_scan.h"
#include "fuzz_support.h"

using namespace pelorin;
using namespace pelorin::fuzz;
namespace fs = std::filesystem;

namespace {

enum : uint8_t {
  kScanFixChecksums = 1,
  kDirectoryNamedLog = 2,  // a directory "SUB.LOG" among the files
  kShrinkBeforeRun = 4,    // the last file loses its second half between scan and run
  kRemoveBeforeRun = 8,    // the first file disappears between scan and run
  kScanReduced = 16,
  kOddTimeTexts = 32,      // the run gets hour and minute texts from the input
};

constexpr std::string_view kSeparator = "@@FILE@@\n";
constexpr size_t kMaxFiles = 12;

// A plain array, not a path object: it must outlive the statics when the exit handler runs.
char gDirectoryName[] = "/dev/shm/pelorin-fuzz-scan-XXXXXX";

void RemoveDirectory() {
  std::error_code ignored;
  fs::remove_all(gDirectoryName, ignored);
}

const fs::path& Directory() {
  static const fs::path dir = [] {
    PELORIN_FUZZ_CHECK(::mkdtemp(gDirectoryName) != nullptr, "mkdtemp");
    std::atexit(RemoveDirectory);
    return fs::path(gDirectoryName);
  }();
  return dir;
}

void Empty(const fs::path& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
}

void WriteFile(const fs::path& path, std::string_view content) {
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  PELORIN_FUZZ_CHECK(out.good(), "write a card file");
}

// Names in an order that differs from their listing order, with mixed case.
std::string NameOf(size_t k) {
  static const char* kExt[] = {".LOG", ".log", ".Log"};
  return std::string(1, static_cast<char>('Z' - k)) + std::to_string(k) + kExt[k % 3];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const int currentYear = 1980 + data[1] % 120;
  std::string all(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (flags & kScanFixChecksums) FixChecksums(all);

  std::vector<std::string_view> contents;
  std::string_view rest = all;
  while (contents.size() + 1 < kMaxFiles) {
    const size_t at = rest.find(kSeparator);
    if (at == std::string_view::npos) break;
    contents.push_back(rest.substr(0, at));
    rest.remove_prefix(at + kSeparator.size());
  }
  contents.push_back(rest);

  const fs::path& dir = Directory();
  Empty(dir);
  for (size_t k = 0; k < contents.size(); ++k) WriteFile(dir / NameOf(k), contents[k]);
  WriteFile(dir / ".HIDDEN.LOG", "$GPRMC,000000,A,0000.0,N,00000.0,E,0,0,010111,,,A*00");
  WriteFile(dir / "NOTES.TXT", "not a log");
  if (flags & kDirectoryNamedLog) fs::create_directory(dir / "SUB.LOG");

  TCatalogue catalogue;
  TNullSink sink;
  TQuietBox box;
  const TOpenResult open = OpenLogDirectory(catalogue, dir.string(), sink, box, currentYear);

  const size_t listed = catalogue.SD_Info.FileListe.size();
  PELORIN_FUZZ_CHECK(listed == contents.size() + ((flags & kDirectoryNamedLog) ? 1 : 0), "every log listed, once");
  if (flags & kDirectoryNamedLog) {
    PELORIN_FUZZ_CHECK(open.Outcome == TOpenOutcome::Unreadable, "a directory named *.LOG ends the scan");
    PELORIN_FUZZ_CHECK(!catalogue.DataAvailable, "no data after an unreadable file");
    return 0;
  }
  PELORIN_FUZZ_CHECK(open.Outcome == TOpenOutcome::Completed, "the scan completes");

  // The index: file order, line ranges inside their files, a day for every start.
  std::vector<int64_t> lineCounts;
  for (const std::string& name : catalogue.SD_Info.FileListe) {
    TLineReader f;
    PELORIN_FUZZ_CHECK(f.Open(catalogue.SD_Info.DirectoryName + name) && f.Index(), "a listed file reads");
    lineCounts.push_back(f.LineCount());
  }
  int64_t previousFile = 0;
  for (const TLogDateTime& e : catalogue.LogList) {
    PELORIN_FUZZ_CHECK(e.File_Index >= previousFile && e.File_Index < static_cast<int64_t>(listed), "file order");
    previousFile = e.File_Index;
    const int64_t n = lineCounts[static_cast<size_t>(e.File_Index)];
    PELORIN_FUZZ_CHECK(n > 0, "an empty file gives no entry");
    PELORIN_FUZZ_CHECK(e.Line_Start >= 0 && e.Line_End <= n - 1 && e.Line_Start <= e.Line_End + 1, "line range");
    PELORIN_FUZZ_CHECK(static_cast<TDateTime>(TDateTimeDay(e.LogDateTime_Start)) == e.LogDate, "entry day");
  }
  if (!catalogue.DataAvailable) return 0;

  // The run over what the scan found, after the card changed under it if asked.
  if (flags & kShrinkBeforeRun) {
    const fs::path last = dir / catalogue.SD_Info.FileListe.back();
    fs::resize_file(last, fs::file_size(last) / 2);
  }
  if (flags & kRemoveBeforeRun) fs::remove(dir / catalogue.SD_Info.FileListe.front());

  TAnalysisState state;
  TTimeWindowState window = open.Window;
  if (flags & kOddTimeTexts) {
    const size_t k = static_cast<size_t>(data[1]) % 4;
    static const char* kTexts[] = {"-1", " 999999999", "abc", "07"};
    window.Edit_StartTime_h = kTexts[k];
    window.Edit_EndTime_min = kTexts[(k + 1) % 4];
  }
  const bool reduced = (flags & kScanReduced) != 0;
  TRunInputs in{state, catalogue, window, 2, &reduced, nullptr, "/nonexistent/", sink, box};
  const TRunOutcome outcome = RunAnalysis(in);
  const bool changed = (flags & (kShrinkBeforeRun | kRemoveBeforeRun)) != 0;
  PELORIN_FUZZ_CHECK(outcome == TRunOutcome::Completed || outcome == TRunOutcome::BadWindow ||
                         outcome == TRunOutcome::BadTimeText || (changed && outcome == TRunOutcome::CardChanged),
                     "an analyse-only run ends normally, or names the changed card");
  if (outcome == TRunOutcome::CardChanged) {
    PELORIN_FUZZ_CHECK(state.aShipList.empty(), "a changed card stops the run before its passes");
    return 0;
  }
  if (outcome == TRunOutcome::Completed) {
    TDateTime start = 0, end = 0;
    PELORIN_FUZZ_CHECK(FormTimeWindow(window, start, end), "the run's window forms again");
    CheckShipTable(state, start, end, reduced);
  }
  return 0;
}
