#include "output/xls_text_width.h"

#include <algorithm>
#include <cmath>

#include "output/utf16_text.h"

namespace pelorin {

namespace {

// Arial advance widths, 1/1000 em, for U+0020 to U+007E.
constexpr short kArialWidths[95] = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278,  // sp-/
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556,  // 0-?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778,  // @-O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556,  // P-_
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556,  // `-o
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584,       // p-~
};
constexpr double kDigitWidth = 556;
constexpr double kBoldFactor = 1.08;
constexpr double kWideGlyph = 1000;  // CJK and the like: a full em

}  // namespace

double TextWidthInDigits(std::string_view utf8, const TXlsCellFormat& format) {
  double em = 0;
  for (char16_t unit : Utf8ToUtf16(utf8)) {
    if (unit >= 0xDC00 && unit <= 0xDFFF) continue;  // second half of a pair
    if (unit >= 0x20 && unit <= 0x7E) em += kArialWidths[unit - 0x20];
    else if (unit >= 0x2E80) em += kWideGlyph;
    else em += kDigitWidth;
  }
  double digits = em / kDigitWidth * format.SizeTwips / 200.0;
  if (format.Bold) digits *= kBoldFactor;
  return digits;
}

int ColumnWidthForDigits(double digits) {
  // Excel adds five pixels of margin to a seven-pixel digit.
  const double units = std::ceil((digits + 5.0 / 7.0) * 256.0);
  return static_cast<int>(std::min(units, 255.0 * 256.0));
}

}  // namespace pelorin
