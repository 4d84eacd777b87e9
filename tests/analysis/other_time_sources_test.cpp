// Logs without GPS time sentences: the scan's index and the pass's times from tag blocks
// and base stations, which must agree line for line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/log_pass.h"
#include "ais_test_encoder.h"
#include "catalogue/log_report.h"
#include "catalogue/log_scan.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::Msg1;
using test::Msg4;
using test::Vdm;

constexpr int kYear = 2025;
constexpr uint32_t kShipA = 211000001, kShipB = 211000002, kShipC = 211000003;
constexpr uint32_t kStation = 2111240, kVessel = 211000009;

TDateTime At(int d, int h, int mi, int s) {
  TDateTime t = 0;
  EXPECT_TRUE(TryEncodeDateTime(2011, 4, d, h, mi, s, t));
  return t;
}

std::string Tagged(int d, int h, int mi, int s, const std::string& sentence) {
  const int64_t unix = TDateTimeToSeconds(At(d, h, mi, s)) - int64_t{25569} * 86400;
  return test::WithChecksum("\\s:R1,c:" + std::to_string(unix)) + "\\" + sentence;
}

std::string Report(uint32_t mmsi) { return Vdm(Msg1(mmsi, 54.1, 7.9)); }

// A scanned card, and the passes of its entries as the run makes them.
struct TSourceCard {
  test::TTempDir Dir;
  TCatalogue Catalogue;
  test::TRecordingSink Sink;
  TAnalysisState State;

  void Add(const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    Catalogue.SD_Info.DirectoryName = Dir.Path().string() + "/";
    Catalogue.SD_Info.FileListe.push_back(name);
    Dir.Write(name, text);
  }
  void Scan() { ScanLogFiles(Catalogue, Sink, kYear); }
  // Entries [first, last] with the window of the whole two days.
  void Pass(size_t first, size_t last) {
    for (size_t i = first; i <= last; ++i) {
      const TLogDateTime& e = Catalogue.LogList.at(i);
      TLogPassOptions options;
      options.Source = Catalogue.FileTimeSource.at(static_cast<size_t>(e.File_Index));
      options.CurrentYear = kYear;
      const std::string path = Catalogue.SD_Info.DirectoryName + Catalogue.SD_Info.FileListe[e.File_Index];
      if (i == first)
        ReadLogFile_First(State, path, e.Line_Start, e.Line_End, At(7, 0, 0, 0), At(8, 23, 59, 0), options, Sink);
      else
        ReadLogFile_Next(State, path, e.Line_Start, e.Line_End, At(7, 0, 0, 0), At(8, 23, 59, 0), options, Sink);
    }
  }
  std::vector<std::string> Times(uint32_t mmsi) const {
    std::vector<std::string> out;
    for (const TStatic& s : State.aShipList)
      if (s.MMSI == std::to_string(mmsi))
        for (const TDynamic& p : s.aPlot) out.push_back(test::StringsOf(s.aPlot, p).TimeStampStr);
    return out;
  }
  size_t LineAfter(const std::string& line) const {
    for (size_t i = 0; i + 1 < Sink.Lines.size(); ++i)
      if (Sink.Lines[i] == line) return i + 1;
    return 0;
  }
};

void ExpectEntry(const TLogDateTime& e, TDateTime start, TDateTime end, int64_t first, int64_t last) {
  EXPECT_EQ(FormatLogDateTime(e.LogDateTime_Start), FormatLogDateTime(start));
  EXPECT_EQ(FormatLogDateTime(e.LogDateTime_End), FormatLogDateTime(end));
  EXPECT_EQ(e.LogDate, static_cast<TDateTime>(TDateTimeDay(start)));
  EXPECT_EQ(e.Line_Start, first);
  EXPECT_EQ(e.Line_End, last);
}

