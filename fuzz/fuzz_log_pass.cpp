// The log pass over an arbitrary file, an arbitrary line range and an arbitrary window,
// optionally followed by a second pass that adds to the table. Input: THeader, then the
// file's bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/log_pass.h"
#include "catalogue/line_reader.h"
#include "fuzz_support.h"

using namespace pelorin;
using namespace pelorin::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TMemFile file;
  std::string_view body;
  const THeader h = ReadHeader(data, size, body);
  std::string content(body);
  if (h.Flags & kFixChecksums) FixChecksums(content);
  file.Write(content);

  TLineReader lines;
  PELORIN_FUZZ_CHECK(lines.Open(file.Path()) && lines.Index(), "a memory file reads");
  const int64_t n = lines.LineCount();

  TDateTime start = 0, end = 0;
  WindowOf(h, start, end);
  const bool reduced = (h.Flags & kReducedData) != 0;
  TLogPassOptions options;
  options.ReducedData = &reduced;
  TNullSink sink;
  TAnalysisState state;

  const int64_t from = (h.Flags & kWholeFile) ? 0 : LineOf(h.From, n);
  const int64_t to = (h.Flags & kWholeFile) ? n - 1 : LineOf(h.To, n);
  const bool ok = ReadLogFile_First(state, file.Path(), from, to, start, end, options, sink);
  PELORIN_FUZZ_CHECK(ok == (to < n && (to < from || from >= 0)), "the pass refuses exactly the bad ranges");
  if (!ok) PELORIN_FUZZ_CHECK(state.aShipList.empty(), "a refused first pass leaves an empty table");
  CheckShipTable(state, start, end, reduced);

  if (h.Flags & kSecondPass) {
    // The same file again from the first range's end, as a second index entry of one day.
    TLineFileCache cache;
    options.Cache = &cache;
    const size_t before = state.aShipList.size();
    ReadLogFile_Next(state, file.Path(), to < 0 ? 0 : to, n - 1, start, end, options, sink);
    PELORIN_FUZZ_CHECK(state.aShipList.size() >= before, "a further pass never removes entries");
    CheckShipTable(state, start, end, reduced);
  }

  return 0;
}
