#include "shell/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

// Outside any namespace, as the resource's initialiser is declared there; calling it also
// keeps the resource in a program that links the shell as a static library.
static void InitPictureResources() { Q_INIT_RESOURCE(shell_pictures); }

namespace pelorin {
namespace {

QPixmap Transparent(int w, int h) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QImage HelpPage1Picture() {
  InitPictureResources();
  return QImage(QStringLiteral(":/pelorin/help_page1.png")).convertToFormat(QImage::Format_RGB32);
}

void DrawGlobe(QPainter& p, const QRectF& r) {
  QRadialGradient sea(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.7);
  sea.setColorAt(0, QColor(120, 180, 240));
  sea.setColorAt(1, QColor(20, 70, 150));
  p.setPen(QPen(QColor(10, 40, 90), 1));
  p.setBrush(sea);
  p.drawEllipse(r);
  p.setBrush(QColor(70, 150, 70));
  p.setPen(Qt::NoPen);
  QPainterPath land;
  land.moveTo(r.left() + r.width() * 0.30, r.top() + r.height() * 0.25);
  land.cubicTo(r.left() + r.width() * 0.55, r.top() + r.height() * 0.15, r.left() + r.width() * 0.65,
               r.top() + r.height() * 0.45, r.left() + r.width() * 0.45, r.top() + r.height() * 0.55);
  land.cubicTo(r.left() + r.width() * 0.30, r.top() + r.height() * 0.65, r.left() + r.width() * 0.20,
               r.top() + r.height() * 0.40, r.left() + r.width() * 0.30, r.top() + r.height() * 0.25);
  p.drawPath(land);
  p.setPen(QPen(QColor(255, 255, 255, 90), 1));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(r.adjusted(r.width() * 0.3, 0, -r.width() * 0.3, 0));
  p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

void DrawShip(QPainter& p, const QPointF& at, double size, const QColor& colour) {
  QPolygonF hull;
  hull << at + QPointF(-size, 0) << at + QPointF(size, 0) << at + QPointF(size * 0.7, size * 0.45)
       << at + QPointF(-size * 0.8, size * 0.45);
  p.setPen(QPen(Qt::black, 1));
  p.setBrush(colour);
  p.drawPolygon(hull);
  p.drawRect(QRectF(at.x() - size * 0.4, at.y() - size * 0.45, size * 0.6, size * 0.45));
}

QPixmap SdCardPicture() {
  QPixmap pixmap = Transparent(49, 65);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPolygonF card;
  card << QPointF(2, 2) << QPointF(34, 2) << QPointF(47, 15) << QPointF(47, 63) << QPointF(2, 63);
  p.setPen(QPen(QColor(40, 40, 40), 1.5));
  p.setBrush(QColor(60, 90, 160));
  p.drawPolygon(card);
  p.setBrush(QColor(230, 190, 60));
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 5; ++i) p.drawRect(QRectF(7 + i * 7, 6, 4, 11));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(7, 26, 35, 30));
  QFont font("DejaVu Sans");
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(60, 90, 160));
  p.drawText(QRectF(7, 26, 35, 30), Qt::AlignCenter, "SD");
  p.end();
  return pixmap;
}

QPixmap LogoPicture() {
  QPixmap pixmap = Transparent(137, 41);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawGlobe(p, QRectF(2, 2, 37, 37));
  QFont font("DejaVu Sans");
  font.setPixelSize(22);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(20, 50, 110));
  p.drawText(QRectF(44, 0, 93, 41), Qt::AlignVCenter | Qt::AlignLeft, "Pelorin");
  p.end();
  return pixmap;
}

QPixmap SheetGlyph() {
  QPixmap pixmap = Transparent(28, 28);
  QPainter p(&pixmap);
  p.setPen(QPen(QColor(30, 100, 50), 1));
  p.setBrush(Qt::white);
  p.drawRect(2, 2, 23, 23);
  p.fillRect(3, 3, 22, 5, QColor(30, 130, 60));
  for (int y = 13; y < 25; y += 5) p.drawLine(2, y, 25, y);
  for (int x = 10; x < 25; x += 8) p.drawLine(x, 8, x, 25);
  p.end();
  return pixmap;
}

QPixmap GlobeGlyph() {
  QPixmap pixmap = Transparent(28, 28);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawGlobe(p, QRectF(1.5, 1.5, 25, 25));
  p.end();
  return pixmap;
}

void DrawAppIcon(QPainter& p) {
  DrawGlobe(p, QRectF(1, 1, 30, 30));
  DrawShip(p, QPointF(16, 18), 8, QColor(200, 40, 40));
}

QIcon WindowIcon() {
  QPixmap pixmap = Transparent(32, 32);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawAppIcon(p);
  p.end();
  return QIcon(pixmap);
}

}  // namespace pelorin