TEST(OtherTimeSources, TagBlocksTimeTheirLinesAndThoseAfterThem) {
  TSourceCard card;
  card.Add("R.nmea", {
                         Tagged(7, 23, 59, 50, Report(kShipA)),
                         Report(kShipB),                                                    // plain: last time
                         "\\s:R1,c:1302220790*00\\" + Report(kShipC),                      // bad checksum
                         Tagged(8, 0, 0, 25, Report(kShipA)),
                         Report(kShipB),
                     });
  card.Scan();
  ASSERT_EQ(card.Catalogue.FileTimeSource, std::vector<TTimeSource>{TTimeSource::TagBlocks});
  EXPECT_EQ(card.Sink.Lines.at(card.LineAfter("Number of Lines in File[0]: 5")), "Time source in File[0]: tag blocks");
  ASSERT_EQ(card.Catalogue.LogList.size(), 2u);
  ExpectEntry(card.Catalogue.LogList[0], At(7, 23, 59, 50), At(7, 23, 59, 50), 0, 2);
  ExpectEntry(card.Catalogue.LogList[1], At(8, 0, 0, 25), At(8, 0, 0, 25), 3, 4);

  card.Pass(0, 1);
  EXPECT_EQ(card.Times(kShipA), (std::vector<std::string>{"2011-04-07T23:59:50Z", "2011-04-08T00:00:25Z"}));
  EXPECT_EQ(card.Times(kShipB), (std::vector<std::string>{"2011-04-07T23:59:50Z", "2011-04-08T00:00:25Z"}));
  EXPECT_EQ(card.Times(kShipC), std::vector<std::string>{"2011-04-07T23:59:50Z"});
  EXPECT_EQ(card.State.Account.LinesTimedByTagBlocks, 2);
  EXPECT_EQ(card.State.Account.TagBlockChecksums, 1);
}

TEST(OtherTimeSources, BaseStationsTimeTheFileOnlyWhenPlausible) {
  TSourceCard card;
  card.Add("BS.LOG", {
                         Report(kShipA),                                      // no time yet
                         Vdm(Msg4(kStation, 2011, 4, 7, 23, 59, 40)),         // the first sets the clock
                         Vdm(Msg4(kStation, 2011, 4, 7, 23, 59, 50)),
                         Report(kShipA),
                         Vdm(Msg4(kVessel, 2006, 1, 1, 0, 0, 0)),
                         Vdm(Msg4(kStation, 4161, 4, 7, 23, 59, 55)),
                         Vdm(Msg4(kStation, 2011, 15, 7, 23, 59, 55)),
                         Vdm(Msg4(kStation, 2011, 4, 7, 24, 0, 0)),
                         Vdm(Msg4(kStation, 2011, 4, 8, 0, 0, 30, 11)),
                         Report(kShipA),
                     });
  card.Scan();
  ASSERT_EQ(card.Catalogue.FileTimeSource, std::vector<TTimeSource>{TTimeSource::BaseStations});
  EXPECT_EQ(card.Sink.Lines.at(card.LineAfter("Number of Lines in File[0]: 10")),
            "Time source in File[0]: base stations");
  ASSERT_EQ(card.Catalogue.LogList.size(), 2u);
  ExpectEntry(card.Catalogue.LogList[0], At(7, 23, 59, 40), At(7, 23, 59, 50), 0, 7);
  ExpectEntry(card.Catalogue.LogList[1], At(8, 0, 0, 30), At(8, 0, 0, 30), 8, 9);

  // The second day alone: its clock is the one the scan had at its first line.
  card.Pass(1, 1);
  EXPECT_EQ(card.Times(kShipA), std::vector<std::string>{"2011-04-08T00:00:30Z"});
  card.Pass(0, 1);
  EXPECT_EQ(card.Times(kShipA), (std::vector<std::string>{"2011-04-07T23:59:50Z", "2011-04-08T00:00:30Z"}));
  EXPECT_EQ(card.State.Account.StationTimesImplausible, 4);
  EXPECT_EQ(card.State.Account.TimeInWindow, 3);
  EXPECT_EQ(card.State.Account.AisWindowClosed, 1);
}

TEST(OtherTimeSources, TimeGoingBackwardsBetweenFilesKeepsTheFileOrder) {
  TSourceCard card;
  card.Add("B.txt", {Tagged(8, 10, 0, 0, Report(kShipA)), Tagged(8, 10, 1, 0, Report(kShipA))});
  card.Add("A.txt", {Tagged(7, 9, 0, 0, Report(kShipA)), Report(kShipB)});
  card.Scan();
  ASSERT_EQ(card.Catalogue.LogList.size(), 2u);
  ExpectEntry(card.Catalogue.LogList[0], At(8, 10, 0, 0), At(8, 10, 1, 0), 0, 1);
  EXPECT_EQ(card.Catalogue.LogList[1].File_Index, 1);
  ExpectEntry(card.Catalogue.LogList[1], At(7, 9, 0, 0), At(7, 9, 0, 0), 0, 1);
  card.Pass(0, 1);
  // Running backwards counts as within 30 seconds of the last point.
  EXPECT_EQ(card.Times(kShipA), (std::vector<std::string>{"2011-04-08T10:00:00Z", "2011-04-08T10:01:00Z"}));
  EXPECT_EQ(card.Times(kShipB), std::vector<std::string>{"2011-04-07T09:00:00Z"});
}

