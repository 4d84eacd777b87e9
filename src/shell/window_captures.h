#pragma once
// Pictures of the program's real windows, taken offscreen after opening a sample card:
// for the help pages and for the screenshots a reviewer looks at. Nothing is shown on
// a screen and nothing is handed to another program.
#include <memory>

#include <QImage>
#include <QString>

class QWidget;

namespace pelorin {

class TFormMain;

class TCaptureScene {
 public:
  // `workDir` receives the settings file and the outputs; `samplesDir` is the card opened.
  TCaptureScene(const QString& workDir, const QString& samplesDir);
  ~TCaptureScene();
  TCaptureScene(const TCaptureScene&) = delete;
  TCaptureScene& operator=(const TCaptureScene&) = delete;

  TFormMain& Main();

  // The main window with the card opened, menu bar included, details pane hidden or shown.
  QImage MainWindow(bool details);
  // One control of the main window (a group, say), as it looks now.
  QImage Control(QWidget* control);
  // The same while a card is being read: bars part-way, stop hint shown, commands off.
  QImage ControlWhileScanning(QWidget* control);
  QImage IntroNotice();
  QImage HintNotice();
  QImage HelpWindow();
  // The ship-list window after a ship-list run over the card, as the run shows it.
  QImage SheetWindow();
  QImage AboutBox();
  // The Track Replay window over the last run's table (a ship-list run first if none):
  // every vessel at the middle of the span with 10-minute trails, or every whole track.
  QImage TrackReplay(bool allTracks, bool density = false);
  // The Reception Range window's diagram over the last run's table, as "Save Picture…"
  // writes it.
  QImage ReceptionRange();

 private:
  struct TParts;
  std::unique_ptr<TParts> parts_;
};

// `picture` inside a plain window frame with `caption`, for pages that show whole windows.
QImage FramedWindow(const QImage& picture, const QString& caption);

}  // namespace pelorin
