// pelorin-cli as a user runs it: the built program in a scratch working directory.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "cli/cli_process.h"
#include "support/kml_check.h"
#include "support/test_support.h"

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;

const char kGoldenPathLine[] = "    <name> /home/skipper/Pelorin/SD_Belumar.kml </name>";

fs::path Golden() { return SharedDir() / "golden"; }

// The golden document as it reads when written in `cwd`: only line 4 holds the path.
std::string GoldenKmlFor(const fs::path& golden, const fs::path& cwd) {
  std::string text = ReadFileBytes(golden);
  const size_t at = text.find(kGoldenPathLine);
  EXPECT_NE(at, std::string::npos) << golden;
  if (at == std::string::npos) return text;
  const std::string own = "    <name> " + (cwd / "SD_Belumar.kml").string() + " </name>";
  return text.replace(at, sizeof kGoldenPathLine - 1, own);
}

// Index of the first differing line, for a readable failure on a large document.
std::string FirstDifference(const std::string& a, const std::string& b) {
  const auto la = SplitLines(a), lb = SplitLines(b);
  for (size_t i = 0; i < std::min(la.size(), lb.size()); ++i)
    if (la[i] != lb[i]) return "line " + std::to_string(i + 1) + ":\n  got  " + la[i] + "\n  want " + lb[i];
  return "lengths " + std::to_string(la.size()) + " and " + std::to_string(lb.size()) + " lines";
}

// The lines of the output apart from the account, whose counts must add up.
std::vector<std::string> WithoutAccount(const std::string& out) {
  const TSplitReport split = SplitAccount(SplitLines(out));
  const TAccountSum sum = SumAccount(split.Account);
  EXPECT_GT(sum.LinesRead, 0) << out;
  EXPECT_EQ(sum.Outcomes, sum.LinesRead);
  return split.Report;
}

struct TGoldenCase {
  const char* Name;
  const char* Case;
  std::vector<std::string> Options;
  const char* Report;  // file of the expected standard output
  const char* Kml;     // expected document, or null (ship-list mode)
};

TEST(CliGolden, ReportsAndDocumentsMatchTheExpectedOutputs) {
  PELORIN_REQUIRE_SHARED();
  const TGoldenCase cases[] = {
      {"case1", "case1", {}, "report.txt", "SD_Belumar.kml"},
      {"case1 ship list", "case1", {"--ship-list"}, "shiplist.txt", nullptr},
      {"case2 window",
       "case2",
       {"--from", "2011-04-07 23:40", "--to", "2011-04-08 00:20", "--full-data"},
       "report-window.txt",
       "SD_Belumar-window.kml"},
      {"case2 own track", "case2", {"--own-track"}, "report-own-track.txt", "SD_Belumar-own-track.kml"},
  };
  for (const TGoldenCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const fs::path dir = Golden() / c.Case;
    TTempDir cwd;
    std::vector<std::string> args = c.Options;
    args.push_back((dir / "card").string());
    const TCliRun run = RunCli(args, cwd.Path());
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(WithoutAccount(run.Out), SplitLines(ReadFileBytes(dir / c.Report)));
    if (c.Kml != nullptr) {
      const std::string written = ReadFileBytes(cwd.Path() / "SD_Belumar.kml");
      const std::string expected = GoldenKmlFor(dir / c.Kml, cwd.Path());
      EXPECT_TRUE(written == expected) << FirstDifference(written, expected);
      EXPECT_NE(run.Err.find("wrote " + (cwd.Path() / "SD_Belumar.kml").string()), std::string::npos) << run.Err;
    } else {
      EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml"));
      EXPECT_TRUE(fs::is_regular_file(cwd.Path() / "Mappe_SD.xls"));
    }
  }
}

