// Saves PNG pictures of the program's windows, taken offscreen after opening a card (the
// sample card by default), so that they can be looked at without a display.
//   pelorin-screenshots OUTDIR [CARD]
#include <cstdio>
#include <utility>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "shell/window_captures.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QStringList args = QApplication::arguments();
  if (args.size() < 2 || args.size() > 3) {
    std::fprintf(stderr, "usage: pelorin-screenshots OUTDIR [CARD]\n");
    return 2;
  }
  const QString samples = args.size() == 3 ? args[2] : QStringLiteral(PELORIN_SAMPLES_DIR);
  const QDir out(args[1]);
  QTemporaryDir work;
  if (!QDir().mkpath(out.path()) || !work.isValid()) {
    std::fprintf(stderr, "pelorin-screenshots: cannot create %s\n", qPrintable(out.path()));
    return 1;
  }
  pelorin::TCaptureScene scene(work.path(), samples);
  const std::vector<std::pair<const char*, QImage>> shots = {
      {"main_window.png", scene.MainWindow(false)},
      {"main_window_details.png", scene.MainWindow(true)},
      {"intro_notice.png", scene.IntroNotice()},
      {"google_notice.png", scene.HintNotice()},
      {"help_window.png", scene.HelpWindow()},
      {"about_box.png", scene.AboutBox()},
      {"ship_list.png", scene.SheetWindow()},
      {"track-view.png", scene.TrackReplay(false)},
      {"track-view-all.png", scene.TrackReplay(true)},
      {"track-view-density.png", scene.TrackReplay(true, true)},
      {"reception-range.png", scene.ReceptionRange()},
  };
  int failures = 0;
  for (const auto& [name, image] : shots) {
    const QString path = out.filePath(name);
    if (image.isNull() || !image.save(path, "PNG")) {
      std::fprintf(stderr, "pelorin-screenshots: cannot write %s\n", qPrintable(path));
      ++failures;
    } else {
      std::printf("%s\n", qPrintable(path));
    }
  }
  return failures == 0 ? 0 : 1;
}
