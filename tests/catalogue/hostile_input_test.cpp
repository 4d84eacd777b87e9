// What a corrupt SD card does to the scan: odd contents, odd directory entries, very many
// files and a file beyond 4 GiB. Each case has one defined outcome.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalogue/line_reader.h"
#include "catalogue/log_report.h"
#include "catalogue/log_scan.h"
#include "catalogue/time_stamp.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::kSanitized;
using test::WithChecksum;

namespace fs = std::filesystem;
constexpr int kYear = 2025;
constexpr std::string_view kNoFiles = "No AIS (*.LOG) files found!";

std::string Rmc(int d, int h, int mi, int s) {
  char body[128];
  std::snprintf(body, sizeof body, "$GPRMC,%02d%02d%02d.00,A,5402.1234,N,00852.4321,E,0.0,0.0,%02d0411,,,A", h, mi, s,
                d);
  return WithChecksum(body);
}

const std::string kAis = "!AIVDM,1,1,,A,13aG?P0P00PD;88MD5MTDww@2<0L,0*71";

struct TBox : TMessageBox {
  std::vector<std::string> Texts;
  void Show(TMessageKind, std::string_view, std::string_view text) override { Texts.emplace_back(text); }
};

struct TOpen {
  test::TTempDir Dir;
  TCatalogue Catalogue;
  test::TRecordingSink Sink;
  TBox Box;
  TOpenResult Result;
  TOpenOutcome Run() {
    Result = OpenLogDirectory(Catalogue, Dir.Path().string(), Sink, Box, kYear);
    return Result.Outcome;
  }
  // The "Number of Lines in File[c]: n" value of file c.
  int64_t LinesOf(size_t c) const {
    const std::string head = "Number of Lines in File[" + std::to_string(c) + "]: ";
    for (const std::string& l : Sink.Lines)
      if (l.rfind(head, 0) == 0) return std::stoll(l.substr(head.size()));
    return -1;
  }
};

