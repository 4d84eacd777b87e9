// The bisection scan's index, the file listing, and the Open command without a window.
#include "catalogue/log_scan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/log_report.h"
#include "catalogue/time_stamp.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::WithChecksum;

constexpr int kYear = 2025;
const char kAis[] = "!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*71";

std::string Rmc(int y, int mo, int d, int h, int mi, int s) {
  char body[128];
  std::snprintf(body, sizeof body, "$GPRMC,%02d%02d%02d.00,A,5402.1234,N,00852.4321,E,0.0,0.0,%02d%02d%02d,,,A", h, mi,
                s, d, mo, y % 100);
  return WithChecksum(body);
}

std::string EcZda(int y, int mo, int d, int h, int mi, int s) {
  char body[96];
  std::snprintf(body, sizeof body, "$ECZDA,%02d%02d%02d.00,%02d,%02d,%04d,00,00", h, mi, s, d, mo, y);
  return WithChecksum(body);
}

TDateTime At(int y, int mo, int d, int h, int mi, int s) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, t));
  return t;
}
TDateTime Day(int y, int mo, int d) { return At(y, mo, d, 0, 0, 0); }

std::string Join(const std::vector<std::string>& lines, const char* end = "\r\n") {
  std::string s;
  for (const auto& l : lines) s += l + end;
  return s;
}

struct TExpected {
  TDateTime Start, End, Date;
  int64_t File, First, Last;
};

void ExpectIndex(const TLogList& got, const std::vector<TExpected>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i));
    EXPECT_EQ(FormatLogDateTime(got[i].LogDateTime_Start), FormatLogDateTime(want[i].Start));
    EXPECT_EQ(FormatLogDateTime(got[i].LogDateTime_End), FormatLogDateTime(want[i].End));
    EXPECT_EQ(got[i].LogDate, want[i].Date);
    EXPECT_EQ(got[i].File_Index, want[i].File);
    EXPECT_EQ(got[i].Line_Start, want[i].First);
    EXPECT_EQ(got[i].Line_End, want[i].Last);
  }
}

// A catalogue of the given files, in this order, in a scratch directory.
struct TCard {
  test::TTempDir Dir;
  TCatalogue Catalogue;
  test::TRecordingSink Sink;
  void Add(const std::string& name, const std::string& content) {
    Dir.Write(name, content);
    Catalogue.SD_Info.DirectoryName = Dir.Path().string() + "/";
    Catalogue.SD_Info.FileListe.push_back(name);
  }
  TScanOutcome Scan() { return ScanLogFiles(Catalogue, Sink, kYear); }
};

class TRecordingBox : public TMessageBox {
 public:
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    Kinds.push_back(kind);
    Captions.emplace_back(caption);
    Texts.emplace_back(text);
  }
  std::vector<TMessageKind> Kinds;
  std::vector<std::string> Captions, Texts;
};

// --- time stamps --------------------------------------------------------------------

TEST(TimeStamp, CenturyWindow) {
  EXPECT_EQ(CenturyYear(11, 2025), 2011);
  EXPECT_EQ(CenturyYear(75, 2025), 1975);
  EXPECT_EQ(CenturyYear(74, 2025), 2074);
  EXPECT_EQ(CenturyYear(99, 2049), 1999);
  EXPECT_EQ(CenturyYear(98, 2049), 2098);
  EXPECT_EQ(CenturyYear(0, 2000), 2000);
  EXPECT_EQ(CenturyYear(49, 2000), 2049);
  EXPECT_EQ(CenturyYear(50, 2000), 1950);
}

