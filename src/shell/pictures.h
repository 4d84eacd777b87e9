#pragma once
// The windows' pictures, painted rather than shipped as image files.
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace pelorin {

// The help window's stored first page, 629 x 454.
QImage HelpPage1Picture();
// Image1 of the directory group (an SD card), 49 x 65.
QPixmap SdCardPicture();
// Image_Logo, 137 x 41.
QPixmap LogoPicture();
// Glyphs of the two output buttons.
QPixmap SheetGlyph();
QPixmap GlobeGlyph();
QIcon WindowIcon();

}  // namespace pelorin