// The workbook read back by an independent reader holds the rows the program printed.
TEST(CliGolden, WorkbookHoldsThePrintedShipList) {
  PELORIN_REQUIRE_SHARED();
  if (std::system("/usr/bin/python3 -c 'import xlrd' 2>/dev/null") != 0) GTEST_SKIP() << "no python3-xlrd";
  TTempDir cwd;
  const TCliRun run = RunCli({"--ship-list", "--quiet", (Golden() / "case1" / "card").string()}, cwd.Path());
  ASSERT_EQ(run.Status, 0) << run.Err;
  const fs::path dump = cwd.Path() / "rows.tsv";
  const std::string command =
      "/usr/bin/python3 -c \"import sys, xlrd\n"
      "s = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)\n"
      "rows = [s.row_values(r) for r in range(s.nrows)]\n"
      "print('\\t'.join(rows[0]))\n"
      "[print('\\t'.join(r)) for r in rows[2:]]\" " +
      (cwd.Path() / "Mappe_SD.xls").string() + " > " + dump.string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  // The sheet: header row, an empty row 2, then the vessels; the printed grid ends with
  // its empty row instead.
  auto printed = SplitLines(run.Out);
  ASSERT_FALSE(printed.empty());
  printed.pop_back();
  EXPECT_EQ(SplitLines(ReadFileBytes(dump)), printed);
}

// One thread and all cores give the same report, document and workbook, byte for byte:
// on the bundled card, the golden cards and a generated one of several files.
TEST(CliThreads, OneThreadAndAllCoresAgree) {
  TTempDir generated, cwd;
  std::vector<fs::path> cards = {SourceDir() / "samples"};
  if (!SharedDir().empty()) {
    cards.push_back(Golden() / "case1" / "card");
    cards.push_back(Golden() / "case2" / "card");
    const std::string command = "/usr/bin/python3 " + (SharedDir() / "tools" / "genlog.py").string() + " --out " +
                                generated.Path().string() + " --files 3 --hours 2 --vessels 60 --zda mix --quiet";
    ASSERT_EQ(std::system(command.c_str()), 0);
    cards.push_back(generated.Path());
  }
  for (const fs::path& card : cards) {
    for (const std::vector<std::string>& mode : {std::vector<std::string>{"--full-data"}, {"--ship-list"}}) {
      std::string outputs[2];
      for (int k = 0; k < 2; ++k) {
        std::vector<std::string> args = mode;
        if (k == 0) args.insert(args.end(), {"--threads", "1"});
        args.push_back(card.string());
        const TCliRun run = RunCli(args, cwd.Path());
        ASSERT_EQ(run.Status, 0) << run.Err;
        const char* file = mode[0] == "--ship-list" ? "Mappe_SD.xls" : "SD_Belumar.kml";
        outputs[k] = run.Out + ReadFileBytes(cwd.Path() / file);
      }
      EXPECT_TRUE(outputs[0] == outputs[1]) << card << " " << mode[0];
    }
  }
}

TEST(CliSamples, TheBundledCardGivesTheWholeJob) {
  TTempDir cwd;
  const TCliRun run = RunCli({(SourceDir() / "samples").string()}, cwd.Path());
  ASSERT_EQ(run.Status, 0) << run.Err;
  const auto lines = WithoutAccount(run.Out);
  ASSERT_GT(lines.size(), 10u);
  EXPECT_EQ(lines[0], "00000001.LOG");
  EXPECT_EQ(lines[1], "00000002.LOG");
  EXPECT_EQ(lines[2], "00000003.LOG");
  EXPECT_EQ(lines[3], "Number of Files :3");
  EXPECT_EQ(lines[lines.size() - 3], "========================================");
  EXPECT_EQ(lines[lines.size() - 2].rfind("-Number Static : ", 0), 0u);
  EXPECT_EQ(lines[lines.size() - 1].rfind("-Number Dynam. : ", 0), 0u);
  EXPECT_NE(lines.back(), "-Number Dynam. : 0");
  // One entry block of the run per index entry of the scan.
  size_t indexed = 0, read = 0;
  for (const std::string& l : lines) {
    indexed += l.rfind("LogList[", 0) == 0;
    read += l.rfind("Log-File: ", 0) == 0;
  }
  EXPECT_GE(indexed, 3u);
  EXPECT_EQ(read, indexed);

  const fs::path kml = cwd.Path() / "SD_Belumar.kml";
  EXPECT_EQ(run.Err, "pelorin-cli: wrote " + kml.string() + "\n");
  if (!kHaveXmlParser) GTEST_SKIP() << "no XML parser in this build";
  const TXmlCheck check = CheckXml(ReadFileBytes(kml));
  ASSERT_TRUE(check.WellFormed) << check.Error;
  ASSERT_FALSE(check.Texts.empty());
  EXPECT_EQ(check.Texts[0], " " + kml.string() + " ");
}

