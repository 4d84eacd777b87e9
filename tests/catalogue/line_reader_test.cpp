// Reading a log file piece by piece: the same lines as a plain split of the whole text,
// found in order, by number and by their first characters, across the pieces' edges.
#include "catalogue/line_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace pelorin {
namespace {

// Lines end at CR LF, CR or LF; a last line without an end counts.
std::vector<std::string> WholeFileLines(const std::string& text) {
  std::vector<std::string> out;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') {
      line += text[i];
      continue;
    }
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out.push_back(std::move(line));
    line.clear();
  }
  if (!line.empty()) out.push_back(line);
  return out;
}

// Content with every kind of line end, long enough for several pieces and checkpoints.
std::string MixedContent(std::mt19937& rng, size_t bytes) {
  const char* ends[] = {"\r\n", "\n", "\r", "\r\r\n", "\n\r"};
  std::string s;
  while (s.size() < bytes) {
    const size_t n = rng() % 3 == 0 ? rng() % 5 : 20 + rng() % 70;
    for (size_t i = 0; i < n; ++i) s += static_cast<char>("!AIVDM,*0159$"[rng() % 13]);
    s += ends[rng() % 5];
  }
  return s;
}

TEST(LineReader, SameLinesAsTheWholeFileInOrderAndByNumber) {
  std::mt19937 rng(17);
  test::TTempDir dir;
  // Small, around one piece (1 MiB) and over two, and without a last line end.
  for (size_t bytes : {0u, 1u, 300u, (1u << 20) - 1, (1u << 20) + 1, 2600000u}) {
    std::string content = MixedContent(rng, bytes);
    if (bytes % 2 == 1 && !content.empty()) content += "tail";
    const std::string path = dir.Write("M.LOG", content).string();
    const std::vector<std::string> want = WholeFileLines(content);
    TLineReader r;
    ASSERT_TRUE(r.Open(path));
    ASSERT_TRUE(r.Index());
    ASSERT_EQ(r.LineCount(), static_cast<int64_t>(want.size())) << bytes;
    if (want.empty()) {
      EXPECT_FALSE(r.Seek(0));
      continue;
    }
    ASSERT_TRUE(r.Seek(0));
    std::string_view line;
    for (size_t i = 0; i < want.size(); ++i) {
      ASSERT_TRUE(r.Next(line)) << i;
      ASSERT_EQ(line, want[i]) << i;
    }
    EXPECT_FALSE(r.Next(line));
    for (int k = 0; k < 300; ++k) {
      const int64_t i = static_cast<int64_t>(rng() % want.size());
      std::string_view text;
      ASSERT_TRUE(r.Line(i, text));
      ASSERT_EQ(text, want[static_cast<size_t>(i)]) << i;
      ASSERT_TRUE(r.LineHead(i, 6, text));
      ASSERT_EQ(text, std::string_view(want[static_cast<size_t>(i)]).substr(0, 6)) << i;
    }
  }
}

// A CR LF split by the edge of a piece is one end, a CR there followed by other text is one.
TEST(LineReader, LineEndOnThePieceEdge) {
  test::TTempDir dir;
  for (const char* after : {"\n", "x"}) {
    std::string content(1u << 20, 'a');
    content[(1u << 20) - 1] = '\r';
    content += after;
    content += "last";
    const std::string path = dir.Write("E.LOG", content).string();
    TLineReader r;
    ASSERT_TRUE(r.Open(path));
    ASSERT_TRUE(r.Index());
    EXPECT_EQ(r.LineCount(), static_cast<int64_t>(WholeFileLines(content).size()));
    std::string_view text;
    ASSERT_TRUE(r.Line(1, text));
    EXPECT_EQ(text, after[0] == '\n' ? "last" : "xlast");
  }
}

TEST(LineReader, KnownIndexOnlyForTheSameFile) {
  test::TTempDir dir;
  const std::string path = dir.Write("K.LOG", "1\n2\n3\n").string();
  TLineReader first;
  ASSERT_TRUE(first.Open(path));
  ASSERT_TRUE(first.Index());
  const TLineIndex index = first.LineIndex();
  TLineReader again;
  ASSERT_TRUE(again.Open(path));
  EXPECT_TRUE(again.AdoptIndex(index));
  EXPECT_EQ(again.LineCount(), 3);
  dir.Write("K.LOG", "1\n2\n3\n4\n");  // changed: size and time
  TLineReader changed;
  ASSERT_TRUE(changed.Open(path));
  EXPECT_FALSE(changed.AdoptIndex(index));
}

TEST(LineReader, RefusesWhatIsNoRegularFile) {
  test::TTempDir dir;
  TLineReader r;
  std::string error;
  EXPECT_FALSE(r.Open(dir.Path().string(), &error));
  EXPECT_NE(error.find("directory"), std::string::npos) << error;
  EXPECT_FALSE(r.Open((dir.Path() / "gone.LOG").string(), &error));
  EXPECT_FALSE(r.Index());
}

}  // namespace
}  // namespace pelorin
