#pragma once
// The windows' pictures, painted rather than shipped as image files.
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace pelorin {

// The help window's stored first page (a resource of the program), 629 x 454.
QImage HelpPage1Picture();
// Image1 of the directory group (an SD card), 49 x 65.
QPixmap SdCardPicture();
// Image_Logo, 137 x 41.
QPixmap LogoPicture();
// Glyphs of the two output buttons.
QPixmap SheetGlyph();
QPixmap GlobeGlyph();
QIcon WindowIcon();

// The drawings the pictures are made of, also used by the help pages.
void DrawGlobe(QPainter& p, const QRectF& r);
void DrawShip(QPainter& p, const QPointF& at, double size, const QColor& colour);
// The program's icon on a 32 x 32 canvas (scale the painter for other sizes).
void DrawAppIcon(QPainter& p);

}  // namespace pelorin
