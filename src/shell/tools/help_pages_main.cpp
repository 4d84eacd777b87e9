// Renders the help pages "Help_GE1.bmp" to "Help_GE11.bmp" from offscreen captures of the
// real windows on a sample card, into the folder the program is started from.
//   pelorin-helppages OUTDIR SAMPLES    the eleven page files
//   pelorin-helppages --cover FILE      the stored first page, as the program's resource
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "shell/help_guide.h"
#include "shell/help_window.h"
#include "shell/window_captures.h"

int main(int argc, char** argv) {
  // Pictures only: no display is needed or used.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() == 3 && args[1] == "--cover") {
    if (!pelorin::PaintHelpCover().save(args[2], "PNG")) {
      std::fprintf(stderr, "pelorin-helppages: cannot write %s\n", qPrintable(args[2]));
      return 1;
    }
    return 0;
  }
  if (args.size() != 3) {
    std::fprintf(stderr, "usage: pelorin-helppages OUTDIR SAMPLES | --cover FILE\n");
    return 2;
  }
  const QDir out(args[1]);
  if (!QDir().mkpath(out.path())) {
    std::fprintf(stderr, "pelorin-helppages: cannot create %s\n", qPrintable(out.path()));
    return 1;
  }
  QTemporaryDir work;
  if (!work.isValid()) {
    std::fprintf(stderr, "pelorin-helppages: no scratch directory\n");
    return 1;
  }
  pelorin::TCaptureScene scene(work.path(), args[2]);
  const std::vector<QImage> pages = pelorin::RenderHelpGuide(scene);
  for (size_t i = 0; i < pages.size(); ++i) {
    const QString path = out.filePath(pelorin::TForm_Help::PageFileName(static_cast<int>(i) + 1));
    if (pages[i].isNull() || !pages[i].save(path, "BMP")) {
      std::fprintf(stderr, "pelorin-helppages: cannot write %s\n", qPrintable(path));
      return 1;
    }
  }
  return 0;
}
