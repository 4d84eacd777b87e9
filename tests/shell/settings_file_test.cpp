#include "shell/settings_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace pelorin {
namespace {

using test::ReadFileBytes;
using test::TTempDir;

constexpr char kDefaultFile[] =
    "[Version]\r\nVersion=A038\r\n\r\n[Hint]\r\nHINT=TRUE\r\n\r\n[Intro]\r\nINTRO=TRUE\r\n\r\n";

TEST(SettingsFile, FirstStartCreatesTheNineDefaultLines) {
  TTempDir dir;
  TSettingsState state;
  std::string error;
  ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error)) << error;
  EXPECT_EQ(ReadFileBytes(dir.Path() / "Pelorin.ini"), kDefaultFile);
  EXPECT_EQ(state.Settings.size(), 9u);
  EXPECT_TRUE(state.HintDisplay);
  EXPECT_TRUE(state.IntroFlag);
  EXPECT_EQ(state.StartupDir, dir.Path().string() + "/");
}

TEST(SettingsFile, LowerCaseHintKeyIsFoundAndRewrittenInCapitals) {
  TTempDir dir;
  dir.Write("Pelorin.ini", "[Hint]\r\nhint=TRUE\r\nINTRO=FALSE\r\n");
  TSettingsState state;
  std::string error;
  ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
  EXPECT_TRUE(state.HintDisplay);
  ASSERT_TRUE(SettingsFormClose(state, error)) << error;
  EXPECT_EQ(ReadFileBytes(dir.Path() / "Pelorin.ini"), "[Hint]\r\nHINT=TRUE\r\nINTRO=FALSE\r\n");
}

TEST(SettingsFile, MissingIntroReadsEmptyAndIsAppendedAtExit) {
  TTempDir dir;
  dir.Write("Pelorin.ini", "HINT=TRUE\r\n");
  TSettingsState state;
  std::string error;
  ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
  EXPECT_FALSE(state.IntroFlag);
  ASSERT_TRUE(SettingsFormClose(state, error));
  EXPECT_EQ(ReadFileBytes(dir.Path() / "Pelorin.ini"), "HINT=TRUE\r\nINTRO=FALSE\r\n");
}

TEST(SettingsFile, ExtraLinesAndSectionsSurviveInPlace) {
  TTempDir dir;
  dir.Write("Pelorin.ini", "; mine\n[Other]\nKey=Value\n\nINTRO=TRUE\n[Hint]\nHINT=FALSE\nlast line\n");
  TSettingsState state;
  std::string error;
  ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
  ASSERT_TRUE(SettingsFormClose(state, error));
  EXPECT_EQ(ReadFileBytes(dir.Path() / "Pelorin.ini"),
            "; mine\r\n[Other]\r\nKey=Value\r\n\r\nINTRO=TRUE\r\n[Hint]\r\nHINT=FALSE\r\nlast line\r\n");
}

// A run that never confirms the Google notice keeps the HINT it read.
TEST(SettingsFile, HintFlagStartsFromTheValueRead) {
  for (const char* value : {"TRUE", "FALSE"}) {
    TTempDir dir;
    dir.Write("Pelorin.ini", std::string("HINT=") + value + "\r\nINTRO=FALSE\r\n");
    TSettingsState state;
    std::string error;
    ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
    ASSERT_TRUE(SettingsFormClose(state, error));
    EXPECT_EQ(ReadFileBytes(dir.Path() / "Pelorin.ini"), std::string("HINT=") + value + "\r\nINTRO=FALSE\r\n");
  }
}

TEST(SettingsFile, OnlyExactTrueCountsAsOn) {
  for (const char* value : {"true", "TRUE ", " TRUE", "True", "", "1"}) {
    TTempDir dir;
    dir.Write("Pelorin.ini", std::string("HINT=") + value + "\nINTRO=" + value + "\n");
    TSettingsState state;
    std::string error;
    ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
    EXPECT_FALSE(state.HintDisplay) << '"' << value << '"';
    EXPECT_FALSE(state.IntroFlag) << '"' << value << '"';
  }
}

