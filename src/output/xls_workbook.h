#pragma once
// A one-sheet workbook as the built-in spreadsheet application keeps it in memory, and the
// Excel 97-2003 file it becomes (BIFF8 records in a compound document).
#include <cstdint>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin {

inline constexpr int kXlsMaxRows = 65536;
inline constexpr int kXlsMaxColumns = 256;

enum class TXlsVAlign : uint8_t { Top = 0, Center = 1, Bottom = 2, Justify = 3, Distributed = 4 };

struct TXlsCellFormat {
  bool Bold = false;
  bool Italic = false;
  int SizeTwips = 200;                 // 10 points
  TXlsVAlign VAlign = TXlsVAlign::Bottom;
  int FillColour = 0;                  // file palette index 8..63; 0 = no fill
  bool operator==(const TXlsCellFormat&) const = default;
  auto operator<=>(const TXlsCellFormat&) const = default;
};

struct TXlsCell {
  std::string Text;  // UTF-8; empty = no value
  TXlsCellFormat Format;
};

// Zero-based rows and columns, inclusive.
struct TXlsRange {
  int FirstRow = 0, LastRow = 0, FirstColumn = 0, LastColumn = 0;
  bool operator==(const TXlsRange&) const = default;
};

struct TXlsSheet {
  std::string Name = "Sheet1";
  // Keyed by row * kXlsMaxColumns + column, so iteration runs in file order.
  std::map<int32_t, TXlsCell> Cells;
  std::map<int, int> ColumnWidths;  // column -> width in 1/256 of a digit's width
  std::optional<TXlsRange> AutoFilter;
  int FrozenRows = 0, FrozenColumns = 0;
  TXlsRange Selection;  // the active cell is its top left
};

class TXlsWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The workbook stream's records.
std::string BuildBiff8Stream(const TXlsSheet& sheet);

// Writes the workbook beside `path` and renames it into place; throws TXlsWriteError with
// the reason.
void WriteXlsFile(const std::string& path, const TXlsSheet& sheet);

}  // namespace pelorin
