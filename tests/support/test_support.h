#pragma once
// Helpers shared by the tests: the shared recordings (which a user's clone lacks),
// scratch directories, and a sink that records what the logic reported.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/log_pass.h"
#include "codec/point_texts.h"
#include "codec/ais_messages.h"
#include "codec/vessel_rules.h"
#include "output/kml_writer.h"
#include "platform/progress_sink.h"

namespace pelorin::test {

// The ../shared folder beside the checkout, or empty when it is absent.
std::filesystem::path SharedDir();
// Use at the top of a test that needs ../shared.
#define PELORIN_REQUIRE_SHARED()                                   \
  do {                                                             \
    if (::pelorin::test::SharedDir().empty()) GTEST_SKIP() << "../shared is absent"; \
  } while (0)

std::filesystem::path SourceDir();

// A fresh empty directory, removed when the object dies.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  // Writes `content` byte for byte to Path()/name and returns the full path.
  std::filesystem::path Write(const std::string& name, std::string_view content) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);

// The lines of a text, without their ends ("\n" or "\r\n").
inline std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = end + 1;
  }
  return lines;
}
// In place (the file keeps its inode), replacing or appending.
void WriteFileBytes(const std::filesystem::path& path, std::string_view content);
void AppendFileBytes(const std::filesystem::path& path, std::string_view content);

// While alive, every read of the file at `path` (as it is now) that reaches byte `from`
// fails with EIO, as on a card that is failing or pulled out. One at a time.
class TReadFault {
 public:
  TReadFault(const std::filesystem::path& path, uint64_t from);
  ~TReadFault();
  TReadFault(const TReadFault&) = delete;
  TReadFault& operator=(const TReadFault&) = delete;
};

// `body` ("$..." or "!...") with "*hh", its checksum, appended.
std::string WithChecksum(const std::string& body);

// The decoders and conversions that fill a record, into new records the tests get by value.
template <typename TOut, typename TFill, typename TIn>
TOut Filled(TFill fill, const TIn& in) {
  TOut out;
  fill(in, out);
  return out;
}
inline TMsg5 Decode5(std::string_view p) { return Filled<TMsg5>(AIS_DecodeMsg5, p); }
inline TMsg24A Decode24A(std::string_view p) { return Filled<TMsg24A>(AIS_DecodeMsg24A, p); }
inline TMsg24B Decode24B(std::string_view p) { return Filled<TMsg24B>(AIS_DecodeMsg24B, p); }
inline TStatic ToStatic(const TMsg5& m) { return Filled<TStatic>(Msg5ToStatic, m); }
inline TStatic ToStatic(const TMsg24A& m) { return Filled<TStatic>(Msg24AToStatic, m); }
inline TStatic ToStatic(const TMsg24B& m) { return Filled<TStatic>(Msg24BToStatic, m); }
inline TDynamic ToDynamic(const TMsg1& m) { return Filled<TDynamic>(Msg1ToDynamic, m); }
inline TDynamic ToDynamic(const TMsg18& m) { return Filled<TDynamic>(Msg18ToDynamic, m); }
// A point's texts as the documents show them, as strings.
struct TPointStrings {
  std::string MMSI, NavStatus, Speed, Lon, Lat, COG, TH, TimeStampStr;
};
inline TPointStrings StringsOf(const TTrack& track, const TDynamic& point) {
  TPointTexts t;
  PointTexts(track, point, t);
  return {std::string(t.MMSI), std::string(t.NavStatus), std::string(t.Speed), std::string(t.Lon),
          std::string(t.Lat),  std::string(t.COG),       std::string(t.TH),    std::string(t.TimeStampStr)};
}
inline TPointStrings StringsOf(const TDynamic& point) { return StringsOf(TTrack{}, point); }
inline TPointStrings PointAt(const TStatic& ship, size_t k) { return StringsOf(ship.aPlot, ship.aPlot[k]); }
// The point whose texts these are, as the pass would have stored it: an own-ship fix for
// MMSI "111111111" (its texts kept as given), else a report, message 18 when it has no
// status, whose numbers give back texts of the decoders' forms ("15.1" knots reads "15").
// A text no report can give ("", garbage) becomes not available.
void AppendPoint(TTrack& track, const TPointStrings& texts);
TTrack TrackOf(const std::vector<TPointStrings>& points);
inline TStatic Static5(std::string_view p) { return ToStatic(Decode5(p)); }
inline TStatic Static24A(std::string_view p) { return ToStatic(Decode24A(p)); }
inline TStatic Static24B(std::string_view p) { return ToStatic(Decode24B(p)); }

// KmlEscape into a new text.
std::string KmlEscaped(std::string_view value);

// A log pass (ReadLogFile) over all lines of `text`, written to a file of its own first.
bool PassText(TAnalysisState& state, std::string_view text, TDateTime Start, TDateTime End, bool Continue,
              const TLogPassOptions& options, TProgressSink& sink);

// A run's report apart from the account of the lines read, which opens with the
// separator and "Lines read : " and whose outcome lines start with "-".
struct TSplitReport {
  std::vector<std::string> Report;   // the lines before the account and those after it
  std::vector<std::string> Account;  // from "Lines read : " on, without the separator
};
TSplitReport SplitAccount(const std::vector<std::string>& lines);
// "Lines read" of an account, and the sum of its outcome counts (which should equal it).
struct TAccountSum {
  int64_t LinesRead = -1, Outcomes = 0;
  int64_t NotRead = 0;  // "-Lines not read": beside LinesRead, not one of its outcomes
};
TAccountSum SumAccount(const std::vector<std::string>& account);

// Built with AddressSanitizer: the scale tests ask for less, as every access costs more.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

// Records every call; StopKeyPressed answers true from the `stopAfterQueries`-th query on
// (0 = never).
class TRecordingSink : public TProgressSink {
 public:
  struct TBarState { int64_t Min = 0, Max = 100, Position = 0; };
  void SetBarMin(TBar bar, int64_t v) override { State(bar).Min = v; }
  void SetBarMax(TBar bar, int64_t v) override { State(bar).Max = v; }
  void SetBarPosition(TBar bar, int64_t v) override { State(bar).Position = v; }
  void ClearDetails() override { Lines.clear(); }
  void AppendDetail(std::string_view line) override { Lines.emplace_back(line); }
  void ProcessMessages() override { ++Pumps; }
  bool StopKeyPressed() override {
    ++StopQueries;
    return stopAfterQueries != 0 && StopQueries >= stopAfterQueries;
  }
  void SetStopHintVisible(bool v) override { StopHintVisible = v; }

  TBarState& State(TBar bar) { return bar == TBar::Load ? Load : Total; }

  std::vector<std::string> Lines;
  TBarState Load, Total;
  int64_t Pumps = 0;
  int64_t StopQueries = 0;
  int64_t stopAfterQueries = 0;
  bool StopHintVisible = false;
};

}  // namespace pelorin::test