TEST(SettingsFile, TilesKeyGivesTheMapTemplateOrOff) {
  const std::string osm = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  const struct {
    TSettingsLines Lines;
    std::string Expect;
  } cases[] = {
      {DefaultSettingsLines(), osm},
      {{"TILES="}, osm},
      {{"tiles=off"}, ""},
      {{"TILES= Off "}, ""},
      {{"TILES=http://127.0.0.1:8080/{z}/{x}/{y}.png"}, "http://127.0.0.1:8080/{z}/{x}/{y}.png"},
  };
  for (const auto& c : cases) EXPECT_EQ(TileTemplateSetting(c.Lines), c.Expect) << c.Lines.back();
}

TEST(SettingsFile, EncounterRangeIsTakenWhenItIsADistance) {
  const struct {
    const char* Line;
    double NM;
    bool Refused;
  } cases[] = {{"", 0.5, false},           {"ENCOUNTER_NM=2.5", 2.5, false}, {"encounter_nm=0.05", 0.05, false},
               {"ENCOUNTER_NM=", 0.5, false}, {"ENCOUNTER_NM=abc", 0.5, true},  {"ENCOUNTER_NM=0", 0.5, true},
               {"ENCOUNTER_NM=-1", 0.5, true}, {"ENCOUNTER_NM=101", 0.5, true},  {"ENCOUNTER_NM=1 NM", 0.5, true}};
  for (const auto& c : cases) {
    TTempDir dir;
    dir.Write("Pelorin.ini", std::string("HINT=FALSE\r\n") + c.Line + "\r\n");
    TSettingsState state;
    std::string error;
    ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
    EXPECT_EQ(state.EncounterNM, c.NM) << c.Line;
    EXPECT_EQ(!state.EncounterNMError.empty(), c.Refused) << c.Line;
  }
}

TEST(SettingsFile, KeysMatchTheWholeNameBeforeTheFirstEquals) {
  const TSettingsLines lines = {"HINT", "HINTX=1", "Hint=a=b", "HINT=second"};
  EXPECT_EQ(ReadSetting(lines, "HINT"), "a=b");
  EXPECT_EQ(ReadSetting(lines, "INTRO"), "");
  TSettingsLines written = lines;
  WriteSetting(written, "HINT", "FALSE");
  EXPECT_EQ(written, (TSettingsLines{"HINT", "HINTX=1", "HINT=FALSE", "HINT=second"}));
}

TEST(SettingsFile, LineEndsCrLfCrAndLfAllSplit) {
  TTempDir dir;
  const auto path = dir.Write("x.ini", "a\r\nb\rc\nd");
  TSettingsLines lines;
  std::string error;
  ASSERT_TRUE(LoadSettingsFile(path.string(), lines, error));
  EXPECT_EQ(lines, (TSettingsLines{"a", "b", "c", "d"}));
}

// A directory in the way of the file makes both the read and the write fail, even for root.
TEST(SettingsFile, UnwritableDefaultFileIsReportedAndLeavesEverythingOff) {
  TTempDir dir;
  std::filesystem::create_directory(dir.Path() / "Pelorin.ini");
  TSettingsState state;
  std::string error;
  EXPECT_FALSE(SettingsFormCreate(dir.Path().string(), state, error));
  EXPECT_NE(error.find("Pelorin.ini"), std::string::npos) << error;
  EXPECT_FALSE(state.HintDisplay);
  EXPECT_FALSE(state.IntroFlag);
  EXPECT_TRUE(state.StartupDir.empty());
}

TEST(SettingsFile, FailedSaveAtExitIsReported) {
  TTempDir dir;
  TSettingsState state;
  std::string error;
  ASSERT_TRUE(SettingsFormCreate(dir.Path().string(), state, error));
  std::filesystem::remove(dir.Path() / "Pelorin.ini");
  std::filesystem::create_directory(dir.Path() / "Pelorin.ini");
  EXPECT_FALSE(SettingsFormClose(state, error));
  EXPECT_NE(error.find("Cannot create file"), std::string::npos) << error;
}

}  // namespace
}  // namespace pelorin
