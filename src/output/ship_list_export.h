#pragma once
// The workbook export of the ship list: drives a spreadsheet application through late-bound
// automation, cell by cell, and has the saved workbook shown by the sheet window.
#include <cstdint>
#include <string>

#include "output/ship_grid.h"
#include "platform/desktop.h"
#include "platform/spreadsheet_automation.h"

namespace pelorin {

inline constexpr const char* kExcelProgId = "Excel.Application";
inline constexpr const char* kWorkbookFileName = "Mappe_SD.xls";
inline constexpr int16_t kXlVAlignCenter = -4108;
inline constexpr int32_t kColorIndexYellow = 6;

// What the export does to the window it runs in (ToolBar1, BitBtn_ExpExcel, OleContainer1).
class TSheetWindowParts {
 public:
  virtual ~TSheetWindowParts() = default;
  virtual void HideToolBar() = 0;
  virtual void HideExportButton() = 0;
  virtual void ShowWorkbookArea() = 0;
  // Show the saved workbook in the workbook area; false when it cannot be shown.
  virtual bool ShowSavedWorkbook(const std::string& path) = 0;
};

// No window: the command line's export.
class TNoSheetWindow : public TSheetWindowParts {
 public:
  void HideToolBar() override {}
  void HideExportButton() override {}
  void ShowWorkbookArea() override {}
  bool ShowSavedWorkbook(const std::string&) override { return true; }
};

struct TShipListExportEnv {
  TAutomationFactory& Factory;
  TSheetWindowParts& Window;
  TMessageBox& Messages;
  std::string StartupDir;  // with its trailing separator
  int32_t LocaleId = 1033;
};

enum class TExportOutcome {
  NoServer,   // the application object could not be created; nothing changed
  Failed,     // a call failed after creation; the reason was shown ("Error")
  NotShown,   // saved, but the saved workbook could not be shown ("Cannot open Excel!")
  Shown,      // saved and shown
};

// `grid` as the window holds it now: row 0 the headers, then the data rows.
TExportOutcome BitBtn_ExpExcelClick(const TShipGrid& grid, const TShipListExportEnv& env);

// ExcelApp: the application object of the latest export, kept until the next one.
void ReleaseExcelApp();

}  // namespace pelorin
