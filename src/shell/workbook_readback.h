#pragma once
// The saved workbook's first sheet read back with libfreexl, so the sheet window shows what
// was written rather than its own grid again.
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

using TWorkbookCells = std::vector<std::vector<std::string>>;  // rows of texts

// Nothing when the file cannot be read (or the program was built without libfreexl).
std::optional<TWorkbookCells> ReadWorkbookCells(const std::string& path);

}  // namespace pelorin
