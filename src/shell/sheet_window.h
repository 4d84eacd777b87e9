#pragma once
// Unit_SpreadSheet: the ship-list window. Shows the ship table as a grid, exports it to
// "Mappe_SD.xls" through spreadsheet automation and then shows the saved workbook, read
// back from the file, in place of the grid.
#include <string>

#include <QDialog>

#include "output/ship_grid.h"
#include "output/ship_list_export.h"
#include "platform/desktop.h"
#include "platform/ship_list_view.h"
#include "platform/spreadsheet_automation.h"

class QLabel;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QTableWidget;
class QToolBar;

namespace pelorin {

class TForm_SpreadSheet : public QDialog, public TShipListView, private TSheetWindowParts {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 1016;
  static constexpr int kClientHeight = 706;

  TForm_SpreadSheet(TAutomationFactory& factory, TMessageBox& messages, TDocumentOpener& opener,
                    std::string startupDir, QWidget* parent = nullptr);
  ~TForm_SpreadSheet() override;

  // Modal; fills the grid from `ships` and exports at once.
  void ShowShipList(const TShipList& ships) override;

  // The grid as the user sees it now (moved rows and columns included), header row first.
  TShipGrid GridCells() const;
  TExportOutcome LastExport() const { return lastExport_; }

  QToolBar* ToolBar1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn_ExpExcel = nullptr;
  QTableWidget* StringGrid_ShipList = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  // Stands in for the document-object container: the saved workbook, read back.
  QWidget* OleContainer1 = nullptr;
  QLabel* WorkbookPath = nullptr;
  QTableWidget* WorkbookCells = nullptr;
  QPushButton* BitBtn_OpenWorkbook = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void FormShow();
  void FillShipGrid();
  void FormClose();
  void BitBtn_ExpExcelClick();

  void HideToolBar() override;
  void HideExportButton() override;
  void ShowWorkbookArea() override;
  bool ShowSavedWorkbook(const std::string& path) override;

  TAutomationFactory& factory_;
  TMessageBox& messages_;
  TDocumentOpener& opener_;
  std::string startupDir_;
  const TShipList* ships_ = nullptr;
  QStackedWidget* area_ = nullptr;
  std::string shownPath_;
  TExportOutcome lastExport_ = TExportOutcome::NoServer;
};

}  // namespace pelorin
