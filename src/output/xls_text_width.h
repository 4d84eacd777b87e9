#pragma once
// How wide a text shows in a cell, for AutoFit: an approximation from Arial's advance
// widths, in units of the width of the digit "0" at the default 10-point size.
#include <string_view>

#include "output/xls_workbook.h"

namespace pelorin {

double TextWidthInDigits(std::string_view utf8, const TXlsCellFormat& format);

// Column width (1/256 of a digit) that shows `digits` with the cell margins; capped at the
// file format's 255 digits.
int ColumnWidthForDigits(double digits);

}  // namespace pelorin
