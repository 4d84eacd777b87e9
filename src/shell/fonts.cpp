#include "shell/fonts.h"

#include <QApplication>

namespace pelorin {

QFont BaseFont() {
  QFont font = QApplication::font();
  font.setFamilies({QStringLiteral("Tahoma"), QApplication::font().family()});
  font.setPixelSize(11);
  return font;
}

QFont PixelFont(const QFont& base, int pixels, bool bold) {
  QFont font = base;
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

}  // namespace pelorin