TEST(TimeStamp, ReadAndRefuse) {
  TDateTime t = 0;
  ASSERT_TRUE(ReadTimeStamp("07.04.11", "09:30:15", kYear, t));
  EXPECT_EQ(FormatLogDateTime(t), "7.4.2011 9:30:15");
  ASSERT_TRUE(ReadTimeStamp("7.4.11", "9:30:15", kYear, t));
  EXPECT_EQ(FormatLogDateTime(t), "7.4.2011 9:30:15");
  const std::pair<const char*, const char*> bad[] = {
      {"07.13.11", "09:30:15"}, {"29.02.11", "09:30:15"}, {"00.04.11", "09:30:15"},
      {"07.04.11", "25:00:00"}, {"07.04.11", "09:60:00"}, {"07.04.11", "09:30:61"},
      {"07.04.", "09:30:15"},   {"07.04.11", "09:30:"},   {"0a.04.11", "09:30:15"},
      {"07.04.11", ""},         {"", "09:30:15"},         {"07.04.11.1", "09:30:15"},
  };
  for (const auto& [date, time] : bad) {
    t = 42;
    EXPECT_FALSE(ReadTimeStamp(date, time, kYear, t)) << date << " " << time;
  }
}

TEST(LogReport, DateFormat) {
  EXPECT_EQ(FormatLogDateTime(At(2011, 4, 7, 9, 5, 7)), "7.4.2011 9:05:07");
  EXPECT_EQ(FormatLogDateTime(At(2011, 12, 31, 23, 59, 59)), "31.12.2011 23:59:59");
  EXPECT_EQ(FormatLogDateTime(0), "30.12.1899 0:00:00");
}

// --- the bisection, worked by hand ----------------------------------------------------

TEST(ScanLogFiles, OneDayEndingOnNonTimeLineGivesOneEntry) {
  // f=0 opens the day (next 2), f=2 and f=4 same day (next 4, 5), f=5 no time: end.
  TCard card;
  card.Add("A.LOG", Join({Rmc(2011, 4, 7, 10, 0, 0), kAis, Rmc(2011, 4, 7, 10, 0, 2), kAis,
                          Rmc(2011, 4, 7, 10, 0, 4), kAis}));
  const TScanOutcome r = card.Scan();
  EXPECT_EQ(r.Result, TScanResult::Completed);
  EXPECT_TRUE(r.TimeStampRead);
  ExpectIndex(card.Catalogue.LogList, {{At(2011, 4, 7, 10, 0, 0), At(2011, 4, 7, 10, 0, 4), Day(2011, 4, 7), 0, 0, 5}});
  EXPECT_EQ(card.Sink.Lines, std::vector<std::string>{"Number of Lines in File[0]: 6"});
  EXPECT_EQ(card.Sink.Total.Position, 1);
}

TEST(ScanLogFiles, LastLineTimeLineIsSplitOff) {
  // f=0 no time; f=1 opens (next 3); f=3 same day (next 5); f=5 = high: split.
  TCard card;
  card.Add("A.LOG", Join({kAis, Rmc(2011, 4, 7, 10, 0, 1), kAis, Rmc(2011, 4, 7, 10, 0, 3), kAis,
                          Rmc(2011, 4, 7, 10, 0, 5)}));
  card.Scan();
  ExpectIndex(card.Catalogue.LogList, {{At(2011, 4, 7, 10, 0, 1), At(2011, 4, 7, 10, 0, 3), Day(2011, 4, 7), 0, 0, 4},
                                       {At(2011, 4, 7, 10, 0, 5), At(2011, 4, 7, 10, 0, 5), Day(2011, 4, 7), 0, 5, 5}});
}

TEST(ScanLogFiles, MidnightSplitsAtTheProbeThatMetTheNewDay) {
  // f=0 opens 7.4 (next 4); f=4 is 8.4: high=4, next 3; f=3 no time; f=4 = high: split,
  // the first entry keeps its opening time as end; then f=6, f=8 same day; f=9 ends.
  TCard card;
  card.Add("A.LOG", Join({Rmc(2011, 4, 7, 23, 59, 50), kAis, Rmc(2011, 4, 7, 23, 59, 55), kAis,
                          Rmc(2011, 4, 8, 0, 0, 1), kAis, EcZda(2011, 4, 8, 0, 0, 5), kAis,
                          Rmc(2011, 4, 8, 0, 0, 9), kAis}));
  card.Scan();
  ExpectIndex(card.Catalogue.LogList,
              {{At(2011, 4, 7, 23, 59, 50), At(2011, 4, 7, 23, 59, 50), Day(2011, 4, 7), 0, 0, 3},
               {At(2011, 4, 8, 0, 0, 1), At(2011, 4, 8, 0, 0, 9), Day(2011, 4, 8), 0, 4, 9}});
}