// Contents a damaged card can hold, each in a card of its own: how many lines the scan
// counts, whether a time stamp is read, and that the scan completes.
TEST(HostileCard, OddContents) {
  std::mt19937 rng(11);
  std::string garbage(1 << 16, '\0');
  for (char& c : garbage) c = static_cast<char>(rng());
  size_t garbageLines = 0;
  {
    TLineReader f;
    test::TTempDir d;
    ASSERT_TRUE(f.Open(d.Write("g", garbage).string()) && f.Index());
    garbageLines = static_cast<size_t>(f.LineCount());
  }
  std::string nulInLine = Rmc(7, 10, 0, 0);
  nulInLine[nulInLine.size() / 2] = '\0';  // inside the position: not a line end
  const struct {
    const char* Name;
    std::string Content;
    int64_t Lines;
    bool Stamp;
  } cases[] = {
      {"empty", "", 0, false},
      {"only line ends", std::string(5000, '\n') + std::string(5000, '\r') + "\r\n\r\n", 10002, false},
      {"CR-only line ends", Rmc(7, 10, 0, 0) + "\r" + kAis + "\r" + Rmc(7, 10, 0, 1) + "\r" + kAis + "\r", 4, true},
      {"NUL inside a line", nulInLine + "\r\n" + kAis + "\r\n", 2, true},
      {"binary garbage", garbage, static_cast<int64_t>(garbageLines), false},
      {"100,000 separators", "$GPRMC" + std::string(100000, ',') + "*00\r\n", 1, false},
      {"no final line end", Rmc(7, 10, 0, 0) + "\r\n" + kAis, 2, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TOpen o;
    o.Dir.Write("A.LOG", c.Content);
    ASSERT_EQ(o.Run(), TOpenOutcome::Completed);
    EXPECT_EQ(o.LinesOf(0), c.Lines);
    EXPECT_EQ(o.Catalogue.DataAvailable, c.Stamp);
    EXPECT_EQ(o.Catalogue.LogList.size(), c.Lines == 0 ? 0u : 1u);
    if (!o.Catalogue.LogList.empty()) {
      EXPECT_EQ(o.Catalogue.LogList[0].Line_Start, 0);
      EXPECT_EQ(o.Catalogue.LogList[0].Line_End, c.Lines - 1);
    }
    EXPECT_TRUE(o.Box.Texts.empty());
  }
}

TEST(HostileCard, OneLineOfHundredMegabytes) {
  TOpen o;
  o.Dir.Write("A.LOG", Rmc(7, 10, 0, 0) + "\r\n!AIVDM,1,1,,A," + std::string(100 << 20, 'w') + ",0*00\r\n" +
                           Rmc(7, 11, 0, 0) + "\r\n" + kAis + "\r\n");
  ASSERT_EQ(o.Run(), TOpenOutcome::Completed);
  EXPECT_EQ(o.LinesOf(0), 4);
  ASSERT_EQ(o.Catalogue.LogList.size(), 1u);
  EXPECT_TRUE(o.Catalogue.DataAvailable);
}

// Entries that cannot be read as a file end the scan with the message, for root too.
TEST(HostileCard, EntriesThatAreNoReadableFile) {
  struct TCase {
    const char* Name;
    void (*Make)(const fs::path& dir);
  } cases[] = {
      {"directory named X.LOG", [](const fs::path& d) { fs::create_directory(d / "X.LOG"); }},
      {"symlink to a directory", [](const fs::path& d) {
         fs::create_directory(d / "sub");
         fs::create_directory_symlink(d / "sub", d / "X.LOG");
       }},
      {"symlink loop", [](const fs::path& d) {
         fs::create_symlink(d / "Y.LOG", d / "X.LOG");
         fs::create_symlink(d / "X.LOG", d / "Y.LOG");
       }},
      {"dangling symlink", [](const fs::path& d) { fs::create_symlink(d / "gone", d / "X.LOG"); }},
      // Opening a pipe for reading would wait for a writer for ever.
      {"named pipe", [](const fs::path& d) { ASSERT_EQ(::mkfifo((d / "X.LOG").c_str(), 0600), 0); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TOpen o;
    o.Dir.Write("A.LOG", Rmc(7, 10, 0, 0) + "\r\n");
    c.Make(o.Dir.Path());
    ASSERT_EQ(o.Run(), TOpenOutcome::Unreadable);
    EXPECT_EQ(o.Box.Texts, std::vector<std::string>{std::string(kNoFiles)});
    EXPECT_FALSE(o.Catalogue.DataAvailable);
    EXPECT_FALSE(o.Result.SetCalendars);
    EXPECT_NE(o.Result.Error.find("X.LOG"), std::string::npos) << o.Result.Error;
  }
}

// A read that fails in the middle of a file (a failing card, one pulled out) stops the
// scan with the file and line named; nothing claims to be a complete index.
TEST(HostileCard, ReadErrorInTheMiddleOfAFile) {
  struct TCase {
    const char* Name;
    uint64_t From;   // the first byte that cannot be read; 0: every read fails
    int64_t MinLine;  // the line named is at least this
  } cases[] = {
      {"first read", 0, 0},
      {"while counting", 400000, 1},  // beyond the first piece read
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TOpen o;
    std::string text;
    for (int i = 0; i < 20000; ++i) text += Rmc(7, 10 + i / 3600, i / 60 % 60, i % 60) + "\r\n";
    o.Dir.Write("A.LOG", text);
    {
      test::TReadFault fault(o.Dir.Path() / "A.LOG", c.From);
      ASSERT_EQ(o.Run(), TOpenOutcome::ReadFailed);
    }
    ASSERT_EQ(o.Box.Texts.size(), 1u);
    const std::string& shown = o.Box.Texts[0];
    EXPECT_EQ(shown.rfind("Reading A.LOG stopped at line ", 0), 0u) << shown;
    EXPECT_TRUE(shown.ends_with(": Input/output error.")) << shown;
    EXPECT_GE(std::stoll(shown.substr(30)), c.MinLine);
    EXPECT_EQ(o.Sink.Lines.back(), shown);
    EXPECT_FALSE(o.Catalogue.DataAvailable);
    EXPECT_FALSE(o.Result.SetCalendars);
  }
}

TEST(HostileCard, FileWithoutReadPermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file (the read-error case above stands in)";
  TOpen o;
  const fs::path p = o.Dir.Write("X.LOG", Rmc(7, 10, 0, 0) + "\r\n");
  fs::permissions(p, fs::perms::none);
  EXPECT_EQ(o.Run(), TOpenOutcome::Unreadable);
  EXPECT_EQ(o.Box.Texts.size(), 1u);
}

TEST(HostileCard, MoreThanTenThousandFiles) {
  TOpen o;
  constexpr int kFiles = 10001;
  for (int i = 0; i < kFiles; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%05d.LOG", i);
    o.Dir.Write(name, Rmc(1 + i / 1440 % 28, i / 60 % 24, i % 60, 0) + "\r\n" + kAis + "\r\n");
  }
  ASSERT_EQ(o.Run(), TOpenOutcome::Completed);
  ASSERT_EQ(o.Catalogue.SD_Info.FileListe.size(), static_cast<size_t>(kFiles));
  EXPECT_EQ(o.Catalogue.SD_Info.FileListe.front(), "00000.LOG");
  EXPECT_EQ(o.Catalogue.SD_Info.FileListe.back(), "10000.LOG");
  EXPECT_EQ(o.Catalogue.LogList.size(), static_cast<size_t>(kFiles));
  EXPECT_EQ(o.Catalogue.LogList.back().File_Index, kFiles - 1);
  EXPECT_EQ(o.Sink.Total.Position, kFiles);
  EXPECT_TRUE(o.Catalogue.DataAvailable);
}

// Sparse: one day's lines, then a hole of NULs past 4 GiB, then the next day's lines. The
// offsets of the lines after the hole do not fit 32 bits. Reading 4 GiB takes half a
// minute under the sanitizers: there only with PELORIN_HEAVY_TESTS=1.
TEST(HostileCard, FileBeyondFourGibibytes) {
  if (kSanitized && std::getenv("PELORIN_HEAVY_TESTS") == nullptr) GTEST_SKIP() << "heavy under the sanitizers";
  TOpen o;
  const fs::path path = o.Dir.Path() / "BIG.LOG";
  const std::string head = Rmc(7, 23, 59, 0) + "\r\n" + kAis + "\r\n" + Rmc(7, 23, 59, 1) + "\r\n";
  std::string tail = "\r\n";
  for (int s = 0; s < 4; ++s) tail += Rmc(8, 0, 0, s) + "\r\n" + kAis + "\r\n";
  const off_t tailAt = (off_t{1} << 32) + 4096;
  {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pwrite(fd, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
    ASSERT_EQ(::pwrite(fd, tail.data(), tail.size(), tailAt), static_cast<ssize_t>(tail.size()));
    ::close(fd);
  }
  ASSERT_EQ(o.Run(), TOpenOutcome::Completed);
  // 3 head lines, the hole as one line, 8 tail lines.
  EXPECT_EQ(o.LinesOf(0), 12);
  ASSERT_EQ(o.Catalogue.LogList.size(), 2u);
  const TLogDateTime& second = o.Catalogue.LogList[1];
  EXPECT_EQ(o.Catalogue.LogList[0].Line_End + 1, second.Line_Start);
  EXPECT_EQ(second.Line_End, 11);
  TDateTime day8 = 0;
  ASSERT_TRUE(TryEncodeDate(2011, 4, 8, day8));
  EXPECT_EQ(second.LogDate, day8);
  EXPECT_EQ(FormatLogDateTime(second.LogDateTime_End), "8.4.2011 0:00:03");  // read beyond 4 GiB
}

// Found by fuzz_nmea: a $GPRMC whose date had lost a digit ("01080") was indexed in the
// year 2000. A one-digit year is no time stamp.
TEST(FuzzFinding, RmcDateMissingADigitIsNoTimeStamp) {
  TDateTime t = 42;
  EXPECT_FALSE(ReadTimeStamp("01.08.0", "19:49:06", kYear, t));
  EXPECT_FALSE(ReadTimeStamp("01.08.", "19:49:06", kYear, t));
  EXPECT_TRUE(ReadTimeStamp("01.08.09", "19:49:06", kYear, t));
  TOpen o;
  o.Dir.Write("A.LOG", WithChecksum("$GPRMC,194906.00,A,5241.9981,N,00517.5652,E,0.0,,01080,,,A") + "\r\n");
  ASSERT_EQ(o.Run(), TOpenOutcome::Completed);
  EXPECT_FALSE(o.Catalogue.DataAvailable);
}

// Dates across the range a card can hold, with two-digit years placed by the current year.
TEST(HostileCard, DatesFrom1980To2099) {
  const struct {
    int yy, current, year;
  } cases[] = {{80, 2025, 1980}, {99, 2025, 1999}, {0, 2025, 2000}, {74, 2025, 2074}, {99, 2080, 2099}, {80, 2080, 2080}};
  for (const auto& [yy, current, year] : cases) {
    TDateTime t = 0;
    char date[16];
    std::snprintf(date, sizeof date, "31.12.%02d", yy);
    ASSERT_TRUE(ReadTimeStamp(date, "23:59:59", current, t)) << date;
    TDateTime expected = 0;
    ASSERT_TRUE(TryEncodeDateTime(year, 12, 31, 23, 59, 59, expected));
    EXPECT_EQ(TDateTimeToSeconds(t), TDateTimeToSeconds(expected)) << date << " in " << current;
  }
}

}  // namespace
}  // namespace pelorin
