#include "cli/cli_job.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>

#include "cli/cli_options.h"
#include "cli/cli_process.h"
#include "support/test_support.h"

namespace pelorin::cli {
namespace {

namespace fs = std::filesystem;
using test::SplitLines;
using test::TTempDir;

TDateTime Day(int y, int m, int d) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeDate(y, m, d, value));
  return value;
}

TDateTime At(int y, int m, int d, int h, int mi, int s) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, m, d, h, mi, s, value));
  return value;
}

std::string ReadBack(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, n);
  return text;
}

struct TJobRun {
  int Status = -1;
  std::string Out, Err;
};

volatile std::sig_atomic_t g_stop = 0;

TJobRun Job(const std::vector<std::string>& args, const std::string& startupDir, bool stop = false) {
  const TParseResult parsed = ParseCliOptions(args);
  EXPECT_EQ(parsed.Status, TParseStatus::Ok) << parsed.Error;
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  g_stop = stop ? 1 : 0;
  TCliIo io;
  io.Out = out;
  io.Err = err;
  io.Stop = &g_stop;
  io.StartupDir = startupDir;
  io.CurrentYear = 2024;
  TJobRun run;
  run.Status = RunCliJob(parsed.Options, io);
  run.Out = ReadBack(out);
  run.Err = ReadBack(err);
  std::fclose(out);
  std::fclose(err);
  return run;
}

