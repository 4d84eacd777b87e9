// Hostile input through the log pass and the run: spoofed and garbled sentences, a card
// that changes between the scan and the run, very large tables, and a KML document that
// cannot be written. Each case has one defined outcome.
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <filesystem>
#include <string>
#include <vector>

#include "ais_test_encoder.h"
#include "analysis/analysis_run.h"
#include "analysis/log_pass.h"
#include "catalogue/file_check.h"
#include "catalogue/log_scan.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::kSanitized;

namespace fs = std::filesystem;
using test::Msg1;
using test::Msg14;
using test::Msg5;
using test::Rmc;
using test::Sentence;
using test::Vdm;
using test::VdmPart;
using test::Zda;

constexpr uint32_t kShipA = 211000001;
constexpr uint32_t kShipB = 211000002;

TDateTime At(int y, int mo, int d, int h, int mi, int s = 0) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(y, mo, d, h, mi, s, t));
  return t;
}

// The lines as a file holds them.
std::string LinesOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& l : lines) text += l + "\r\n";
  return text;
}

struct TPass {
  TAnalysisState state;
  TNullSink sink;
  bool reduced = false;
  TDateTime start = At(2011, 4, 7, 10, 0), end = At(2011, 4, 7, 10, 5);
  void Run(const std::vector<std::string>& lines) {
    TLogPassOptions options{&reduced, nullptr};
    options.CurrentYear = 2026;
    ASSERT_TRUE(test::PassText(state, LinesOf(lines), start, end, false, options, sink));
  }
  const TStatic* Ship(const std::string& mmsi) const {
    for (const auto& s : state.aShipList)
      if (s.MMSI == mmsi) return &s;
    return nullptr;
  }
};

// Found by fuzz_nmea: a $GPRMC whose date or time field had lost a digit was taken as a
// time ("01080" as 1 August 2000) with a time text that is not ISO 8601.
TEST(FuzzFinding, RmcFieldMissingADigitIsNoTime) {
  for (const auto& [time, date] : {std::pair{"194906.00", "01080"}, {"19490", "010809"}, {"1949.0", "010809"}}) {
    const std::string line = Sentence('$', std::string("GPRMC,") + time + ",A,5241.9981,N,00517.5652,E,0.0,," + date +
                                               ",,,A");
    TFieldList f;
    ASSERT_EQ(NMEA_Split(line, f), sk_RMC);
    TDateTime t = 5;
    EXPECT_FALSE(RMC_TimeStampDT(f, 2026, t)) << line;
    EXPECT_EQ(t, 0);
    TPass p;
    p.start = At(2000, 1, 1, 0, 0);
    p.end = At(2020, 1, 1, 0, 0);
    p.Run({line, Vdm(Msg1(kShipA, 54.0, 8.0))});
    EXPECT_EQ(p.state.Num_Dynamic, 0) << line;  // the window never opened
  }
  // A ZDA time field missing a digit neither.
  TFieldList f;
  const std::string zda = Sentence('$', "ECZDA,09301.00,07,04,2011,00,00");
  NMEA_Split(zda, f);
  TDateTime t = 0;
  EXPECT_FALSE(ZDA_TimeStampDT(f, 2026, t));
}

// Found by fuzz_log_pass: a garbled $GPRMC latitude with ten whole minute digits and a
// hundred decimals overflowed the exact 128-bit conversion (undefined behaviour).
TEST(FuzzFinding, LatitudeWithManyDigitsDoesNotOverflow) {
  const struct {
    std::string In, Out;
  } cases[] = {
      {"540220991261.1" + std::string(100, '0') + "234", "3683241.685000"},
      {"99" + std::string(12, '9') + "." + std::string(60, '9'), "16666666765.666667"},
      // A tie stays a tie, and a value just below it stays below, past the kept digits.
      {"0000.00003" + std::string(40, '0'), "0.000001"},
      {"0000.00002" + std::string(40, '9'), "0.000000"},
  };
  for (const auto& c : cases) {
    TText out;
    ASSERT_TRUE(NMEA_LatToDeg(c.In, out)) << c.In;
    EXPECT_EQ(out, c.Out) << c.In;
  }
  TPass p;
  p.Run({Sentence('$', "GPRMC,100000.00,A,540220991261.1" + std::string(100, '0') +
                           "234,N,00852.4321,E,5.2,88.0,070411,,,A")});
  ASSERT_EQ(p.state.aShipList.size(), 1u);
  EXPECT_EQ(test::PointAt(p.state.aShipList[0], 0).Lat, "3683241.685000");
}

