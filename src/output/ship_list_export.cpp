#include "output/ship_list_export.h"

#include <filesystem>
#include <system_error>

namespace pelorin {

namespace {

std::unique_ptr<TAutomationObject> ExcelApp;

const std::string& CellText(const TShipGrid& grid, size_t row, size_t column) {
  static const std::string empty;
  const auto& cells = grid[row];
  return column < cells.size() ? cells[column] : empty;
}

TAutomationArgs CellAt(int32_t row, int32_t column) { return {row, column}; }

// Steps 3 to 17 of the export; any call may throw TAutomationError.
void Drive(TAutomationObject& app, const TShipGrid& grid, const std::string& path,
           const TShipListExportEnv& env) {
  env.Window.HideToolBar();
  app.Get("Workbooks")->Call("Add");
  env.Window.HideExportButton();

  const size_t columns = grid.empty() ? 0 : grid[0].size();
  for (size_t c = 0; c < columns; ++c) {
    const auto k = static_cast<int32_t>(c + 1);
    app.Get("Cells", CellAt(1, k))->Get("Font")->Put("FontStyle", std::string("Bold"));
    app.Get("Cells", CellAt(1, k))->Get("Font")->Put("Size", int32_t{14});
    app.Get("Cells", CellAt(1, k))->Put("VerticalAlignment", kXlVAlignCenter);
    app.Get("Cells", CellAt(1, k))->Get("Interior")->Put("ColorIndex", kColorIndexYellow);
    app.Get("Cells", CellAt(1, k))->Put("Value", CellText(grid, 0, c));
  }
  for (size_t r = 1; r < grid.size(); ++r) {
    for (size_t c = 0; c < static_cast<size_t>(kShipGridColumns); ++c) {
      app.Get("Cells", CellAt(static_cast<int32_t>(r + 2), static_cast<int32_t>(c + 1)))
          ->Put("Value", CellText(grid, r, c));
    }
  }

  app.Get("Cells")->Call("Select");
  app.Get("Selection")->Get("Columns")->Call("AutoFit");
  app.Get("Range", {std::string("A2:N2")})->Call("Select");
  app.Get("Selection")->Call("AutoFilter");
  app.Get("Range", {std::string("A3:N3")})->Call("Select");
  app.Get("ActiveWindow")->Put("FreezePanes", true);
  app.Get("ActiveWorkbook")
      ->Call("SaveAs", {path, kXlExcel8, NotGiven, NotGiven, NotGiven, NotGiven, false,
                        NotGiven, NotGiven, env.LocaleId});
  app.Get("ActiveWorkbook")->Put("Saved", true);
  app.Get("Workbooks")->Call("Close");
}

}  // namespace

TExportOutcome BitBtn_ExpExcelClick(const TShipGrid& grid, const TShipListExportEnv& env) {
  auto app = env.Factory.CreateOleObject(kExcelProgId);
  if (!app) return TExportOutcome::NoServer;
  ExcelApp = std::move(app);

  const std::string path = env.StartupDir + kWorkbookFileName;
  std::error_code ignored;
  std::filesystem::remove(path, ignored);

  try {
    Drive(*ExcelApp, grid, path, env);
  } catch (const TAutomationError& error) {
    // The window stays usable; the user learns why nothing was saved.
    env.Messages.Show(TMessageKind::Error, "Error", error.what());
    return TExportOutcome::Failed;
  }

  env.Window.ShowWorkbookArea();
  if (!env.Window.ShowSavedWorkbook(path)) {
    env.Messages.Show(TMessageKind::Error, "Error", "Cannot open Excel!");
    return TExportOutcome::NotShown;
  }
  return TExportOutcome::Shown;
}

void ReleaseExcelApp() { ExcelApp.reset(); }

}  // namespace pelorin
