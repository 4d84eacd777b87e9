// The pieces hand out every line of the range once and in order, whatever their size and
// the number of threads: CR, LF and CR LF ends, a CR LF split by a piece's edge, a line
// longer than a piece, no end on the last line. A file cut short while it is read ends
// the pieces where it now ends.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/piece_feed.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

std::string Card() {
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text += "!AIVDM,1,1,,A,line " + std::to_string(i) + ",0*00";
    text += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
    if (i == 150) text += std::string(5000, 'x') + "\r\n\r\n";
  }
  return text + "last line without an end";
}

std::vector<std::string> Lines(TLineReader& reader) {
  std::vector<std::string> lines;
  std::string_view line;
  reader.Seek(0);
  while (reader.Next(line)) lines.emplace_back(line);
  return lines;
}

std::vector<std::string> FedLines(TPieceFeed& feed) {
  std::vector<std::string> lines;
  while (const TLinePiece* piece = feed.Next())
    for (const TLineRecord& r : RecordsOf(*piece)) lines.emplace_back(r.Line());
  return lines;
}

TEST(PieceFeed, EveryLineOnceInOrder) {
  test::TTempDir dir;
  const std::string path = dir.Write("F.LOG", Card()).string();
  TLineReader reader;
  ASSERT_TRUE(reader.Open(path) && reader.Index());
  const std::vector<std::string> expected = Lines(reader);
  ASSERT_EQ(expected.size(), 303u);
  // Every size from 64 to 140 puts some piece's edge between a CR and its LF.
  std::vector<size_t> sizes = {4096, kDefaultPieceBytes};
  for (size_t size = 64; size <= 140; ++size) sizes.push_back(size);
  for (const unsigned threads : {1u, 2u, 3u, 9999u})
    for (const size_t piece : sizes) {
      TPieceFeed feed(piece, threads);
      feed.Begin(reader, 0, reader.LineCount() - 1, 2026);
      ASSERT_EQ(FedLines(feed), expected) << threads << " threads, pieces of " << piece;
    }
}

// A run's feed goes from range to range; a range left after its first piece, with pieces
// still in flight, does not spill into the next.
TEST(PieceFeed, OneFeedForConsecutiveRanges) {
  test::TTempDir dir;
  TLineReader first, second;
  ASSERT_TRUE(first.Open(dir.Write("A.LOG", Card()).string()) && first.Index());
  ASSERT_TRUE(second.Open(dir.Write("B.LOG", "other\n" + Card()).string()) && second.Index());
  const std::vector<std::string> a = Lines(first), b = Lines(second);
  for (const unsigned threads : {1u, 2u, 3u}) {
    TPieceFeed feed(100, threads);
    feed.Begin(first, 0, first.LineCount() - 1, 2026);
    ASSERT_NE(feed.Next(), nullptr);
    feed.Begin(second, 0, second.LineCount() - 1, 2026);
    EXPECT_EQ(FedLines(feed), b) << threads;
    feed.Begin(first, 0, first.LineCount() - 1, 2026);
    EXPECT_EQ(FedLines(feed), a) << threads;
    feed.End();
    EXPECT_EQ(feed.Next(), nullptr);
  }
}

// A decoded report's numbers survive the record at the extremes of their widths.
TEST(LineRecord, DecodedReportKeepsEveryField) {
  struct Case { uint32_t mmsi; int32_t lon, lat; uint16_t speed, cog, th; uint8_t status; };
  const Case cases[] = {
      {1, 0, 0, 0, 0, 0, 0},
      {(1u << 30) - 1, (1 << 27) - 1, (1 << 26) - 1, 1023, 4095, 511, 15},
      {211000001, -(1 << 27), -(1 << 26), 1, 3600, 360, 8},
      {999999999, 108600000, 54600000, 1022, 3599, 359, 5},  // "not available"
      {123456789, -108000000, -54000000, 102, 1, 1, 1},
  };
  for (const Case& c : cases)
    for (const TSentenceKind kind : {sk_AIS, sk_OwnAIS}) {
      TMsg1 m1;
      m1.MMSI = c.mmsi, m1.Lon = c.lon, m1.Lat = c.lat, m1.Speed = c.speed, m1.COG = c.cog, m1.TH = c.th;
      m1.NavStatus = c.status;
      TLineRecord r{};
      TRecordWords w = PositionWords(m1, kind);
      std::memcpy(static_cast<void*>(&r), &w, sizeof r);
      const TMsg1 b1 = RecordMsg1(r);
      EXPECT_TRUE(r.Decoded() && r.Kind() == kind && r.Count() == pd_One && r.Line().empty()) << c.mmsi;
      EXPECT_EQ(std::tie(b1.MMSI, b1.Lon, b1.Lat, b1.Speed, b1.COG, b1.TH, b1.NavStatus),
                std::tie(m1.MMSI, m1.Lon, m1.Lat, m1.Speed, m1.COG, m1.TH, m1.NavStatus));
      TMsg18 m18;
      m18.MMSI = c.mmsi, m18.Lon = c.lon, m18.Lat = c.lat, m18.SOG = c.speed, m18.COG = c.cog, m18.TH = c.th;
      w = PositionWords(m18, kind);
      std::memcpy(static_cast<void*>(&r), &w, sizeof r);
      const TMsg18 b18 = RecordMsg18(r);
      EXPECT_TRUE(r.Decoded() && (r.Tag & TLineRecord::kDecoded18) != 0 && r.Kind() == kind);
      EXPECT_EQ(std::tie(b18.MMSI, b18.Lon, b18.Lat, b18.SOG, b18.COG, b18.TH),
                std::tie(m18.MMSI, m18.Lon, m18.Lat, m18.SOG, m18.COG, m18.TH));
    }
}

TEST(PieceFeed, FileCutShortWhileReadEndsThePieces) {
  for (const unsigned threads : {1u, 2u}) {
    test::TTempDir dir;
    const std::string text = Card();
    const std::string path = dir.Write("F.LOG", text).string();
    TLineReader reader;
    ASSERT_TRUE(reader.Open(path) && reader.Index());
    const std::vector<std::string> whole = Lines(reader);
    TPieceFeed feed(100, threads);
    feed.Begin(reader, 0, reader.LineCount() - 1, 2026);
    std::filesystem::resize_file(path, text.size() / 2);
    const std::vector<std::string> fed = FedLines(feed);
    // The lines up to the cut, the last of them as far as it still goes.
    ASSERT_FALSE(fed.empty());
    ASSERT_LT(fed.size(), whole.size());
    for (size_t i = 0; i + 1 < fed.size(); ++i) EXPECT_EQ(fed[i], whole[i]) << i;
    EXPECT_EQ(whole[fed.size() - 1].rfind(fed.back(), 0), 0u) << fed.back();
  }
}

}  // namespace
}  // namespace pelorin