TEST(HostileSentences, PayloadsOutsideTheArmouringAndOverlong) {
  std::string disguised = Msg1(kShipA, 54.0, 8.0);
  for (char& c : disguised) c = static_cast<char>(static_cast<unsigned char>(c) < 96 ? c + 72 : c + 64);
  TPass p;
  p.Run({Zda("100000"), Vdm(disguised), Vdm(Msg1(kShipB, 54.5, 8.5) + std::string(5000, 'w')),
         Vdm(Msg1(kShipB, 54.5, 8.5).substr(0, 10))});
  ASSERT_NE(p.Ship("211000001"), nullptr);
  EXPECT_EQ(test::PointAt(*p.Ship("211000001"), 0).Lat, "54.000000");
  ASSERT_NE(p.Ship("211000002"), nullptr);
  EXPECT_EQ(p.Ship("211000002")->aPlot.size(), 1u);  // the short one is skipped
  EXPECT_EQ(p.state.Num_Dynamic, 2);
}

TEST(HostileSentences, TwoSentenceMessagesInterleavedAndOddIds) {
  const std::string a = Msg5(kShipA, "ALPHA", "DABC"), b = Msg5(kShipB, "BRAVO", "DXYZ");
  struct TCase {
    const char* Name;
    std::vector<std::string> Lines;
    std::vector<std::string> Decoded;  // MMSIs whose message 5 was applied
  } cases[] = {
      // Only the last first part is kept: A's second part no longer finds its partner.
      {"interleaved",
       {VdmPart(a.substr(0, 60), 1, "1"), VdmPart(b.substr(0, 60), 1, "2"), VdmPart(a.substr(60), 2, "1"),
        VdmPart(b.substr(60), 2, "2")},
       {"211000002"}},
      {"text id", {VdmPart(a.substr(0, 60), 1, "x y"), VdmPart(a.substr(60), 2, "x y")}, {"211000001"}},
      {"long id",
       {VdmPart(a.substr(0, 60), 1, std::string(300, '9')), VdmPart(a.substr(60), 2, std::string(300, '9'))},
       {"211000001"}},
      {"ids differing in case", {VdmPart(a.substr(0, 60), 1, "a"), VdmPart(a.substr(60), 2, "A")}, {}},
      {"second part first then repeated",
       {VdmPart(a.substr(60), 2, "3"), VdmPart(a.substr(0, 60), 1, "3"), VdmPart(a.substr(60), 2, "3"),
        VdmPart(a.substr(60), 2, "3")},
       {"211000001"}},
      // Joined, but a message 5 is decoded only from a second part numbered 2.
      {"part number 3 of 2", {VdmPart(a.substr(0, 60), 1, "4"), VdmPart(a.substr(60), 3, "4")}, {}},
  };
  for (const auto& c : cases) {
    TPass p;
    std::vector<std::string> lines = {Zda("100000")};
    lines.insert(lines.end(), c.Lines.begin(), c.Lines.end());
    p.Run(lines);
    std::vector<std::string> decoded;
    for (const auto& s : p.state.aShipList)
      if (s.Num_Msg5 > 0) decoded.push_back(s.MMSI);
    EXPECT_EQ(decoded, c.Decoded) << c.Name;
  }
}

