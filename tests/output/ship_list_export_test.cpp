#include "output/ship_list_export.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "output/builtin_spreadsheet.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using TLog = std::vector<std::string>;

std::string Describe(const TAutomationValue& v) {
  struct {
    std::string operator()(TNotGiven) const { return "<not given>"; }
    std::string operator()(const std::string& s) const { return "\"" + s + "\""; }
    std::string operator()(int32_t i) const { return "i4:" + std::to_string(i); }
    std::string operator()(int16_t i) const { return "i2:" + std::to_string(i); }
    std::string operator()(bool b) const { return b ? "true" : "false"; }
  } visitor;
  return std::visit(visitor, v);
}

std::string DescribeArgs(const TAutomationArgs& args) {
  if (args.empty()) return "";
  std::string out = "(";
  for (size_t i = 0; i < args.size(); ++i) out += (i ? ", " : "") + Describe(args[i]);
  return out + ")";
}

// Records every put and call with the chain of gets that led to it.
class TRecordingObject : public TAutomationObject {
 public:
  TRecordingObject(std::shared_ptr<TLog> log, std::string path, std::string failOn = {})
      : log_(std::move(log)), path_(std::move(path)), failOn_(std::move(failOn)) {}
  std::unique_ptr<TAutomationObject> Get(std::string_view member, const TAutomationArgs& args) override {
    return std::make_unique<TRecordingObject>(log_, Join(member) + DescribeArgs(args), failOn_);
  }
  void Put(std::string_view member, const TAutomationValue& value) override {
    Record(Join(member) + " = " + Describe(value));
  }
  void Call(std::string_view member, const TAutomationArgs& args) override {
    std::string line = Join(member) + "(" + DescribeArgs(args) + ")";
    if (member == "SaveAs")
      line += std::filesystem::exists(std::get<std::string>(args[0])) ? " [file exists]" : "";
    Record(line);
  }

 private:
  std::string Join(std::string_view member) const {
    return path_.empty() ? std::string(member) : path_ + "." + std::string(member);
  }
  void Record(const std::string& line) {
    log_->push_back(line);
    if (!failOn_.empty() && line.starts_with(failOn_)) throw TAutomationError("refused: " + line);
  }
  std::shared_ptr<TLog> log_;
  std::string path_;
  std::string failOn_;
};

class TRecordingFactory : public TAutomationFactory {
 public:
  explicit TRecordingFactory(std::shared_ptr<TLog> log) : log_(std::move(log)) {}
  std::unique_ptr<TAutomationObject> CreateOleObject(std::string_view progId) override {
    log_->push_back("Create " + std::string(progId));
    if (!available) return nullptr;
    return std::make_unique<TRecordingObject>(log_, "", failOn);
  }
  bool available = true;
  std::string failOn;

 private:
  std::shared_ptr<TLog> log_;
};

class TRecordingWindow : public TSheetWindowParts {
 public:
  explicit TRecordingWindow(std::shared_ptr<TLog> log) : log_(std::move(log)) {}
  void HideToolBar() override { log_->push_back("window: hide ToolBar1"); }
  void HideExportButton() override { log_->push_back("window: hide BitBtn_ExpExcel"); }
  void ShowWorkbookArea() override { log_->push_back("window: show OleContainer1"); }
  bool ShowSavedWorkbook(const std::string& path) override {
    log_->push_back("window: show workbook " + path);
    return showSucceeds;
  }
  bool showSucceeds = true;

 private:
  std::shared_ptr<TLog> log_;
};

class TRecordingMessages : public TMessageBox {
 public:
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    Shown.push_back(std::string(kind == TMessageKind::Error ? "error " : "info ") +
                    std::string(caption) + ": " + std::string(text));
  }
  std::vector<std::string> Shown;
};

struct TExportFixture : ::testing::Test {
  std::shared_ptr<TLog> log = std::make_shared<TLog>();
  TRecordingFactory factory{log};
  TRecordingWindow window{log};
  TRecordingMessages messages;
  test::TTempDir dir;

  TShipListExportEnv Env() {
    return TShipListExportEnv{factory, window, messages, dir.Path().string() + "/", 1031};
  }
  std::string WorkbookPath() const { return dir.Path().string() + "/Mappe_SD.xls"; }
  void TearDown() override { ReleaseExcelApp(); }
};

std::string Cell(int r, int c) {
  return "Cells(i4:" + std::to_string(r) + ", i4:" + std::to_string(c) + ")";
}

