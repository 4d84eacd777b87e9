// Renders the program's icon as the PNG sizes of the desktop's icon theme, from the same
// drawing as the window icon, so the menu and the window show one picture.
//   pelorin-icons OUTDIR    writes OUTDIR/NxN/apps/pelorin.png
#include <cstdio>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "shell/pictures.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: pelorin-icons OUTDIR\n");
    return 2;
  }
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    pelorin::DrawAppIcon(p);
    p.end();
    if (!QDir().mkpath(dir) || !image.save(dir + "/pelorin.png", "PNG")) {
      std::fprintf(stderr, "pelorin-icons: cannot write %s/pelorin.png\n", qPrintable(dir));
      return 1;
    }
  }
  return 0;
}