// MMSIs a spoofer can send: only 1 to 999999998 make an entry from a position report;
// a 30-bit field can carry ten digits.
TEST(HostileSentences, OddMmsis) {
  const struct {
    uint32_t Mmsi;
    const char* Text;
    bool Entry;
  } cases[] = {
      {0, "0", false},           {999999999, "999999999", false}, {1073741823, "1073741823", false},
      {1, "1", true},            {999999998, "999999998", true},  {1234567, "1234567", true},  // 001234567
      {970012345, "970012345", true},
  };
  for (const auto& c : cases) {
    TPass p;
    p.Run({Zda("100000"), Vdm(Msg1(c.Mmsi, 54.0, 8.0))});
    EXPECT_EQ(p.Ship(c.Text) != nullptr, c.Entry) << c.Text;
    EXPECT_EQ(p.state.Num_Dynamic, 1);
  }
  // A safety broadcast makes its SART entry whatever the MMSI, without a track.
  TPass p;
  p.Run({Zda("100000"), Vdm(Msg14(0, "SART ACTIVE"))});
  ASSERT_NE(p.Ship("0"), nullptr);
  EXPECT_EQ(p.Ship("0")->AISclass, "SART");
  EXPECT_TRUE(p.Ship("0")->aPlot.empty());
}

// Two-digit years fall between 50 years before and 49 after the current year (2026
// here), as the scan places them; a ZDA year by its last two digits, as the scan reads it.
TEST(HostileSentences, DatesFrom1976To2075) {
  const struct {
    std::string Line;
    int Year;
  } cases[] = {
      {Sentence('$', "ECZDA,100000.00,01,01,1980,00,00"), 1980},
      {Sentence('$', "GPZDA,235959.00,31,12,2075,00,00"), 2075},
      {Rmc("100000", "A", "5404.2000", "00758.8000", "010176"), 1976},
      {Rmc("235959", "A", "5404.2000", "00758.8000", "311299"), 1999},
      {Rmc("235959", "A", "5404.2000", "00758.8000", "311275"), 2075},
  };
  for (const auto& c : cases) {
    TFieldList f;
    NMEA_Split(c.Line, f);
    TDateTime t = 0;
    ASSERT_TRUE(c.Line[1] == 'G' && c.Line[3] == 'R' ? RMC_TimeStampDT(f, 2026, t) : ZDA_TimeStampDT(f, 2026, t)) << c.Line;
    EXPECT_EQ(DecodeDateTime(t).Year, c.Year) << c.Line;
    TPass p;
    p.start = At(c.Year, 1, 1, 0, 0);
    p.end = At(c.Year, 12, 31, 23, 59, 59);
    p.Run({c.Line, Vdm(Msg1(kShipA, 54.0, 8.0))});
    ASSERT_NE(p.Ship("211000001"), nullptr) << c.Line;
    EXPECT_EQ(std::string_view(test::PointAt(*p.Ship("211000001"), 0).TimeStampStr).substr(0, 4), std::to_string(c.Year));
  }
}

// --- scale -------------------------------------------------------------------------------