TEST(CliReal, RecordedLogsRunThrough) {
  PELORIN_REQUIRE_SHARED();
  const fs::path real = SharedDir() / "data" / "real";
  // A Channel crossing with a SART test, and a sailing yacht's bus recorded four times
  // over (time running backwards); each copied to a card as its only *.LOG file.
  for (const char* name : {"opencpn-Go_to_Guernesey.txt", "opencpn-Hakefjord.log"}) {
    SCOPED_TRACE(name);
    TTempDir card, cwd;
    fs::copy_file(real / name, card.Path() / "00000001.LOG");
    const TCliRun run = RunCli({"--full-data", card.Path().string()}, cwd.Path());
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto lines = WithoutAccount(run.Out);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[lines.size() - 2], "-Number Static : 0");
    EXPECT_NE(lines.back(), "-Number Dynam. : 0");
    if (kHaveXmlParser) {
      const TXmlCheck check = CheckXml(ReadFileBytes(cwd.Path() / "SD_Belumar.kml"));
      EXPECT_TRUE(check.WellFormed) << check.Error;
    }
  }
  TTempDir card, cwd;
  fs::copy_file(SharedDir() / "data" / "real" / "opencpn-Go_to_Guernesey.txt", card.Path() / "00000001.LOG");
  const TCliRun run = RunCli({"--ship-list", "--quiet", card.Path().string()}, cwd.Path());
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_NE(run.Out.find("SART\t970000099\tSART 970000099\t"), std::string::npos) << run.Out;
}

TEST(CliReal, ReceiverLogWithoutGpsHasNoTimeStamps) {
  PELORIN_REQUIRE_SHARED();
  TTempDir card, cwd;
  fs::copy_file(SharedDir() / "data" / "real" / "gpsd-ais-18-27.log", card.Path() / "00000001.LOG");
  const TCliRun run = RunCli({card.Path().string()}, cwd.Path());
  EXPECT_EQ(run.Status, 4);
  EXPECT_NE(run.Err.find("pelorin-cli: no time stamp"), std::string::npos) << run.Err;
  EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml"));
}

struct TProcessStatusCase {
  const char* Name;
  std::vector<std::string> Args;
  int Status;
  const char* ErrPart;
};

TEST(CliProcess, CommandLineMistakesEndWithTheirStatus) {
  TTempDir cwd;
  const std::string samples = (SourceDir() / "samples").string();
  const TProcessStatusCase cases[] = {
      {"nothing", {}, 2, "pelorin-cli: no log directory given\npelorin-cli: try 'pelorin-cli --help'\n"},
      {"unknown option", {"--colour", samples}, 2, "unknown option --colour"},
      {"missing time", {samples, "--from"}, 2, "--from needs a time"},
      {"bad time", {"--to", "2011-04-08 25:00", samples}, 5, "\"2011-04-08 25:00\""},
      {"from after to", {"--from", "2011-04-08 00:20", "--to", "2011-04-08 00:10", samples}, 5,
       "--from \"2011-04-08 00:20\" lies after --to \"2011-04-08 00:10\""},
      {"empty card", {cwd.Path().string()}, 3, "No AIS (*.LOG) files found!"},
  };
  for (const TProcessStatusCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const TCliRun run = RunCli(c.Args, cwd.Path());
    EXPECT_EQ(run.Status, c.Status) << run.Err;
    EXPECT_NE(run.Err.find(c.ErrPart), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");  // refused before any scan
    EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml"));
  }
}

TEST(CliProcess, HelpGoesToStandardOutput) {
  TTempDir cwd;
  const TCliRun run = RunCli({"--help"}, cwd.Path());
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out.rfind("Usage: pelorin-cli [OPTION]... PATH...\n", 0), 0u);
  EXPECT_NE(run.Out.find("Exit status:"), std::string::npos);
  EXPECT_EQ(run.Err, "");
}

TEST(CliProcess, DirectoryInTheWayOfTheDocumentIsAnOutputError) {
  TTempDir cwd;
  fs::create_directory(cwd.Path() / "SD_Belumar.kml");
  const TCliRun run = RunCli({(SourceDir() / "samples").string()}, cwd.Path());
  EXPECT_EQ(run.Status, 6);
  EXPECT_NE(run.Err.find("pelorin-cli: cannot write " + (cwd.Path() / "SD_Belumar.kml").string()),
            std::string::npos)
      << run.Err;
  EXPECT_TRUE(fs::is_directory(cwd.Path() / "SD_Belumar.kml"));
  EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml.part"));
}