void WriteText(const fs::path& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

fs::path Samples() { return test::SourceDir() / "samples"; }

void CopySamples(const fs::path& to) {
  fs::create_directories(to);
  for (const auto& entry : fs::directory_iterator(Samples()))
    if (entry.path().extension() == ".LOG") fs::copy_file(entry.path(), to / entry.path().filename());
}

// The sample card without its time lines: real traffic, but nothing to place it in time.
// Without its time sentences, and without the base stations' reports (messages 4 and 11),
// which would time it otherwise.
bool IsStationReport(const std::string& line) {
  size_t at = 0;
  for (int comma = 0; comma < 5 && at != std::string::npos; ++comma) at = line.find(',', at + 1);
  return !line.empty() && line[0] == '!' && at != std::string::npos && at + 1 < line.size() && (line[at + 1] == '4' || line[at + 1] == ';');
}

void CopySamplesWithoutTimeLines(const fs::path& to) {
  fs::create_directories(to);
  const std::string text = test::ReadFileBytes(Samples() / "00000001.LOG");
  std::string kept;
  for (const std::string& line : SplitLines(text))
    if (line.rfind("$GPRMC", 0) != 0 && line.rfind("$ECZDA", 0) != 0 && !IsStationReport(line)) kept += line + "\r\n";
  ASSERT_LT(kept.size(), text.size());
  WriteText(to / "00000001.LOG", kept);
}

// ---- the window -------------------------------------------------------------------

// Three days with data, 7, 8 and 10 April 2011; 9 April has none.
TCatalogue ThreeDays() {
  TCatalogue c;
  c.DataAvailable = true;
  c.LogList = {
      {At(2011, 4, 7, 23, 0, 0), At(2011, 4, 7, 23, 59, 56), Day(2011, 4, 7), 0, 0, 7949},
      {At(2011, 4, 7, 23, 59, 59), At(2011, 4, 7, 23, 59, 59), Day(2011, 4, 7), 0, 7950, 7950},
      {At(2011, 4, 8, 0, 0, 1), At(2011, 4, 8, 0, 59, 58), Day(2011, 4, 8), 1, 0, 8100},
      {At(2011, 4, 10, 12, 0, 0), At(2011, 4, 10, 13, 30, 30), Day(2011, 4, 10), 2, 0, 500},
  };
  return c;
}

struct TWindowCase {
  const char* Name;
  const char* From;  // null: not given
  const char* To;
  TDateTime StartDay, EndDay;
  const char *StartH, *StartMin, *EndH, *EndMin;
};

TEST(CliWindow, WholeSpanThenTheGivenDaysSnappedAsTheCalendarsSnap) {
  const TWindowCase cases[] = {
      {"whole span", nullptr, nullptr, Day(2011, 4, 7), Day(2011, 4, 10), "23", "00", "13", "30"},
      {"from on a day with data", "2011-04-08 00:10", nullptr, Day(2011, 4, 8), Day(2011, 4, 10), "0", "10", "13",
       "30"},
      {"from on a day without data moves forward", "2011-04-09 08:15", nullptr, Day(2011, 4, 10), Day(2011, 4, 10),
       "8", "15", "13", "30"},
      {"from before the data", "2011-04-01 05:07", nullptr, Day(2011, 4, 7), Day(2011, 4, 10), "5", "07", "13",
       "30"},
      {"to on a day without data moves back", nullptr, "2011-04-09 10:00", Day(2011, 4, 7), Day(2011, 4, 8), "23",
       "00", "10", "00"},
      {"to after the data", nullptr, "2011-05-01 12:00", Day(2011, 4, 7), Day(2011, 4, 10), "23", "00", "12", "00"},
      {"to before the data drags the start along", nullptr, "2011-04-01 12:00", Day(2011, 4, 7), Day(2011, 4, 7),
       "23", "00", "12", "00"},
      {"both inside one day", "2011-04-08 00:10", "2011-04-08 00:20", Day(2011, 4, 8), Day(2011, 4, 8), "0", "10",
       "0", "20"},
      {"across midnight", "2011-04-07 23:40", "2011-04-08 00:20", Day(2011, 4, 7), Day(2011, 4, 8), "23", "40", "0",
       "20"},
  };
  const TCatalogue catalogue = ThreeDays();
  for (const TWindowCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TCliOptions o;
    TCliMoment m;
    if (c.From) {
      ASSERT_TRUE(ParseMoment(c.From, m));
      o.From = m;
    }
    if (c.To) {
      ASSERT_TRUE(ParseMoment(c.To, m));
      o.To = m;
    }
    TTimeWindowState w;  // as the scan leaves it: the first entry
    w.StartDay = w.EndDay = Day(2011, 4, 7);
    ChooseTimeWindow(catalogue, o, w);
    EXPECT_EQ(w.StartDay, c.StartDay);
    EXPECT_EQ(w.EndDay, c.EndDay);
    EXPECT_EQ(w.Edit_StartTime_h, c.StartH);
    EXPECT_EQ(w.Edit_StartTime_min, c.StartMin);
    EXPECT_EQ(w.Edit_EndTime_h, c.EndH);
    EXPECT_EQ(w.Edit_EndTime_min, c.EndMin);
  }
}

TEST(CliWindow, LeadingFileWithoutTimeStampsDoesNotPullTheStartToDayZero) {
  TCatalogue c = ThreeDays();
  c.LogList.insert(c.LogList.begin(), TLogDateTime{0, 0, 0, 0, 0, 99});
  TTimeWindowState w;
  ChooseTimeWindow(c, TCliOptions{}, w);
  EXPECT_EQ(w.StartDay, Day(2011, 4, 7));
  EXPECT_EQ(w.Edit_StartTime_h, "23");
  EXPECT_EQ(w.EndDay, Day(2011, 4, 10));
}

// ---- how a job ends ---------------------------------------------------------------

struct TStatusCase {
  const char* Name;
  std::function<void(const fs::path& card, const fs::path& out)> Prepare;
  std::vector<std::string> Options;  // before the card directory
  bool Stop;
  bool MissingStartupDir;
  int Status;
  const char* ErrPart;
};

// A card that fails while the job reads it: armed by a case, gone after it.
std::optional<test::TReadFault> g_fault;

TEST(CliJob, EveryWayOfEndingHasItsStatusAndMessage) {
  const auto samples = [](const fs::path& card, const fs::path&) { CopySamples(card); };
  const TStatusCase cases[] = {
      {"completed", samples, {}, false, false, kExitOk, "wrote "},
      {"empty directory", [](const fs::path& card, const fs::path&) { fs::create_directories(card); }, {}, false,
       false, kExitNoLogFiles, "No AIS (*.LOG) files found!"},
      {"only other files",
       [](const fs::path& card, const fs::path&) {
         fs::create_directories(card);
         WriteText(card / "NOTES.TXT", "$GPRMC\r\n");
       },
       {}, false, false, kExitNoLogFiles, "no *.LOG file in "},
      {"missing directory", [](const fs::path&, const fs::path&) {}, {}, false, false, kExitNoLogFiles,
       "cannot read the log directory"},
      {"a *.LOG that is a directory",
       [](const fs::path& card, const fs::path&) { fs::create_directories(card / "00000001.LOG"); }, {}, false,
       false, kExitNoLogFiles, "is a directory"},
      {"read error on the card",
       [](const fs::path& card, const fs::path&) {
         CopySamples(card);
         g_fault.emplace(card / "00000002.LOG", 0);
       },
       {}, false, false, kExitNoLogFiles, "pelorin-cli: Reading 00000002.LOG stopped at line 0: Input/output error.\n"},
      {"no time stamps", [](const fs::path& card, const fs::path&) { CopySamplesWithoutTimeLines(card); }, {},
       false, false, kExitNoTimeStamps, "no time stamp"},
      // The end snaps forward to the first day, whose data begins after 12:00.
      {"to before the data", samples, {"--to", "2011-04-01 12:00"}, false, false, kExitBadWindow,
       "End-Timestamp must be greater than Start-Timestamp!"},
      {"stopped during the scan", samples, {}, true, false, kExitInterrupted, ""},
      {"stopped, ship list", samples, {"--ship-list"}, true, false, kExitInterrupted, ""},
      {"document blocked by a directory",
       [](const fs::path& card, const fs::path& out) {
         CopySamples(card);
         fs::create_directories(out / "SD_Belumar.kml");
       },
       {}, false, false, kExitOutput, "cannot write "},
      {"no output directory", samples, {}, false, true, kExitOutput, "Google-Datei konnte nicht angelegt werden."},
      {"workbook blocked by a directory",
       [](const fs::path& card, const fs::path& out) {
         CopySamples(card);
         fs::create_directories(out / "Mappe_SD.xls");
         WriteText(out / "Mappe_SD.xls" / "keep", "x");
       },
       {"--ship-list"}, false, false, kExitOutput, "Mappe_SD.xls"},
  };
  for (const TStatusCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir root;
    const fs::path card = root.Path() / "card", out = root.Path() / "out";
    fs::create_directories(out);
    c.Prepare(card, out);
    std::vector<std::string> args = c.Options;
    args.push_back(card.string());
    const std::string startup = c.MissingStartupDir ? (root.Path() / "gone/").string() : out.string() + "/";
    const TJobRun run = Job(args, startup, c.Stop);
    g_fault.reset();
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    EXPECT_NE(run.Err.find(c.ErrPart), std::string::npos) << run.Err;
    for (const std::string& line : SplitLines(run.Err)) EXPECT_EQ(line.rfind("pelorin-cli: ", 0), 0u) << line;
    if (c.Stop) {  // the interrupt lines in place of the index
      EXPECT_NE(run.Out.find("========================================\nUSER  INTERRUPT  :  SD-Read stopped!\n"),
                std::string::npos);
      EXPECT_EQ(run.Out.find("LogList["), std::string::npos);
    }
    if (c.Status != kExitOk && c.Status != kExitOutput) {
      EXPECT_FALSE(fs::exists(out / "SD_Belumar.kml"));
      EXPECT_FALSE(fs::exists(out / "Mappe_SD.xls"));
    }
  }
}

TEST(CliJob, PathsAreFoldersOrFilesOfAnyNameInTheOrderGiven) {
  TTempDir root;
  const fs::path folder = root.Path() / "card", out = root.Path() / "out", file = root.Path() / "later.nmea";
  fs::create_directories(folder);
  fs::create_directories(out);
  fs::copy_file(Samples() / "00000002.LOG", folder / "00000002.LOG");
  fs::copy_file(Samples() / "00000001.LOG", file);
  const TJobRun run = Job({file.string(), folder.string()}, out.string() + "/", false);
  EXPECT_EQ(run.Status, kExitOk) << run.Err;
  const std::vector<std::string> lines = SplitLines(run.Out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], file.string());
  EXPECT_EQ(lines[1], (folder / "00000002.LOG").string());
  EXPECT_EQ(lines[2], "Number of Files :2");
  const TJobRun gone = Job({file.string(), (root.Path() / "gone.txt").string()}, out.string() + "/", false);
  EXPECT_EQ(gone.Status, kExitNoLogFiles);
  EXPECT_NE(gone.Err.find("cannot read " + (root.Path() / "gone.txt").string()), std::string::npos) << gone.Err;
}