double SecondsSince(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// A table of 100,000 vessels is built by lookups that do not grow with the table: a
// linear search by MMSI would take minutes here.
// The payload with its MMSI (bits 8 to 37, characters 1 to 6) replaced: quicker than
// encoding every report anew.
std::string WithMmsi(std::string payload, uint32_t mmsi) {
  for (unsigned bit = 8; bit < 38; ++bit) {
    char& c = payload[bit / 6];
    unsigned v = static_cast<unsigned char>(c) - 48u;
    if (v > 40) v -= 8;
    const unsigned mask = 1u << (5 - bit % 6);
    v = ((mmsi >> (37 - bit)) & 1u) ? v | mask : v & ~mask;
    c = static_cast<char>(v < 40 ? v + 48 : v + 56);
  }
  return payload;
}

TEST(Scale, HundredThousandVessels) {
  std::vector<std::string> lines = {Zda("100000")};
  constexpr uint32_t kVessels = 100000;
  const std::string here = Msg1(kShipA, 54.0, 8.0), there = Msg1(kShipA, 54.1, 8.1);
  ASSERT_EQ(WithMmsi(here, kShipB), Msg1(kShipB, 54.0, 8.0));
  for (uint32_t i = 0; i < kVessels; ++i) lines.push_back(Vdm(WithMmsi(here, 200000000 + i * 7)));
  for (uint32_t i = 0; i < kVessels; i += 10) lines.push_back(Vdm(WithMmsi(there, 200000000 + i * 7)));
  TPass p;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(
      test::PassText(p.state, LinesOf(lines), p.start, p.end, false, TLogPassOptions{&p.reduced, nullptr}, p.sink));
  const double seconds = SecondsSince(t0);
  EXPECT_LT(seconds, 8.0);
  std::printf("%u vessels in %.2f s\n", kVessels, seconds);
  ASSERT_EQ(p.state.aShipList.size(), kVessels + 1);  // and the own-ship entry
  size_t points = 0;
  for (const auto& s : p.state.aShipList) points += s.aPlot.size();
  EXPECT_EQ(points, kVessels + kVessels / 10);
}

// One vessel with a very long track: time stays linear. A million points by default;
// PELORIN_HEAVY_TESTS=1 asks for ten million.
TEST(Scale, OneVesselWithMillionsOfPoints) {
  const bool heavy = std::getenv("PELORIN_HEAVY_TESTS") != nullptr;
  const size_t kPoints = heavy ? 10000000 : (kSanitized ? 300000 : 1000000);
  const std::string report = Vdm(Msg1(kShipA, 54.0, 8.0));
  std::string text = Zda("100000") + "\r\n";
  text.reserve((kPoints + 1) * (report.size() + 2));
  for (size_t i = 0; i < kPoints; ++i) text.append(report).append("\r\n");
  TPass p;
  const auto t0 = std::chrono::steady_clock::now();
  ASSERT_TRUE(test::PassText(p.state, text, p.start, p.end, false, TLogPassOptions{&p.reduced, nullptr}, p.sink));
  const double seconds = SecondsSince(t0);
  const TStatic* ship = p.Ship("211000001");
  ASSERT_NE(ship, nullptr);
  ASSERT_EQ(ship->aPlot.size(), kPoints);
  EXPECT_EQ(test::PointAt(*ship, (*ship).aPlot.size() - 1).TimeStampStr, "2011-04-07T10:00:00Z");
  // About a microsecond a line in a release build; generous for a shared machine.
  if (!kSanitized) {
    EXPECT_LT(seconds, 8e-6 * static_cast<double>(kPoints)) << seconds;
  }
  std::printf("%zu points in %.2f s\n", kPoints, seconds);
}

// --- a card that changes between the scan and the run ---------------------------------

struct TBox : TMessageBox {
  std::vector<std::string> Texts;
  void Show(TMessageKind, std::string_view, std::string_view text) override { Texts.emplace_back(text); }
};
struct TOpener : TDocumentOpener {
  std::vector<std::string> Opened;
  void Open(const std::string& path) override { Opened.push_back(path); }
};

// Three files of one day, two vessels in each; scanned, then the run.
struct TCardRun {
  test::TTempDir card, startup;
  TCatalogue catalogue;
  TAnalysisState state;
  TTimeWindowState window;
  test::TRecordingSink sink;
  TBox box;
  TOpener opener;

  TCardRun() {
    for (int file = 0; file < 3; ++file) {
      std::string text;
      for (int s = 0; s < 60; s += 10) {
        char t[8];
        std::snprintf(t, sizeof t, "10%02d%02d", file, s);
        text += Rmc(t) + "\r\n" + Vdm(Msg1(kShipA + static_cast<uint32_t>(file), 54.0, 8.0 + s / 100.0)) + "\r\n";
      }
      card.Write("0000000" + std::to_string(file + 1) + ".LOG", text);
    }
    Rescan();
  }
  void Rescan() {
    const TOpenResult r = OpenLogDirectory(catalogue, card.Path().string(), sink, box, 2024);
    EXPECT_TRUE(catalogue.DataAvailable);
    window = r.Window;
    window.EndDay = catalogue.LogList.back().LogDate;
    MonthCalendar_EndClick(catalogue, window);
  }
  fs::path File(int i) const { return card.Path() / catalogue.SD_Info.FileListe.at(static_cast<size_t>(i)); }
  std::string Kml() const { return (startup.Path() / "SD_Belumar.kml").string(); }
  TRunOutcome Run(const std::string& startupDir = "") {
    TRunInputs in{state, catalogue, window, 0, nullptr, nullptr,
                  startupDir.empty() ? startup.Path().string() + "/" : startupDir, sink, box, &opener};
    return RunAnalysis(in);
  }
};

// A file that no longer holds what the scan read stops the run before anything is
// written; one that only grew, or was touched, is read as before.
TEST(CardChangedAfterTheScan, ChangedFilesStopTheRunGrownOrTouchedOnesDoNot) {
  const auto sameSizeOtherContent = [](const TCardRun& r) {
    std::string text = test::ReadFileBytes(r.File(1));
    text[text.find("211000002") + 8] = '9';  // the vessel's MMSI, length kept
    test::WriteFileBytes(r.File(1), text);
  };
  struct TCase {
    const char* Name;
    std::function<void(const TCardRun&)> Change;
    std::string Changed;  // the names the message gives; empty: the run completes
  } cases[] = {
      {"first file removed", [](const TCardRun& r) { fs::remove(r.File(0)); }, "00000001.LOG"},
      {"last file cut to half", [](const TCardRun& r) { fs::resize_file(r.File(2), fs::file_size(r.File(2)) / 2); },
       "00000003.LOG"},
      {"same size, other content", sameSizeOtherContent, "00000002.LOG"},
      {"middle file now a directory",
       [](const TCardRun& r) {
         fs::remove(r.File(1));
         fs::create_directory(r.File(1));
       },
       "00000002.LOG"},
      {"all files removed",
       [](const TCardRun& r) {
         for (int i = 0; i < 3; ++i) fs::remove(r.File(i));
       },
       "00000001.LOG, 00000002.LOG, 00000003.LOG"},
      {"grown", [](const TCardRun& r) { test::AppendFileBytes(r.File(2), Rmc("103000") + "\r\n"); }, ""},
      {"touched, identical",
       [](const TCardRun& r) {
         fs::last_write_time(r.File(0), fs::last_write_time(r.File(0)) + std::chrono::hours(1));
         test::WriteFileBytes(r.File(1), test::ReadFileBytes(r.File(1)));
       },
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCardRun r;
    r.startup.Write("SD_Belumar.kml", "earlier");
    c.Change(r);
    const TRunOutcome outcome = r.Run();
    if (c.Changed.empty()) {
      EXPECT_EQ(outcome, TRunOutcome::Completed);
      EXPECT_TRUE(r.box.Texts.empty());
      EXPECT_EQ(r.opener.Opened.size(), 1u);
      EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), "Lines read : 36"), 1);
      continue;
    }
    const std::string text = "The SD card has changed since it was opened: " + c.Changed + ". Please open it again.";
    EXPECT_EQ(outcome, TRunOutcome::CardChanged);
    EXPECT_EQ(r.box.Texts, std::vector<std::string>{text});
    EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), text), 1);
    EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), "-Lines not read : 36"), 1);
    EXPECT_EQ(test::ReadFileBytes(r.Kml()), "earlier");
    EXPECT_TRUE(r.opener.Opened.empty());
  }
}