TEST(ScanLogFiles, FileWithoutStampsAndContinuation) {
  TCard card;
  // File 0: f=0 opens (next 0), again same day (next 1), f=1 ends.
  card.Add("00000001.LOG", Join({Rmc(2011, 4, 7, 12, 0, 0), kAis}));
  // File 1: no time stamps: the previous stamp as start and end, all lines.
  card.Add("00000002.LOG", Join({kAis, kAis, kAis}));
  // File 2: f=1 same day (next 3), f=3 = high: split.
  card.Add("00000003.LOG", Join({kAis, Rmc(2011, 4, 7, 12, 30, 0), kAis, Rmc(2011, 4, 7, 12, 30, 2)}));
  card.Scan();
  const TDateTime noon = At(2011, 4, 7, 12, 0, 0), d = Day(2011, 4, 7);
  ExpectIndex(card.Catalogue.LogList, {{noon, noon, d, 0, 0, 1},
                                       {noon, noon, d, 1, 0, 2},
                                       {noon, At(2011, 4, 7, 12, 30, 0), d, 2, 0, 2},
                                       {At(2011, 4, 7, 12, 30, 2), At(2011, 4, 7, 12, 30, 2), d, 2, 3, 3}});
}

TEST(ScanLogFiles, EmptyFileGivesNoEntryAndNoProgress) {
  TCard card;
  card.Add("A.LOG", Join({Rmc(2011, 4, 7, 12, 0, 0), kAis}));
  card.Add("B.LOG", "");
  card.Scan();
  EXPECT_EQ(card.Catalogue.LogList.size(), 1u);
  EXPECT_EQ(card.Sink.Lines,
            (std::vector<std::string>{"Number of Lines in File[0]: 2", "Number of Lines in File[1]: 0"}));
  EXPECT_EQ(card.Sink.Total.Position, 1);
  EXPECT_EQ(card.Sink.Load.Max, 0);
}

TEST(ScanLogFiles, NoUsableTimeLines) {
  TCard card;
  card.Add("A.LOG", Join({"$GPZDA,093016.00,07,04,2011,00,00*6A",
                          "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,070411,,*32",     // 12 fields
                          "$GPRMC,093015.00,V,5402.1234,N,00852.4321,E,0.0,0.0,070411,,,A*48",   // status V
                          "$GPRMC,093015.00,A,5402.1234,N,00852.4321,E,0.0,0.0,071311,,,A*5F",   // month 13
                          "$ECZDA,253016.00,07,04,2011,00,00*7B", ""}));                         // hour 25
  const TScanOutcome r = card.Scan();
  EXPECT_FALSE(r.TimeStampRead);
  ExpectIndex(card.Catalogue.LogList, {{0, 0, 0, 0, 0, 5}});
}

TEST(ScanLogFiles, LoneCrAndLfLineEndsCountAsLines) {
  TCard card;
  card.Add("A.LOG", Rmc(2011, 4, 7, 10, 0, 0) + "\r" + kAis + "\n" + Rmc(2011, 4, 7, 10, 0, 2));
  card.Scan();
  // f=0 opens (next 1); f=1 no time; f=2 = high: split.
  ExpectIndex(card.Catalogue.LogList, {{At(2011, 4, 7, 10, 0, 0), At(2011, 4, 7, 10, 0, 0), Day(2011, 4, 7), 0, 0, 1},
                                       {At(2011, 4, 7, 10, 0, 2), At(2011, 4, 7, 10, 0, 2), Day(2011, 4, 7), 0, 2, 2}});
}