TEST(CliJob, ReadOnlyWorkingDirectoryIsAnOutputError) {
  TTempDir root;
  CopySamples(root.Path() / "card");
  const fs::path out = root.Path() / "out";
  fs::create_directories(out);
  ::chmod(out.c_str(), 0555);
  if (::access(out.c_str(), W_OK) == 0) GTEST_SKIP() << "running with rights that write into read-only directories";
  for (const char* mode : {"", "--ship-list"}) {
    SCOPED_TRACE(mode);
    std::vector<std::string> args;
    if (*mode) args.push_back(mode);
    args.push_back((root.Path() / "card").string());
    const TJobRun run = Job(args, out.string() + "/");
    EXPECT_EQ(run.Status, kExitOutput) << run.Err;
    EXPECT_NE(run.Err.find("cannot write"), std::string::npos) << run.Err;
  }
}

TEST(CliJob, QuietLeavesOnlyTheShipListOnStandardOutput) {
  TTempDir root;
  CopySamples(root.Path() / "card");
  const std::string card = (root.Path() / "card").string(), out = root.Path().string() + "/";

  const TJobRun kml = Job({"--quiet", card}, out);
  EXPECT_EQ(kml.Status, kExitOk);
  EXPECT_EQ(kml.Out, "");
  EXPECT_EQ(kml.Err, "");
  EXPECT_TRUE(fs::is_regular_file(root.Path() / "SD_Belumar.kml"));

  const TJobRun loud = Job({"--ship-list", card}, out);
  const TJobRun quiet = Job({"--ship-list", "--quiet", card}, out);
  ASSERT_EQ(loud.Status, kExitOk);
  ASSERT_EQ(quiet.Status, kExitOk);
  EXPECT_EQ(quiet.Err, "");
  const auto grid = SplitLines(quiet.Out);
  ASSERT_GE(grid.size(), 3u);
  EXPECT_EQ(grid.front().rfind("Class\tMMSI\tShip-Name\t", 0), 0u);
  EXPECT_EQ(grid.back(), std::string(12, '\t'));
  for (const std::string& row : grid) EXPECT_EQ(std::count(row.begin(), row.end(), '\t'), 12) << row;
  // The loud run is the report followed by the same grid.
  ASSERT_GT(loud.Out.size(), quiet.Out.size());
  EXPECT_EQ(loud.Out.substr(loud.Out.size() - quiet.Out.size()), quiet.Out);
  EXPECT_NE(loud.Out.find("-Number Dynam. : "), std::string::npos);
  EXPECT_NE(loud.Err.find("wrote " + out + "Mappe_SD.xls"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::cli