TEST(CardChangedAfterTheScan, MessageNamesFiveFilesAtMost) {
  EXPECT_EQ(CardChangedText({"A.LOG", "B.LOG", "C.LOG", "D.LOG", "E.LOG", "F.LOG"}),
            "The SD card has changed since it was opened: A.LOG, B.LOG, C.LOG, D.LOG, E.LOG, …. Please open it "
            "again.");
}

// A read that fails in the middle of the run (a card pulled out) stops it with the file
// and line named; nothing is written, and the account still covers every line.
TEST(CardChangedAfterTheScan, ReadErrorDuringTheRun) {
  TCardRun r;
  r.startup.Write("SD_Belumar.kml", "earlier");
  TRunOutcome outcome;
  {
    test::TReadFault fault(r.File(1), 0);
    outcome = r.Run();
  }
  const std::string text = "Reading 00000002.LOG stopped at line 0: Input/output error.";
  EXPECT_EQ(outcome, TRunOutcome::ReadFailed);
  EXPECT_EQ(r.box.Texts, std::vector<std::string>{text});
  EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), text), 1);
  EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), "Lines read : 12"), 1);
  EXPECT_EQ(std::count(r.sink.Lines.begin(), r.sink.Lines.end(), "-Lines not read : 24"), 1);
  EXPECT_EQ(test::ReadFileBytes(r.Kml()), "earlier");
  EXPECT_TRUE(r.opener.Opened.empty());
}