// A file whose last line is a time line always ends in an entry of that line alone, also
// when it is the file's only line: f=0 opens with next = (0+0)/2 = 0, is examined again as
// f >= high and closes an entry of no lines (0..-1) before its own (0..0). The index is
// the bisection's, line for line; a "tidier" one would move the run's line ranges.
TEST(ScanLogFiles, LastLineTimeLineSplitsOffWhateverTheLineEnds) {
  const std::string t0 = Rmc(2011, 4, 7, 10, 0, 0), t2 = Rmc(2011, 4, 7, 10, 0, 2);
  const TDateTime at0 = At(2011, 4, 7, 10, 0, 0), at2 = At(2011, 4, 7, 10, 0, 2), d = Day(2011, 4, 7);
  const struct {
    const char* Name;
    std::string Content;
    std::vector<TExpected> Index;
  } cases[] = {
      {"one line, no line end", t0, {{at0, at0, d, 0, 0, -1}, {at0, at0, d, 0, 0, 0}}},
      {"one line, CR LF", t0 + "\r\n", {{at0, at0, d, 0, 0, -1}, {at0, at0, d, 0, 0, 0}}},
      {"one line, CR", t0 + "\r", {{at0, at0, d, 0, 0, -1}, {at0, at0, d, 0, 0, 0}}},
      {"three lines, CR only", t0 + "\r" + kAis + "\r" + t2 + "\r", {{at0, at0, d, 0, 0, 1}, {at2, at2, d, 0, 2, 2}}},
      {"one line without a time", std::string(kAis), {{0, 0, 0, 0, 0, 0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCard card;
    card.Add("A.LOG", c.Content);
    ASSERT_EQ(card.Scan().Result, TScanResult::Completed);
    ExpectIndex(card.Catalogue.LogList, c.Index);
  }
}

TEST(ScanLogFiles, StopEndsAtTheLineWhereTheSearchStood) {
  TCard card;
  card.Add("A.LOG", Join({Rmc(2011, 4, 7, 10, 0, 0), kAis, Rmc(2011, 4, 7, 10, 0, 2), kAis, kAis}));
  card.Add("B.LOG", Join({kAis}));
  card.Sink.stopAfterQueries = 1;
  const TScanOutcome r = card.Scan();
  EXPECT_EQ(r.Result, TScanResult::Stopped);
  EXPECT_TRUE(card.Catalogue.StopRequested);
  // f=0 opens, next = (0+4)/2 = 2: the entry ends at line 1.
  ExpectIndex(card.Catalogue.LogList, {{At(2011, 4, 7, 10, 0, 0), At(2011, 4, 7, 10, 0, 0), Day(2011, 4, 7), 0, 0, 1}});
  EXPECT_EQ(card.Sink.Lines.size(), 1u);  // B.LOG never read
}

TEST(ScanLogFiles, PumpsAndQueriesAfterEveryExaminedLine) {
  TCard card;
  card.Add("A.LOG", Join({kAis, kAis, kAis}));
  card.Scan();
  EXPECT_EQ(card.Sink.StopQueries, 3);
  EXPECT_EQ(card.Sink.Pumps, 4);  // the line-count line, then three lines
}

TEST(ScanLogFiles, UnreadableFileEndsTheScan) {
  TCard card;
  card.Add("A.LOG", Join({kAis}));
  card.Catalogue.SD_Info.FileListe.push_back("missing.LOG");
  const TScanOutcome r = card.Scan();
  EXPECT_EQ(r.Result, TScanResult::Unreadable);
  EXPECT_NE(r.Error.find("missing.LOG"), std::string::npos);
}

// Bisection must finish on any order of days; a small exhaustive sweep over day patterns.
TEST(ScanLogFiles, TerminatesOnDaysInAnyOrder) {
  for (int pattern = 0; pattern < 729; ++pattern) {
    std::vector<std::string> lines;
    int p = pattern;
    for (int i = 0; i < 6; ++i, p /= 3) {
      const int kind = p % 3;
      lines.push_back(kind == 0 ? std::string(kAis) : Rmc(2011, 4, kind == 1 ? 7 : 9, 10, 0, i));
    }
    TCard card;
    card.Add("A.LOG", Join(lines));
    card.Add("B.LOG", Join({lines.rbegin(), lines.rend()}));
    ASSERT_EQ(card.Scan().Result, TScanResult::Completed);
    ASSERT_LT(card.Sink.StopQueries, 200);
  }
}

// --- FindLogFiles ---------------------------------------------------------------------

TEST(FindLogFiles, MatchingOrderAndHiddenNames) {
  test::TTempDir dir;
  for (const char* name : {"b.log", "A.LOG", "a.log", "c.Log", ".hidden.LOG", "._00000001.LOG", "readme.txt",
                           "x.LOGX", "LOG", "y.LOG.bak", "00000010.LOG", "00000002.LOG"})
    dir.Write(name, "x\n");
  std::filesystem::create_directory(dir.Path() / "D.LOG");
  std::filesystem::create_symlink(dir.Path() / "A.LOG", dir.Path() / "E.LOG");
  std::filesystem::create_symlink(dir.Path() / "nowhere", dir.Path() / "F.LOG");
  std::vector<std::string> list = {"kept"};
  ASSERT_TRUE(FindLogFiles(dir.Path().string() + "/", list));
  EXPECT_EQ(list, (std::vector<std::string>{"kept", "00000002.LOG", "00000010.LOG", "A.LOG", "a.log", "b.log",
                                            "c.Log", "D.LOG", "E.LOG", "F.LOG"}));
}

TEST(FindLogFiles, NothingFound) {
  test::TTempDir dir;
  dir.Write("a.txt", "x");
  std::vector<std::string> list;
  EXPECT_FALSE(FindLogFiles(dir.Path().string(), list));
  EXPECT_FALSE(FindLogFiles((dir.Path() / "absent").string(), list));
  EXPECT_FALSE(FindLogFiles((dir.Path() / "a.txt").string(), list));
  EXPECT_TRUE(list.empty());
}

// --- the Open command -----------------------------------------------------------------

struct TOpen {
  test::TTempDir Dir;
  TCatalogue Catalogue;
  test::TRecordingSink Sink;
  TRecordingBox Box;
  TOpenResult Run(const std::string& path) {
    BeginOpenLogDirectory(Catalogue, Sink);
    return OpenLogDirectory(Catalogue, path, Sink, Box, kYear);
  }
};

TEST(OpenLogDirectory, CompletedScanWritesTheListingAndTheCalendars) {
  TOpen o;
  o.Dir.Write("00000001.LOG", Join({Rmc(2011, 4, 7, 9, 5, 7), kAis, Rmc(2011, 4, 7, 9, 30, 0), kAis}));
  const TOpenResult r = o.Run(o.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Completed);
  EXPECT_TRUE(o.Box.Texts.empty());
  EXPECT_EQ(o.Catalogue.SD_Info.DirectoryName, o.Dir.Path().string() + "/");
  EXPECT_TRUE(o.Catalogue.DataAvailable);
  EXPECT_TRUE(o.Catalogue.CalendarsReady);
  EXPECT_FALSE(o.Sink.StopHintVisible);
  // f=0 opens (next 1), f=1 none, f=2 same day (next 3), f=3 ends.
  const std::vector<std::string> want = {"00000001.LOG",
                                         "Number of Files :1",
                                         "Number of Lines in File[0]: 4",
                                         "========================================",
                                         "LogList[0]:",
                                         "Date-Start: 7.4.2011 9:05:07",
                                         "Date-End: 7.4.2011 9:30:00",
                                         "File-Index: 0",
                                         "Start-Line: 0",
                                         "End-Line: 3"};
  EXPECT_EQ(o.Sink.Lines, want);
  EXPECT_EQ(o.Sink.Load.Position, 4);
  EXPECT_EQ(o.Sink.Total.Position, 1);
  ASSERT_TRUE(r.SetCalendars);
  EXPECT_EQ(r.Window.StartDay, Day(2011, 4, 7));
  EXPECT_EQ(r.Window.EndDay, Day(2011, 4, 7));
  EXPECT_EQ(r.Window.Edit_StartTime_h, "9");
  EXPECT_EQ(r.Window.Edit_StartTime_min, "05");
  EXPECT_EQ(r.Window.Edit_EndTime_h, "9");
  EXPECT_EQ(r.Window.Edit_EndTime_min, "30");
}

TEST(OpenLogDirectory, TrailingSeparatorGivesTheSameDirectoryName) {
  TOpen a, b;
  a.Dir.Write("x.LOG", "");
  a.Run(a.Dir.Path().string());
  b.Run(a.Dir.Path().string() + "/");
  EXPECT_EQ(a.Catalogue.SD_Info.DirectoryName, b.Catalogue.SD_Info.DirectoryName);
}

TEST(OpenLogDirectory, EmptyPathAndNoFiles) {
  TOpen o;
  o.Catalogue.LogList.resize(2);
  o.Catalogue.DataAvailable = true;
  EXPECT_EQ(o.Run("").Outcome, TOpenOutcome::EmptyPath);
  EXPECT_TRUE(o.Catalogue.DataAvailable);  // flags and index keep their values
  EXPECT_EQ(o.Catalogue.LogList.size(), 2u);
  EXPECT_TRUE(o.Catalogue.SD_Info.DirectoryName.empty());

  const TOpenResult r = o.Run(o.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::NoLogFiles);
  EXPECT_FALSE(o.Catalogue.DataAvailable);
  EXPECT_FALSE(o.Catalogue.CalendarsReady);
  EXPECT_FALSE(r.SetCalendars);
  EXPECT_EQ(o.Box.Texts, (std::vector<std::string>{"No AIS (*.LOG) files found!", "No AIS (*.LOG) files found!"}));
  EXPECT_EQ(o.Box.Captions[1], "Information");
  EXPECT_EQ(o.Box.Kinds[1], TMessageKind::Information);
  EXPECT_FALSE(o.Sink.StopHintVisible);
}

TEST(OpenLogDirectory, DirectoryNamedLikeALogFileEndsTheScan) {
  TOpen o;
  o.Dir.Write("A.LOG", Join({Rmc(2011, 4, 7, 9, 5, 7)}));
  std::filesystem::create_directory(o.Dir.Path() / "B.LOG");
  const TOpenResult r = o.Run(o.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Unreadable);
  EXPECT_NE(r.Error.find("B.LOG"), std::string::npos);
  EXPECT_EQ(o.Box.Texts, std::vector<std::string>{"No AIS (*.LOG) files found!"});
  EXPECT_FALSE(o.Catalogue.DataAvailable);
  EXPECT_FALSE(o.Catalogue.CalendarsReady);
  EXPECT_FALSE(r.SetCalendars);
  for (const auto& line : o.Sink.Lines) EXPECT_EQ(line.find("LogList["), std::string::npos);
}

TEST(OpenLogDirectory, StoppedScan) {
  TOpen o;
  o.Dir.Write("A.LOG", Join({Rmc(2011, 4, 7, 9, 5, 7), kAis, kAis, kAis}));
  o.Sink.stopAfterQueries = 1;
  const TOpenResult r = o.Run(o.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Stopped);
  EXPECT_FALSE(o.Catalogue.DataAvailable);
  EXPECT_TRUE(o.Catalogue.CalendarsReady);
  const std::vector<std::string> tail(o.Sink.Lines.end() - 3, o.Sink.Lines.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"========================================",
                                            "USER  INTERRUPT  :  SD-Read stopped!",
                                            "========================================"}));
  for (const auto& line : o.Sink.Lines) EXPECT_EQ(line.find("LogList["), std::string::npos);
  EXPECT_EQ(o.Sink.Load.Position, 0);
  EXPECT_EQ(o.Sink.Total.Max, 100);
  ASSERT_TRUE(r.SetCalendars);  // the calendars still move to the first entry
  EXPECT_EQ(r.Window.StartDay, Day(2011, 4, 7));
}

TEST(OpenLogDirectory, NoTimeStampOrOnlyEmptyFilesLeaveDataUnavailable) {
  TOpen o;
  o.Dir.Write("A.LOG", "");
  o.Dir.Write("B.LOG", "");
  TOpenResult r = o.Run(o.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Completed);
  EXPECT_FALSE(o.Catalogue.DataAvailable);
  EXPECT_FALSE(r.SetCalendars);
  EXPECT_TRUE(o.Catalogue.LogList.empty());

  TOpen p;
  p.Dir.Write("A.LOG", Join({"$GPZDA,093016.00,07,04,2011,00,00*6A", kAis}));
  r = p.Run(p.Dir.Path().string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Completed);
  EXPECT_FALSE(p.Catalogue.DataAvailable);
  EXPECT_FALSE(r.SetCalendars);  // day 0 is no day to show
  EXPECT_EQ(p.Sink.Lines[4], "LogList[0]:");
  EXPECT_EQ(p.Sink.Lines[5], "Date-Start: 30.12.1899 0:00:00");
  EXPECT_EQ(p.Sink.Load.Position, 0);
}

TEST(OpenLogDirectory, RealRecordingWithoutUsableRmc) {
  PELORIN_REQUIRE_SHARED();
  TOpen o;
  std::filesystem::copy_file(test::SharedDir() / "data/real/gpsd-saab-r4.log", o.Dir.Path() / "SAAB.LOG");
  EXPECT_EQ(o.Run(o.Dir.Path().string()).Outcome, TOpenOutcome::Completed);
  EXPECT_FALSE(o.Catalogue.DataAvailable);  // 12-field RMC and GPZDA only

  TOpen p;
  std::filesystem::copy_file(test::SharedDir() / "data/real/signalk-gofree-merrimac.log", p.Dir.Path() / "M.LOG");
  EXPECT_EQ(p.Run(p.Dir.Path().string()).Outcome, TOpenOutcome::Completed);
  EXPECT_TRUE(p.Catalogue.DataAvailable);
  ASSERT_FALSE(p.Catalogue.LogList.empty());
  EXPECT_EQ(p.Catalogue.LogList[0].LogDate, Day(2014, 4, 16));
}

// --- golden reports -------------------------------------------------------------------

std::vector<std::string> ReadLines(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

void ExpectGoldenScan(const char* card, const char* report) {
  const auto dir = test::SharedDir() / "golden" / card;
  const auto want = ReadLines(test::SharedDir() / "golden" / report);
  ASSERT_FALSE(want.empty());
  TOpen o;
  const TOpenResult r = o.Run(dir.string());
  EXPECT_EQ(r.Outcome, TOpenOutcome::Completed);
  EXPECT_TRUE(o.Catalogue.DataAvailable);
  ASSERT_LT(o.Sink.Lines.size(), want.size());
  const std::vector<std::string> head(want.begin(), want.begin() + static_cast<long>(o.Sink.Lines.size()));
  EXPECT_EQ(o.Sink.Lines, head);
  // The scan's part ends where the run's begins.
  EXPECT_NE(want[o.Sink.Lines.size() + 1].rfind("LogList[", 0), 0u);
}

TEST(GoldenScan, Case1) {
  PELORIN_REQUIRE_SHARED();
  ExpectGoldenScan("case1/card", "case1/report.txt");
}

TEST(GoldenScan, Case2) {
  PELORIN_REQUIRE_SHARED();
  ExpectGoldenScan("case2/card", "case2/report-window.txt");
}

}  // namespace
}  // namespace pelorin