TEST_F(TExportFixture, CallSequenceMatchesTheSteps) {
  TStatic vessel;
  vessel.MMSI = "970111222";
  vessel.AISclass = "A";
  TShipGrid grid = ShipGridCells({vessel});
  std::ofstream(WorkbookPath()) << "old";

  EXPECT_EQ(BitBtn_ExpExcelClick(grid, Env()), TExportOutcome::Shown);

  const char* headers[13] = {"Class", "MMSI", "Ship-Name", "Nav-Status", "Call-Sign",
                             "Ship-Type", "Length", "Width", "Draught", "Destination",
                             "#1#18", "#5#24", "#14"};
  TLog expected = {"Create Excel.Application", "window: hide ToolBar1", "Workbooks.Add()",
                   "window: hide BitBtn_ExpExcel"};
  for (int k = 1; k <= 13; ++k) {
    expected.push_back(Cell(1, k) + ".Font.FontStyle = \"Bold\"");
    expected.push_back(Cell(1, k) + ".Font.Size = i4:14");
    expected.push_back(Cell(1, k) + ".VerticalAlignment = i2:-4108");
    expected.push_back(Cell(1, k) + ".Interior.ColorIndex = i4:6");
    expected.push_back(Cell(1, k) + ".Value = \"" + headers[k - 1] + "\"");
  }
  const char* vesselRow[13] = {"A", "970111222", "SART 970111222", "", "", "", "", "",
                               "", "", "0", "0", "0"};
  for (int c = 1; c <= 13; ++c)
    expected.push_back(Cell(3, c) + ".Value = \"" + vesselRow[c - 1] + "\"");
  for (int c = 1; c <= 13; ++c) expected.push_back(Cell(4, c) + ".Value = \"\"");
  const std::string path = WorkbookPath();
  TLog tail = {
      "Cells.Select()",
      "Selection.Columns.AutoFit()",
      "Range(\"A2:N2\").Select()",
      "Selection.AutoFilter()",
      "Range(\"A3:N3\").Select()",
      "ActiveWindow.FreezePanes = true",
      "ActiveWorkbook.SaveAs((\"" + path +
          "\", i4:56, <not given>, <not given>, <not given>, <not given>, false, <not given>, "
          "<not given>, i4:1031))",
      "ActiveWorkbook.Saved = true",
      "Workbooks.Close()",
      "window: show OleContainer1",
      "window: show workbook " + path,
  };
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(*log, expected);
  EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TExportFixture, ReadsTheGridInItsCurrentOrder) {
  // The user may have dragged columns: the export writes what the grid shows.
  TShipGrid grid = {TShipGridRow(13, "h"), TShipGridRow(13, "x")};
  grid[0][0] = "MMSI";
  grid[1][12] = "last";
  BitBtn_ExpExcelClick(grid, Env());
  EXPECT_NE(std::find(log->begin(), log->end(), Cell(1, 1) + ".Value = \"MMSI\""), log->end());
  EXPECT_NE(std::find(log->begin(), log->end(), Cell(3, 13) + ".Value = \"last\""), log->end());
}

TEST_F(TExportFixture, NoServerChangesNothing) {
  factory.available = false;
  std::ofstream(WorkbookPath()) << "old";
  EXPECT_EQ(BitBtn_ExpExcelClick(ShipGridCells({}), Env()), TExportOutcome::NoServer);
  EXPECT_EQ(*log, TLog{"Create Excel.Application"});
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_TRUE(std::filesystem::exists(WorkbookPath()));  // not even deleted
}

TEST_F(TExportFixture, FailedCallIsReportedAndStops) {
  factory.failOn = "ActiveWorkbook.SaveAs";
  EXPECT_EQ(BitBtn_ExpExcelClick(ShipGridCells({}), Env()), TExportOutcome::Failed);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_TRUE(messages.Shown[0].starts_with("error Error: refused: ActiveWorkbook.SaveAs"));
  EXPECT_TRUE(log->back().starts_with("ActiveWorkbook.SaveAs"));
}

TEST_F(TExportFixture, WorkbookThatCannotBeShown) {
  window.showSucceeds = false;
  EXPECT_EQ(BitBtn_ExpExcelClick(ShipGridCells({}), Env()), TExportOutcome::NotShown);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{"error Error: Cannot open Excel!"});
  EXPECT_EQ(log->back(), "window: show workbook " + WorkbookPath());
}

// The same calls against the built-in application.
struct TBuiltInExport : ::testing::Test {
  TBuiltInSpreadsheetFactory factory;
  TNoSheetWindow window;
  TRecordingMessages messages;
  test::TTempDir dir;
  TShipListExportEnv Env(const std::string& startup) {
    return TShipListExportEnv{factory, window, messages, startup, 1033};
  }
  void TearDown() override { ReleaseExcelApp(); }
};

TEST_F(TBuiltInExport, ReplacesAnExistingWorkbook) {
  const auto path = dir.Path() / "Mappe_SD.xls";
  std::ofstream(path) << "old";
  EXPECT_EQ(BitBtn_ExpExcelClick(ShipGridCells({}), Env(dir.Path().string() + "/")),
            TExportOutcome::Shown);
  const std::string bytes = test::ReadFileBytes(path);
  ASSERT_GE(bytes.size(), 512u + 4096u);
  EXPECT_EQ(bytes.substr(0, 4), "\xD0\xCF\x11\xE0");
  // Nothing left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TBuiltInExport, ReadOnlyStartupDirIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
  const auto outcome = BitBtn_ExpExcelClick(ShipGridCells({}), Env(dir.Path().string() + "/"));
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(outcome, TExportOutcome::Failed);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].find("Permission denied"), std::string::npos) << messages.Shown[0];
}

TEST_F(TBuiltInExport, TargetThatCannotBeReplacedIsReported) {
  // A directory in the workbook's place: neither deleted nor overwritten.
  std::filesystem::create_directories(dir.Path() / "Mappe_SD.xls" / "inside");
  const auto outcome = BitBtn_ExpExcelClick(ShipGridCells({}), Env(dir.Path().string() + "/"));
  EXPECT_EQ(outcome, TExportOutcome::Failed);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_TRUE(messages.Shown[0].starts_with("error Error: Cannot save")) << messages.Shown[0];
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "Mappe_SD.xls" / "inside"));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                          std::filesystem::directory_iterator()),
            1);  // no temporary left behind
}

TEST_F(TBuiltInExport, MissingStartupDirIsReported) {
  const auto outcome =
      BitBtn_ExpExcelClick(ShipGridCells({}), Env(dir.Path().string() + "/absent/"));
  EXPECT_EQ(outcome, TExportOutcome::Failed);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].find("No such file"), std::string::npos) << messages.Shown[0];
}

}  // namespace
}  // namespace pelorin
