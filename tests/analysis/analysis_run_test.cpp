#include "analysis/analysis_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ais_test_encoder.h"
#include "catalogue/log_scan.h"
#include "catalogue/time_window.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

struct TRecordingBox : TMessageBox {
  struct TShown {
    TMessageKind kind;
    std::string caption, text;
  };
  std::vector<TShown> Shown;
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    Shown.push_back({kind, std::string(caption), std::string(text)});
  }
};

struct TRecordingOpener : TDocumentOpener {
  std::vector<std::string> Opened;
  void Open(const std::string& path) override { Opened.push_back(path); }
};

struct TRecordingView : TShipListView {
  size_t Shown = 0, Ships = 0;
  void ShowShipList(const TShipList& ships) override {
    ++Shown;
    Ships = ships.size();
  }
};

std::vector<std::string> ReadLines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

// A scanned card and everything a run needs, recording what it is told.
struct RunFixture {
  TAnalysisState state;
  TCatalogue catalogue;
  TTimeWindowState window;
  test::TRecordingSink sink;
  TRecordingBox box;
  TRecordingOpener opener;
  TRecordingView view;
  test::TTempDir startup;
  bool reduced = true, allTracks = true;
  size_t scanLines = 0;

  void Open(const fs::path& card) {
    std::string dir = card.string();
    if (dir.back() != '/') dir += '/';
    const TOpenResult r = OpenLogDirectory(catalogue, dir, sink, box, 2024);
    ASSERT_EQ(r.Outcome, TOpenOutcome::Completed);
    ASSERT_TRUE(catalogue.DataAvailable);
    window = r.Window;
    // The whole span, as the command line takes it: the end calendar on the last day.
    window.EndDay = catalogue.LogList.back().LogDate;
    MonthCalendar_EndClick(catalogue, window);
    scanLines = sink.Lines.size();
    sink.StopQueries = 0;
  }
  TRunOutcome Run(unsigned mode = 0) {
    TRunInputs in{state, catalogue, window, mode, &reduced, &allTracks, startup.Path().string() + "/", sink,
                  box,   &opener,   &view};
    return RunAnalysis(in);
  }
  std::vector<std::string> RunLines() const {
    return std::vector<std::string>(sink.Lines.begin() + static_cast<long>(scanLines), sink.Lines.end());
  }
  // The run's lines without the account, whose counts must add up to the lines read.
  std::vector<std::string> ReportLines(bool withAccount = true) const {
    const test::TSplitReport split = test::SplitAccount(RunLines());
    const test::TAccountSum sum = test::SumAccount(split.Account);
    EXPECT_EQ(sum.LinesRead > 0, withAccount);
    EXPECT_EQ(sum.Outcomes, withAccount ? sum.LinesRead : 0);
    return split.Report;
  }
  std::string KmlPath() const { return (startup.Path() / "SD_Belumar.kml").string(); }
};

// The golden report's lines from the run's first entry on.
std::vector<std::string> GoldenRunLines(const fs::path& report) {
  const std::vector<std::string> all = ReadLines(report);
  for (size_t i = 1; i < all.size(); ++i)
    if (all[i].rfind("Log-File: ", 0) == 0) return std::vector<std::string>(all.begin() + static_cast<long>(i - 1), all.end());
  return {};
}

// The golden document with its line 4 (the document's full path) made ours.
std::string GoldenKml(const fs::path& golden, const std::string& ourPath) {
  std::string text = test::ReadFileBytes(golden);
  const std::string theirs = "/home/skipper/Pelorin/SD_Belumar.kml";
  const size_t at = text.find(theirs);
  if (at != std::string::npos) text.replace(at, theirs.size(), ourPath);
  return text;
}

TEST(AnalysisRunGolden, Case1WholeSpan) {
  PELORIN_REQUIRE_SHARED();
  const fs::path golden = test::SharedDir() / "golden/case1";
  RunFixture f;
  f.Open(golden / "card");
  ASSERT_EQ(f.Run(), TRunOutcome::Completed);
  EXPECT_EQ(f.ReportLines(), GoldenRunLines(golden / "report.txt"));
  ASSERT_EQ(f.opener.Opened.size(), 1u);
  EXPECT_EQ(f.opener.Opened[0], f.KmlPath());
  EXPECT_TRUE(f.box.Shown.empty());
  EXPECT_FALSE(fs::exists(f.KmlPath() + ".part"));
  EXPECT_TRUE(test::ReadFileBytes(f.KmlPath()) == GoldenKml(golden / "SD_Belumar.kml", f.KmlPath()));
  EXPECT_FALSE(f.sink.StopHintVisible);
}