// A receiver hit by the week-number rollover writes year 99: the calendars offer 1999,
// and the tracks must be those of the same card with its own years, dated 1999.
TEST(CardChangedAfterTheScan, YearNinetyNineGivesTheSameTracksIn1999) {
  const auto tracks = [](bool rollover) {
    test::TTempDir card;
    for (const char* name : {"00000001.LOG", "00000002.LOG", "00000003.LOG"}) {
      std::string out;
      for (std::string line : test::SplitLines(test::ReadFileBytes(test::SourceDir() / "samples" / name))) {
        if (rollover && (line.rfind("$GPRMC", 0) == 0 || line.rfind("$ECZDA", 0) == 0)) {
          // $GPRMC date field 9 ends in the year, ZDA field 4 is the year.
          std::string body = line.substr(0, line.find('*'));
          const bool sound = test::WithChecksum(body) == line;  // a bad checksum stays bad
          size_t at = 0;
          for (int comma = 0; comma < (line[1] == 'G' ? 9 : 4) && at != std::string::npos; ++comma)
            at = body.find(',', at + 1);
          const size_t end = at == std::string::npos ? at : body.find(',', at + 1);
          if (end != std::string::npos && end - at == 7) body.replace(end - 2, 2, "99");
          if (end != std::string::npos && end - at == 5) body.replace(at + 1, 4, "1999");
          line = sound ? test::WithChecksum(body) : body + line.substr(std::min(line.find('*'), line.size()));
        }
        out += line + "\r\n";
      }
      card.Write(name, out);
    }
    TCatalogue catalogue;
    test::TRecordingSink sink;
    TBox box;
    TOpenResult opened = OpenLogDirectory(catalogue, card.Path().string(), sink, box, 2026);
    EXPECT_TRUE(catalogue.DataAvailable);
    opened.Window.EndDay = catalogue.LogList.back().LogDate;
    MonthCalendar_EndClick(catalogue, opened.Window);
    TAnalysisState state;
    TRunInputs in{state, catalogue, opened.Window, 2, nullptr, nullptr, "", sink, box};
    EXPECT_EQ(RunAnalysis(in), TRunOutcome::Completed);
    std::vector<std::string> points;
    for (const TStatic& ship : state.aShipList)
      for (size_t k = 0; k < ship.aPlot.size(); ++k)
        points.push_back(ship.MMSI + " " + test::PointAt(ship, k).TimeStampStr);
    return points;
  };
  const std::vector<std::string> own = tracks(false), rolled = tracks(true);
  ASSERT_EQ(rolled.size(), own.size());
  EXPECT_GT(own.size(), 400u);
  for (size_t i = 0; i < own.size(); ++i) {
    std::string dated = own[i];
    dated.replace(dated.find(" 2011-") + 1, 4, "1999");
    EXPECT_EQ(rolled[i], dated);
  }
}

// --- the document cannot be written --------------------------------------------------------

const char kCreateFailed[] = "Google-Datei konnte nicht angelegt werden.";
const char kWriteFailed[] = "Google-Datei konnte nicht geschrieben werden.";

TEST(KmlOutput, ReadOnlyStartupDirectory) {
  TCardRun r;
  std::string dir = r.startup.Path().string() + "/";
  if (::geteuid() == 0) {
    dir = "/proc/self/";  // root writes into any mode-0555 directory; nothing is created here
  } else {
    fs::permissions(r.startup.Path(), fs::perms::owner_read | fs::perms::owner_exec);
  }
  EXPECT_EQ(r.Run(dir), TRunOutcome::KmlCreateFailed);
  EXPECT_EQ(r.box.Texts, std::vector<std::string>{kCreateFailed});
  EXPECT_TRUE(r.opener.Opened.empty());
  fs::permissions(r.startup.Path(), fs::perms::owner_all);
}