// --mmsi narrows the document; --export writes the named files only, and names the one
// it cannot write.
TEST(CliProcess, ExportsAndTheVesselFilter) {
  TTempDir cwd;
  const std::string card = (SourceDir() / "samples").string();
  ASSERT_EQ(RunCli({"--quiet", "--mmsi", "211467690", card}, cwd.Path()).Status, 0);
  const std::string kml = ReadFileBytes(cwd.Path() / "SD_Belumar.kml");
  EXPECT_NE(kml.find("<p>MMSI: 211467690 <br>"), std::string::npos);
  EXPECT_EQ(kml.find("<p>MMSI: 209108693 <br>"), std::string::npos);
  fs::remove(cwd.Path() / "SD_Belumar.kml");

  const TCliRun run = RunCli({"--export", "t.csv", "--export", "/proc/none/t.gpx", card}, cwd.Path());
  EXPECT_EQ(run.Status, 6);
  EXPECT_NE(run.Err.find("pelorin-cli: cannot write /proc/none/t.gpx"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("Lines read : "), std::string::npos);
  EXPECT_TRUE(fs::exists(cwd.Path() / "t.csv"));
  EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml"));

  // --encounters ends the output with the two tables: the own ship's seven others, sorted.
  const TCliRun close = RunCli({"--quiet", "--export", "t.csv", "--encounters", "--encounter-nm=2", card}, cwd.Path());
  ASSERT_EQ(close.Status, 0) << close.Err;
  const std::vector<std::string> lines = SplitLines(close.Out);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines[0], "MMSI\tName\tCPA_NM\tCPA_Time\tBearing\tOwn_SOG\tOwn_COG\tSOG\tCOG\tRel_Speed_kn");
  EXPECT_EQ(lines[1], "970575026\tSART 970575026\t1.66\t2011-04-07T23:58:24Z\t28\t2.5\t104.2\t0.8\t345.6\t3.0");
  EXPECT_EQ(lines[8], "");
  EXPECT_EQ(lines[9], "MMSI_A\tName_A\tMMSI_B\tName_B\tCPA_NM\tCPA_Time\tBearing\tRel_Speed_kn\tStart\tEnd");
  EXPECT_EQ(lines.size(), 11u);  // within 2 NM: the own ship and the SART
}

// Many index entries, each a whole pass: copies of one generated file under the names
// of further card files.
void MakeLongCard(const fs::path& card, int copies) {
  const std::string command = "/usr/bin/python3 " + (SharedDir() / "tools" / "genlog.py").string() + " --out " +
                              card.string() + " --files 1 --hours 1 --vessels 40 --seed interrupt --quiet";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (int i = 2; i <= copies; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "%08d.LOG", i);
    fs::create_hard_link(card / "00000001.LOG", card / name);
  }
}

TEST(CliProcess, CtrlCStopsTheRunAfterTheEntryBeingRead) {
  PELORIN_REQUIRE_SHARED();
  TTempDir card, cwd;
  MakeLongCard(card.Path(), 120);
  bool sent = false;
  const TCliRun run = RunCliInterrupted({card.Path().string()}, cwd.Path(), "Log-File: ", &sent);
  ASSERT_TRUE(sent) << run.Out;
  EXPECT_EQ(run.Status, 130) << run.Err;
  // The account of the lines read so far follows the stop lines.
  const auto lines = WithoutAccount(run.Out);
  // With the lines no pass read, they are all the entries' lines.
  EXPECT_NE(run.Out.find("-Lines not read : "), std::string::npos);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "========================================");
  EXPECT_EQ(lines[lines.size() - 2], "USER  INTERRUPT  :  SD-Read stopped!");
  EXPECT_EQ(lines[lines.size() - 1], "========================================");
  size_t read = 0;
  for (const std::string& l : lines) read += l.rfind("Log-File: ", 0) == 0;
  EXPECT_GE(read, 2u);  // the first entry is never followed by a query
  EXPECT_LT(read, 120u);
  EXPECT_EQ(run.Out.find("-Number Static"), std::string::npos);
  EXPECT_FALSE(fs::exists(cwd.Path() / "SD_Belumar.kml"));
  EXPECT_NE(run.Err.find("pelorin-cli: stopping"), std::string::npos) << run.Err;
}

}  // namespace
}  // namespace pelorin::test