TEST(AnalysisRunGolden, Case2WindowFullData) {
  PELORIN_REQUIRE_SHARED();
  const fs::path golden = test::SharedDir() / "golden/case2";
  RunFixture f;
  f.Open(golden / "card");
  TDateTime d7 = 0, d8 = 0;
  ASSERT_TRUE(TryEncodeDate(2011, 4, 7, d7));
  ASSERT_TRUE(TryEncodeDate(2011, 4, 8, d8));
  f.window.StartDay = d7;
  f.window.Edit_StartTime_h = "23";
  f.window.Edit_StartTime_min = "40";
  f.window.EndDay = d8;
  f.window.Edit_EndTime_h = "0";
  f.window.Edit_EndTime_min = "20";
  f.reduced = false;
  ASSERT_EQ(f.Run(), TRunOutcome::Completed);
  EXPECT_EQ(f.ReportLines(), GoldenRunLines(golden / "report-window.txt"));
  EXPECT_EQ(f.window.Edit_StartTime_h, "23");  // the user's texts survive the re-snapping
  EXPECT_EQ(f.window.Edit_EndTime_min, "20");
  EXPECT_TRUE(test::ReadFileBytes(f.KmlPath()) == GoldenKml(golden / "SD_Belumar-window.kml", f.KmlPath()));
}

TEST(AnalysisRunGolden, Case2OwnTrack) {
  PELORIN_REQUIRE_SHARED();
  const fs::path golden = test::SharedDir() / "golden/case2";
  RunFixture f;
  f.Open(golden / "card");
  f.allTracks = false;
  ASSERT_EQ(f.Run(), TRunOutcome::Completed);
  EXPECT_EQ(f.ReportLines(), GoldenRunLines(golden / "report-own-track.txt"));
  EXPECT_TRUE(test::ReadFileBytes(f.KmlPath()) == GoldenKml(golden / "SD_Belumar-own-track.kml", f.KmlPath()));
}

// A card of three files, one entry each, on one day.
struct SmallCard {
  test::TTempDir dir;
  SmallCard() {
    using namespace test;
    int minute = 0;
    for (const char* name : {"00000001.LOG", "00000002.LOG", "00000003.LOG"}) {
      std::string text;
      for (int s = 0; s < 60; s += 10) {
        char t[8];
        std::snprintf(t, sizeof t, "10%02d%02d", minute, s);
        text += Rmc(t) + "\r\n" + Vdm(Msg1(211000001 + static_cast<uint32_t>(minute), 54.0, 8.0)) + "\r\n";
      }
      dir.Write(name, text);
      ++minute;
    }
  }
};

TEST(AnalysisRun, RefusalsRunNoPass) {
  struct Case {
    const char* name;
    const char *startH, *startMin, *endH, *endMin;
    TRunOutcome outcome;
    const char* text;
  } cases[] = {
      {"start after end", "10", "3", "10", "2", TRunOutcome::BadWindow,
       "End-Timestamp must be greater than Start-Timestamp!"},
      {"hour not a number", "1O", "0", "10", "2", TRunOutcome::BadTimeText,
       "Start and end time: hour and minute must be whole numbers!"},
      {"empty minute", "10", "0", "10", "", TRunOutcome::BadTimeText,
       "Start and end time: hour and minute must be whole numbers!"},
  };
  for (const auto& c : cases) {
    SmallCard card;
    RunFixture f;
    f.Open(card.dir.Path());
    f.window.Edit_StartTime_h = c.startH;
    f.window.Edit_StartTime_min = c.startMin;
    f.window.Edit_EndTime_h = c.endH;
    f.window.Edit_EndTime_min = c.endMin;
    f.state.Num_Dynamic = 77;  // the previous run's table stays
    EXPECT_EQ(f.Run(), c.outcome) << c.name;
    EXPECT_TRUE(f.RunLines().empty()) << c.name;
    ASSERT_EQ(f.box.Shown.size(), 1u) << c.name;
    EXPECT_EQ(f.box.Shown[0].kind, TMessageKind::Information);
    EXPECT_EQ(f.box.Shown[0].caption, "Information");
    EXPECT_EQ(f.box.Shown[0].text, c.text);
    EXPECT_EQ(f.state.Num_Dynamic, 77) << c.name;
    EXPECT_FALSE(fs::exists(f.KmlPath()));
  }
}

TEST(AnalysisRun, EqualStartAndEndPass) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  f.window.Edit_StartTime_h = f.window.Edit_EndTime_h = "10";
  f.window.Edit_StartTime_min = f.window.Edit_EndTime_min = "1";
  ASSERT_EQ(f.Run(2), TRunOutcome::Completed);
  EXPECT_EQ(f.state.Num_Dynamic, 1);  // only 10:01:00 lies inside
}

TEST(AnalysisRun, StopAfterTheSecondEntry) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  ASSERT_EQ(f.catalogue.LogList.size(), 3u);
  f.sink.StopQueries = 0;
  f.sink.stopAfterQueries = 1;
  ASSERT_EQ(f.Run(), TRunOutcome::Stopped);
  const std::vector<std::string> expected = {
      "========================================", "Log-File: 00000001.LOG", "-Start-Line: 0", "-End-Line  : 11",
      "========================================", "Log-File: 00000002.LOG", "-Start-Line: 0", "-End-Line  : 11",
      "========================================", "USER  INTERRUPT  :  SD-Read stopped!",
      "========================================", "========================================",
      "Lines read : 24", "-Time sentences in the window : 12", "-Positions stored as track points : 4",
      "-Positions thinned by Reduced Data : 8", "-Lines not read : 12"};
  EXPECT_EQ(f.RunLines(), expected);
  EXPECT_TRUE(f.catalogue.StopRequested);
  EXPECT_EQ(f.sink.StopQueries, 1);
  EXPECT_FALSE(fs::exists(f.KmlPath()));
  EXPECT_TRUE(f.opener.Opened.empty());
  EXPECT_EQ(f.sink.Total.Position, 0);
  EXPECT_EQ(f.sink.Total.Max, 100);
  EXPECT_FALSE(f.sink.StopHintVisible);
  EXPECT_EQ(f.state.Num_Dynamic, 12);  // the table read so far stays in memory
}