// The earlier document stays byte for byte whenever the new one cannot be completed, and
// nothing is left beside it.
TEST(KmlOutput, FailedWritesKeepTheEarlierDocument) {
  const std::string earlier = "<?xml version=\"1.0\"?><kml>earlier</kml>\r\n";
  struct TCase {
    const char* Name;
    void (*Prepare)(const TCardRun&, const std::string& earlier);
    TRunOutcome Outcome;
    const char* Text;
  } cases[] = {
      {"disk full from the first byte",
       [](const TCardRun& r, const std::string& e) {
         r.startup.Write("SD_Belumar.kml", e);
         fs::create_symlink("/dev/full", r.Kml() + ".part");
       },
       TRunOutcome::KmlCreateFailed, kCreateFailed},
      {"document replaced by an empty directory",
       [](const TCardRun& r, const std::string&) { fs::create_directory(r.Kml()); }, TRunOutcome::KmlWriteFailed,
       kWriteFailed},
      {"document replaced by a directory with files",
       [](const TCardRun& r, const std::string&) { fs::create_directories(fs::path(r.Kml()) / "keep"); },
       TRunOutcome::KmlWriteFailed, kWriteFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TCardRun r;
    c.Prepare(r, earlier);
    EXPECT_EQ(r.Run(), c.Outcome);
    EXPECT_EQ(r.box.Texts, std::vector<std::string>{c.Text});
    EXPECT_TRUE(r.opener.Opened.empty());
    if (fs::is_regular_file(r.Kml())) {
      EXPECT_EQ(test::ReadFileBytes(r.Kml()), earlier);
    }
    EXPECT_FALSE(fs::exists(fs::symlink_status(r.Kml() + ".part")));
  }
}

// The disk fills up in the middle of the body: a file size limit stops the writes there,
// after the head has reached the file.
TEST(KmlOutput, DiskFullInTheMiddleOfTheBody) {
  TCardRun r;
  // 2,400 vessels: a document of megabytes, beyond the limit and the writer's buffer.
  std::string big;
  for (int s = 0; s < 60; ++s) {
    char t[8];
    std::snprintf(t, sizeof t, "1000%02d", s);
    big += Rmc(t) + "\r\n";
    for (uint32_t v = 0; v < 40; ++v)
      big += Vdm(Msg1(300000000 + v * 100 + static_cast<uint32_t>(s), 54.0, 8.0)) + "\r\n";
  }
  r.card.Write(r.catalogue.SD_Info.FileListe[0], big);
  r.Rescan();
  r.catalogue.LogList.resize(1);
  r.catalogue.LogList[0].Line_End = 60 * 41 - 1;
  const std::string earlier = "earlier\r\n";
  r.startup.Write("SD_Belumar.kml", earlier);

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const TRunOutcome outcome = r.Run();
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(outcome, TRunOutcome::KmlWriteFailed);
  EXPECT_GT(r.state.aShipList.size(), 2400u);
  EXPECT_EQ(r.box.Texts, std::vector<std::string>{kWriteFailed});
  EXPECT_EQ(test::ReadFileBytes(r.Kml()), earlier);
  EXPECT_FALSE(fs::exists(r.Kml() + ".part"));
  EXPECT_TRUE(r.opener.Opened.empty());
}

// A document that is a symlink to /dev/full is replaced by the finished file; the device
// is never written.
TEST(KmlOutput, DocumentSymlinkedToDevFullIsReplaced) {
  TCardRun r;
  fs::create_symlink("/dev/full", r.Kml());
  EXPECT_EQ(r.Run(), TRunOutcome::Completed);
  EXPECT_FALSE(fs::is_symlink(r.Kml()));
  EXPECT_EQ(test::ReadFileBytes(r.Kml()).rfind("<?xml", 0), 0u);
  EXPECT_TRUE(r.box.Texts.empty());
}

}  // namespace
}  // namespace pelorin
