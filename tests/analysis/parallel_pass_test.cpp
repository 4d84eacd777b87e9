// The pass with the lines read and decoded by several threads in small pieces builds the
// same table, counters and account as on one thread: windows that open and close inside
// a piece, and two-sentence messages across the edges of pieces, included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ais_test_encoder.h"
#include "analysis/log_pass.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using namespace test;

// Everything a pass leaves behind, as text.
std::string Outcome(const TAnalysisState& s) {
  std::string out = std::to_string(s.Num_Dynamic) + " " + std::to_string(s.Num_Static) + " " +
                    std::to_string(s.InTimeWindow) + " " + s.GPS_TimeStampStr + "\n";
  for (const auto& line : LineAccountReport(s.Account)) out += line + "\n";
  for (const TStatic& v : s.aShipList) {
    out += v.MMSI + "|" + v.AISclass + "|" + v.ShipName + "|" + v.CallSign + "|" + std::to_string(v.Num_Msg5) + "|" +
           std::to_string(v.Num_Msg14) + "|" + v.NavStatus + "\n";
    for (size_t k = 0; k < v.aPlot.size(); ++k) {
      const test::TPointStrings p = test::PointAt(v, k);
      out += " " + p.MMSI + " " + p.Lat + " " + p.Lon + " " + p.Speed + " " + p.TimeStampStr + "\n";
    }
  }
  return out;
}

// Time sentences every few lines, the window 10:00:20 to 10:01:10 opening and closing
// among them, position reports, a message 5 in two sentences (some with a damaged or
// missing part), message 24 and 14, an own report, and lines that are no sentence.
std::string Log() {
  std::string text;
  for (int s = 0; s < 100; ++s) {
    char hhmmss[8];
    std::snprintf(hhmmss, sizeof hhmmss, "1000%02d", s < 60 ? s : s - 60);
    if (s >= 60) hhmmss[3] = '1';
    text += (s % 3 == 0 ? Zda(hhmmss) : Rmc(hhmmss)) + "\r\n";
    const uint32_t mmsi = 211000000 + static_cast<uint32_t>(s % 7);
    text += Vdm(Msg1(mmsi, 54.0 + s / 1000.0, 8.0)) + "\r\n";
    text += Vdm(Msg18(244000000 + static_cast<uint32_t>(s % 3), 53.5, 7.5 + s / 1000.0)) + "\n";
    const std::string five = Msg5(mmsi, "SHIP " + std::to_string(s), "CALL");
    text += VdmPart(five.substr(0, 60), 1, std::to_string(s % 10)) + "\r\n";
    if (s % 4 != 0) text += VdmPart(five.substr(60), 2, std::to_string(s % 10)) + "\r\n";
    if (s % 5 == 0) text += Vdm(Msg24A(mmsi, "PART A")) + "\r" + Vdm(Msg24B(mmsi, "PB")) + "\r\n";
    if (s % 11 == 0) text += Vdm(Msg14(970000001, "SART ACTIVE"), "AIVDO") + "\r\n";
    if (s % 13 == 0) text += Vdm(Msg1(211999999, 54.1, 8.1), "AIVDO") + "\r\n" + "not a sentence\r\n\r\n";
  }
  return text;
}

TEST(ParallelPass, SameOutcomeWithAnyThreadsAndPieces) {
  TTempDir dir;
  const std::string path = dir.Write("P.LOG", Log()).string();
  TLineReader lines;
  ASSERT_TRUE(lines.Open(path) && lines.Index());
  TDateTime start = 0, end = 0;
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, 10, 0, 20, start));
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, 10, 1, 10, end));
  TNullSink sink;
  bool reduced = false;
  // A whole range and one that starts and ends inside pieces, then a further pass.
  for (const int64_t from : {int64_t{0}, int64_t{77}}) {
    std::string expected;
    for (const unsigned threads : {1u, 2u, 3u}) {
      for (const size_t piece : {size_t{0}, size_t{100}, size_t{700}}) {
        TLogPassOptions options;
        options.ReducedData = &reduced;
        options.Threads = threads;
        options.PieceBytes = piece;
        TAnalysisState state;
        ASSERT_TRUE(ReadLogFile_First(state, path, from, lines.LineCount() - 2, start, end, options, sink));
        ASSERT_TRUE(ReadLogFile_Next(state, path, 3, lines.LineCount() - 1, start, end, options, sink));
        const std::string outcome = Outcome(state);
        if (expected.empty()) expected = outcome;
        ASSERT_EQ(outcome, expected) << threads << " threads, pieces of " << piece;
      }
    }
    EXPECT_NE(expected.find("|SHIP 6"), std::string::npos) << expected;  // message 5 joined and used
  }
}

}  // namespace
}  // namespace pelorin
