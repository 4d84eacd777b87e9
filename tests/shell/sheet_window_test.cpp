#include "shell/sheet_window.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <functional>

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolBar>

#include "output/builtin_spreadsheet.h"
#include "shell/shell_test_support.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

class TSwitchableFactory : public TAutomationFactory {
 public:
  std::unique_ptr<TAutomationObject> CreateOleObject(std::string_view progId) override {
    return available ? inner.CreateOleObject(progId) : nullptr;
  }
  bool available = true;
  TBuiltInSpreadsheetFactory inner;
};

TShipList Vessels(int n) {
  TShipList ships;
  for (int i = 0; i < n; ++i) {
    TStatic s;
    s.MMSI = std::to_string(244000000 + i);
    s.ShipName = "SHIP " + std::to_string(i);
    s.AISclass = "A";
    s.Num_Msg5 = i;
    ships.push_back(s);
  }
  return ships;
}

struct TSheetWindow : ::testing::Test {
  TSwitchableFactory factory;
  test::TRecordingMessageBox messages;
  test::TFakeOpener opener;
  test::TTempDir dir;
  TForm_SpreadSheet window{factory, messages, opener, dir.Path().string() + "/"};

  // Shows the window modally with `ships`, runs `check` inside, then closes it.
  void Show(const TShipList& ships, const std::function<void()>& check) {
    bool checked = false;
    test::OnNextModal([&](QWidget*) {
      check();
      checked = true;
      window.accept();
    });
    window.ShowShipList(ships);
    EXPECT_TRUE(checked);
  }
  QWidget* Current() const {
    return static_cast<QStackedWidget*>(window.StringGrid_ShipList->parentWidget())->currentWidget();
  }
  QString GridText(int r, int c) const {
    auto* item = window.StringGrid_ShipList->item(r, c);
    return item ? item->text() : QString();
  }
  QString SheetText(int r, int c) const {
    auto* item = window.WorkbookCells->item(r, c);
    return item ? item->text() : QString();
  }
};

TEST_F(TSheetWindow, LayoutAndGrid) {
  factory.available = false;
  Show(Vessels(3), [&] {
    EXPECT_EQ(window.windowTitle(), "Pelorin");
    EXPECT_EQ(window.BitBtn1->text(), "&Exit");
    EXPECT_EQ(window.BitBtn_ExpExcel->text(), "Export to Excel");
    QTableWidget* grid = window.StringGrid_ShipList;
    ASSERT_EQ(grid->columnCount(), 13);
    EXPECT_EQ(grid->rowCount(), 4);  // three vessels and the empty row
    for (int c = 0; c < 13; ++c) {
      EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), ShipGridColumns[c].Header);
      EXPECT_EQ(grid->columnWidth(c), ShipGridColumns[c].Width);
    }
    EXPECT_EQ(GridText(0, 2), "SHIP 0");
    EXPECT_EQ(GridText(2, 11), "2");
    EXPECT_EQ(GridText(3, 0), "");
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    // No server: the grid stays, with its tool bar, and nobody is told.
    EXPECT_EQ(Current(), grid);
    EXPECT_TRUE(window.ToolBar1->isVisible());
    EXPECT_TRUE(messages.Shown.empty());
    EXPECT_EQ(window.LastExport(), TExportOutcome::NoServer);
  });
}

TEST_F(TSheetWindow, ShowsTheSavedWorkbookReadBack) {
  Show(Vessels(3), [&] {
    ASSERT_EQ(window.LastExport(), TExportOutcome::Shown) << (messages.Shown.empty() ? "" : messages.Shown[0].Text);
    EXPECT_EQ(Current(), window.OleContainer1);
    EXPECT_FALSE(window.ToolBar1->isVisible());
    EXPECT_EQ(window.WorkbookPath->text().toStdString(), (dir.Path() / "Mappe_SD.xls").string());
    // What the file holds: headers in row 1, an empty row 2, vessels from row 3.
    EXPECT_EQ(SheetText(0, 1), "MMSI");
    EXPECT_EQ(SheetText(1, 1), "");
    EXPECT_EQ(SheetText(2, 2), "SHIP 0");
    EXPECT_EQ(SheetText(4, 1), "244000002");
    EXPECT_EQ(window.WorkbookCells->horizontalHeaderItem(13 - 1)->text(), "M");
    window.BitBtn_OpenWorkbook->click();
    EXPECT_EQ(opener.Opened, std::vector<std::string>{(dir.Path() / "Mappe_SD.xls").string()});
  });
  EXPECT_TRUE(messages.Shown.empty());
}

TEST_F(TSheetWindow, SecondShowingStartsFromAnEmptyGrid) {
  factory.available = false;
  Show(Vessels(5), [] {});
  Show(Vessels(1), [&] {
    EXPECT_EQ(window.StringGrid_ShipList->rowCount(), 2);
    EXPECT_EQ(GridText(1, 1), "");
  });
  Show({}, [&] { EXPECT_EQ(window.StringGrid_ShipList->rowCount(), 1); });
}

TEST_F(TSheetWindow, ExportButtonRetriesAfterNoServer) {
  factory.available = false;
  Show(Vessels(2), [&] {
    // The user moved the MMSI column to the front: the workbook follows the grid.
    window.StringGrid_ShipList->horizontalHeader()->moveSection(1, 0);
    factory.available = true;
    window.BitBtn_ExpExcel->click();
    EXPECT_EQ(window.LastExport(), TExportOutcome::Shown);
    EXPECT_EQ(SheetText(0, 0), "MMSI");
    EXPECT_EQ(SheetText(2, 0), "244000000");
  });
}

TEST_F(TSheetWindow, UnwritableWorkbookIsReportedAndTheWindowStays) {
  // A directory in the workbook's place can be neither deleted nor replaced.
  std::filesystem::create_directories(dir.Path() / "Mappe_SD.xls" / "inside");
  Show(Vessels(1), [&] {
    EXPECT_EQ(window.LastExport(), TExportOutcome::Failed);
    ASSERT_EQ(messages.Shown.size(), 1u);
    EXPECT_EQ(messages.Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(messages.Shown[0].Caption, "Error");
    EXPECT_EQ(Current(), window.StringGrid_ShipList);
    EXPECT_EQ(GridText(0, 2), "SHIP 0");
  });
}

TEST_F(TSheetWindow, ReadOnlyStartupDir) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
  Show(Vessels(1), [&] { EXPECT_EQ(window.LastExport(), TExportOutcome::Failed); });
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].Text.find("Permission denied"), std::string::npos);
}

}  // namespace
}  // namespace pelorin