TEST(OtherTimeSources, GpsTimeSentencesKeepTheirFileAndTagBlockedLinesAreRead) {
  TSourceCard card;
  card.Add("G.LOG", {test::Rmc("100000"), Tagged(8, 23, 0, 0, Report(kShipA)), Report(kShipB),
                     Tagged(8, 23, 0, 0, Vdm(Msg4(kStation, 2011, 4, 8, 23, 0, 0)))});
  card.Scan();
  EXPECT_EQ(card.Catalogue.FileTimeSource, std::vector<TTimeSource>{TTimeSource::GpsSentences});
  EXPECT_EQ(card.LineAfter("Time source in File[0]: tag blocks"), 0u);
  ASSERT_EQ(card.Catalogue.LogList.size(), 1u);
  ExpectEntry(card.Catalogue.LogList[0], At(7, 10, 0, 0), At(7, 10, 0, 0), 0, 3);
  card.Pass(0, 0);
  EXPECT_EQ(card.Times(kShipA), std::vector<std::string>{"2011-04-07T10:00:00Z"});
  EXPECT_EQ(card.Times(kShipB), std::vector<std::string>{"2011-04-07T10:00:00Z"});
  EXPECT_EQ(card.State.Account.UnusedTypes[4], 1);
}

// A file whose only time is a bad tag block, and one with a $GPZDA (which the pass reads
// and the scan does not): both as they always were.
// A file without a line that begins with "$" is searched for its change of day instead
// of read line by line; one "$" line (a receiver's own sentence) makes it read through.
// Both give one index, and the last line stays in its day's entry.
TEST(OtherTimeSources, TagBlockedFileIsIndexedAlikeSearchedOrReadThrough) {
  for (const std::string& odd : {Report(kShipB), std::string("$AITXT,01,01,91,FREQ 2087*41"),
                                 std::string("!AIVDM,1,1,,A,1$,0*00")}) {
    SCOPED_TRACE(odd);
    std::vector<std::string> lines;
    for (int m = 0; m < 300; ++m) {
      const int minutes = 23 * 60 + 30 + m;  // 23:30 on the 7th to 4:29 on the 8th
      lines.push_back(Tagged(7 + minutes / 1440, minutes / 60 % 24, minutes % 60, 0, Report(kShipA)));
      if (m % 7 == 3) lines.push_back(m == 101 ? odd : Report(kShipB));
    }
    TSourceCard card;
    card.Add("T.nmea", lines);
    card.Scan();
    ASSERT_EQ(card.Catalogue.LogList.size(), 2u);
    const int64_t last = static_cast<int64_t>(lines.size()) - 1;
    ExpectEntry(card.Catalogue.LogList[0], At(7, 23, 30, 0), At(7, 23, 59, 0), 0, 33);
    ExpectEntry(card.Catalogue.LogList[1], At(8, 0, 0, 0), At(8, 4, 29, 0), 34, last);
  }
}

TEST(OtherTimeSources, FilesWithoutOtherTimesStayAsBefore) {
  TSourceCard card;
  card.Add("N.LOG", {"\\s:R1,c:1302220790*00\\" + Report(kShipA), Report(kShipB)});
  card.Add("Z.LOG", {"$GPZDA,093016.00,07,04,2011,00,00*6A", Tagged(7, 9, 0, 0, Report(kShipA))});
  card.Scan();
  EXPECT_EQ(card.Catalogue.FileTimeSource, (std::vector<TTimeSource>{TTimeSource::GpsSentences,
                                                                     TTimeSource::GpsSentences}));
  ASSERT_EQ(card.Catalogue.LogList.size(), 2u);
  ExpectEntry(card.Catalogue.LogList[0], 0, 0, 0, 1);
  ExpectEntry(card.Catalogue.LogList[1], 0, 0, 0, 1);
}

}  // namespace
}  // namespace pelorin
