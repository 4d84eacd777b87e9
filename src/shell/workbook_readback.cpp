#include "shell/workbook_readback.h"

#ifdef PELORIN_HAVE_FREEXL
#include <freexl.h>

#include <cstdio>
#endif

namespace pelorin {

#ifdef PELORIN_HAVE_FREEXL

namespace {

std::string CellText(const FreeXL_CellValue& cell) {
  char number[64];
  switch (cell.type) {
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return cell.value.text_value != nullptr ? cell.value.text_value : "";
    case FREEXL_CELL_INT:
      std::snprintf(number, sizeof number, "%d", cell.value.int_value);
      return number;
    case FREEXL_CELL_DOUBLE:
      std::snprintf(number, sizeof number, "%.15g", cell.value.double_value);
      return number;
    default:
      return {};
  }
}

}  // namespace

std::optional<TWorkbookCells> ReadWorkbookCells(const std::string& path) {
  const void* handle = nullptr;
  if (freexl_open(path.c_str(), &handle) != FREEXL_OK) {
    if (handle != nullptr) freexl_close(handle);
    return std::nullopt;
  }
  std::optional<TWorkbookCells> result;
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (freexl_select_active_worksheet(handle, 0) == FREEXL_OK &&
      freexl_worksheet_dimensions(handle, &rows, &columns) == FREEXL_OK) {
    TWorkbookCells cells(rows, std::vector<std::string>(columns));
    bool ok = true;
    for (unsigned r = 0; r < rows && ok; ++r)
      for (unsigned short c = 0; c < columns && ok; ++c) {
        FreeXL_CellValue cell;
        ok = freexl_get_cell_value(handle, r, c, &cell) == FREEXL_OK;
        if (ok) cells[r][c] = CellText(cell);
      }
    if (ok) result = std::move(cells);
  }
  freexl_close(handle);
  return result;
}

#else

std::optional<TWorkbookCells> ReadWorkbookCells(const std::string&) { return std::nullopt; }

#endif

}  // namespace pelorin