TEST(AnalysisRun, ShipListAndAnalyseOnlyModes) {
  SmallCard card;
  for (unsigned mode : {1u, 2u, 7u}) {
    RunFixture f;
    f.Open(card.dir.Path());
    ASSERT_EQ(f.Run(mode), TRunOutcome::Completed);
    const std::vector<std::string> lines = f.ReportLines(mode == 1);
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(f.view.Shown, mode == 1 ? 1u : 0u);
    if (mode == 1) {
      EXPECT_EQ(f.view.Ships, 4u);  // own ship and three vessels
      ASSERT_EQ(lines.size(), 15u);
      EXPECT_EQ(lines[13], "-Number Static : 0");
      EXPECT_EQ(lines[14], "-Number Dynam. : 13");
      EXPECT_EQ(f.sink.Total.Position, 0);  // reset when the list closed
    } else {
      EXPECT_EQ(lines.size(), 12u);
    }
    EXPECT_EQ(f.sink.StopQueries, 2);  // after each further entry, never after the first
    EXPECT_FALSE(fs::exists(f.KmlPath()));
    EXPECT_TRUE(f.opener.Opened.empty());
  }
}

TEST(AnalysisRun, KmlCannotBeCreated) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  fs::create_directory(f.KmlPath() + ".part");  // nothing can be created there
  ASSERT_EQ(f.Run(), TRunOutcome::KmlCreateFailed);
  ASSERT_EQ(f.box.Shown.size(), 1u);
  EXPECT_EQ(f.box.Shown[0].kind, TMessageKind::Error);
  EXPECT_EQ(f.box.Shown[0].caption, "Fehler");
  EXPECT_EQ(f.box.Shown[0].text, "Google-Datei konnte nicht angelegt werden.");
  EXPECT_TRUE(f.opener.Opened.empty());
  EXPECT_FALSE(f.sink.StopHintVisible);
}

TEST(AnalysisRun, KmlInMissingDirectory) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  TRunInputs in{f.state, f.catalogue, f.window, 0, nullptr, nullptr, (f.startup.Path() / "gone").string() + "/",
                f.sink,  f.box,       &f.opener};
  ASSERT_EQ(RunAnalysis(in), TRunOutcome::KmlCreateFailed);
  EXPECT_EQ(f.box.Shown.at(0).text, "Google-Datei konnte nicht angelegt werden.");
}

TEST(AnalysisRun, FailedWriteLeavesTheEarlierDocument) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  // The document's place is taken by a non-empty directory: the finished file cannot be
  // moved into place.
  fs::create_directories(fs::path(f.KmlPath()) / "keep");
  ASSERT_EQ(f.Run(), TRunOutcome::KmlWriteFailed);
  ASSERT_EQ(f.box.Shown.size(), 1u);
  EXPECT_EQ(f.box.Shown[0].caption, "Fehler");
  EXPECT_EQ(f.box.Shown[0].text, "Google-Datei konnte nicht geschrieben werden.");
  EXPECT_TRUE(fs::is_directory(fs::path(f.KmlPath()) / "keep"));
  EXPECT_FALSE(fs::exists(f.KmlPath() + ".part"));
  EXPECT_TRUE(f.opener.Opened.empty());
  EXPECT_NE(f.RunLines().back().rfind("-Number", 0), 0u);  // no totals for a failed run
  EXPECT_TRUE(test::SplitAccount(f.RunLines()).Account.empty());
}

TEST(AnalysisRun, CompletedKmlReplacesTheEarlierOne) {
  SmallCard card;
  RunFixture f;
  f.Open(card.dir.Path());
  { std::ofstream(f.KmlPath()) << "old"; }
  ASSERT_EQ(f.Run(), TRunOutcome::Completed);
  const std::string doc = test::ReadFileBytes(f.KmlPath());
  EXPECT_EQ(doc.rfind("<?xml", 0), 0u);
  EXPECT_NE(doc.find(f.KmlPath()), std::string::npos);
  EXPECT_EQ(f.ReportLines().back(), "-Number Dynam. : 13");
  EXPECT_EQ(f.sink.Total.Position, f.sink.Total.Max);
  ASSERT_EQ(f.opener.Opened.size(), 1u);
}

TEST(AnalysisRun, NoDataDoesNothing) {
  RunFixture f;
  EXPECT_EQ(f.Run(), TRunOutcome::NoData);
  EXPECT_TRUE(f.sink.Lines.empty());
  EXPECT_TRUE(f.box.Shown.empty());
}

}  // namespace
}  // namespace pelorin
