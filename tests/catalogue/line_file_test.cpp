// Reading a log file into one buffer with line offsets.
#include "catalogue/line_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace pelorin {
namespace {

// The obvious splitter, as the reference for the fast one.
std::vector<std::string> ReferenceLines(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  size_t i = 0;
  bool open = false;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '\r' || c == '\n') {
      out.push_back(cur);
      cur.clear();
      open = false;
      i += (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ? 2 : 1;
    } else {
      cur.push_back(c);
      open = true;
      ++i;
    }
  }
  if (open) out.push_back(cur);
  return out;
}

std::vector<std::string> Lines(const TLineFile& f) {
  std::vector<std::string> out;
  for (int64_t i = 0; i < f.LineCount(); ++i) out.emplace_back(f.Line(i));
  return out;
}

TEST(LineFile, LineEnds) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"", {}},
      {"\r\n", {""}},
      {"\n\n", {"", ""}},
      {"\r\r\n", {"", ""}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\n\nc\r", {"a", "b", "", "c"}},
      {"\n\r", {"", ""}},
      // Ends on both sides of a 16-byte block boundary.
      {"0123456789abcde\r\n0123456789abcd\r\n\rx", {"0123456789abcde", "0123456789abcd", "", "x"}},
  };
  test::TTempDir dir;
  for (const auto& [content, want] : cases) {
    TLineFile f;
    std::string error;
    ASSERT_TRUE(LoadLineFile(dir.Write("x.LOG", content).string(), f, &error)) << error;
    EXPECT_EQ(Lines(f), want) << testing::PrintToString(content);
    EXPECT_EQ(f.Buffer, content);
  }
}

TEST(LineFile, RandomContentMatchesReference) {
  std::mt19937 rng(7);
  const char alphabet[] = {'a', ',', '\r', '\n', '*', 'Z'};
  test::TTempDir dir;
  for (int round = 0; round < 200; ++round) {
    std::string content(rng() % 200, ' ');
    for (char& c : content) c = alphabet[rng() % sizeof alphabet];
    TLineFile f;
    ASSERT_TRUE(LoadLineFile(dir.Write("r.LOG", content).string(), f));
    ASSERT_EQ(Lines(f), ReferenceLines(content)) << testing::PrintToString(content);
  }
}

TEST(LineFile, ReloadReplacesPreviousContent) {
  test::TTempDir dir;
  TLineFile f;
  ASSERT_TRUE(LoadLineFile(dir.Write("a.LOG", "1\n2\n3\n").string(), f));
  ASSERT_TRUE(LoadLineFile(dir.Write("b.LOG", "x").string(), f));
  EXPECT_EQ(Lines(f), std::vector<std::string>{"x"});
}

TEST(LineFile, ErrorsAreReported) {
  test::TTempDir dir;
  std::filesystem::create_directory(dir.Path() / "D.LOG");
  TLineFile f;
  f.Buffer = "old";
  std::string error;
  EXPECT_FALSE(LoadLineFile((dir.Path() / "D.LOG").string(), f, &error));
  EXPECT_NE(error.find("directory"), std::string::npos) << error;
  EXPECT_EQ(f.LineCount(), 0);
  EXPECT_TRUE(f.Buffer.empty());
  EXPECT_FALSE(LoadLineFile((dir.Path() / "gone.LOG").string(), f, &error));
  EXPECT_NE(error.find("gone.LOG"), std::string::npos);
  EXPECT_FALSE(LoadLineFile((dir.Path() / "gone.LOG").string(), f));  // no reason wanted
}

TEST(LineFile, UnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  test::TTempDir dir;
  const auto path = dir.Write("p.LOG", "x\n");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  TLineFile f;
  std::string error;
  EXPECT_FALSE(LoadLineFile(path.string(), f, &error));
  EXPECT_FALSE(error.empty());
}

TEST(LineFile, RealRecordingWithoutFinalNewline) {
  PELORIN_REQUIRE_SHARED();
  TLineFile f;
  ASSERT_TRUE(LoadLineFile((test::SharedDir() / "data/real/signalk-gofree-merrimac.log").string(), f));
  EXPECT_EQ(f.LineCount(), 6324);  // the provenance table's count
  EXPECT_EQ(f.Line(0).find('\r'), std::string_view::npos);
}

}  // namespace
}  // namespace pelorin
