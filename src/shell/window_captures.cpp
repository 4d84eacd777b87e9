#include "shell/window_captures.h"

#include <array>
#include <functional>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>

#include "platform/desktop.h"
#include "shell/help_window.h"
#include "shell/hint_notice.h"
#include "shell/intro_notice.h"
#include "shell/reception_window.h"
#include "shell/main_window.h"
#include "shell/map_widget.h"
#include "shell/sheet_window.h"
#include "shell/track_replay_window.h"

namespace pelorin {
namespace {

class TSilentBox : public TMessageBox {
 public:
  void Show(TMessageKind, std::string_view, std::string_view) override {}
};

class TNoOpener : public TDocumentOpener {
 public:
  void Open(const std::string&) override {}
};

// A top-level window is shown just long enough to be laid out and painted; `laidOut` runs
// before it is painted.
QImage GrabWindow(QWidget* window, const std::function<void()>& laidOut = {}) {
  const bool wasVisible = window->isVisible();
  if (!wasVisible) window->show();
  QApplication::processEvents();
  if (laidOut) laidOut();
  const QImage image = window->grab().toImage();
  if (!wasVisible) window->hide();
  return image;
}

}  // namespace

struct TCaptureScene::TParts {
  TSilentBox Box;
  TNoOpener Opener;
  std::unique_ptr<TFormMain> Main;
};

TCaptureScene::TCaptureScene(const QString& workDir, const QString& samplesDir) : parts_(std::make_unique<TParts>()) {
  // Hints on (as at a first start) but no introduction popping up over the window, and
  // no map tiles fetched for a picture.
  QFile ini(QDir(workDir).filePath("Pelorin.ini"));
  if (ini.open(QIODevice::WriteOnly | QIODevice::Truncate)) ini.write("HINT=TRUE\r\nINTRO=FALSE\r\nTILES=off\r\n");
  ini.close();

  TFormMainOptions options;
  options.WorkingDir = workDir.toStdString();
  options.HelpPageDir = workDir;
  options.Messages = &parts_->Box;
  options.Opener = &parts_->Opener;
  parts_->Main = std::make_unique<TFormMain>(std::move(options));
  TFormMain& main = *parts_->Main;
  main.show();
  QApplication::processEvents();
  main.OpenDirectory(samplesDir);
  // The path a user's card would show, not the build machine's.
  main.Edit_SD_Dir->setText(QStringLiteral("/media/user/SD-CARD/"));
  // End on the card's last day, as a user would choose it.
  if (main.Catalogue().DataAvailable) {
    main.MonthCalendar_End->setSelectedDate(main.MonthCalendar_End->selectedDate().addDays(1));
    main.MonthCalendar_EndClick();
  }
  QApplication::processEvents();
}

TCaptureScene::~TCaptureScene() = default;

TFormMain& TCaptureScene::Main() { return *parts_->Main; }

QImage TCaptureScene::MainWindow(bool details) {
  TFormMain& main = Main();
  if (main.CheckBox_ShowDetails->isChecked() != details) {
    main.CheckBox_ShowDetails->setChecked(details);
    main.CheckBox_ShowDetailsClick();
  }
  return GrabWindow(&main);
}

QImage TCaptureScene::Control(QWidget* control) {
  QApplication::processEvents();
  return control->grab().toImage();
}

QImage TCaptureScene::ControlWhileScanning(QWidget* control) {
  TFormMain& main = Main();
  const auto keep = [](QProgressBar* bar) { return std::array<int, 3>{bar->minimum(), bar->maximum(), bar->value()}; };
  const auto load = keep(main.ProgressBar_Load), total = keep(main.ProgressBar_Total);
  const bool outputs = main.BitBtn_Google->isEnabled();
  main.ProgressBar_Load->setRange(0, 100);
  main.ProgressBar_Load->setValue(62);
  main.ProgressBar_Total->setRange(0, 3);
  main.ProgressBar_Total->setValue(1);
  main.Label_StopESC->show();
  for (QWidget* command : {static_cast<QWidget*>(main.BitBtn_SD_Dir), static_cast<QWidget*>(main.BitBtn_Excel),
                           static_cast<QWidget*>(main.BitBtn_Google)})
    command->setEnabled(false);
  const QImage image = Control(control);
  main.Label_StopESC->hide();
  main.BitBtn_SD_Dir->setEnabled(true);
  main.BitBtn_Excel->setEnabled(outputs);
  main.BitBtn_Google->setEnabled(outputs);
  main.ProgressBar_Load->setRange(load[0], load[1]);
  main.ProgressBar_Load->setValue(load[2]);
  main.ProgressBar_Total->setRange(total[0], total[1]);
  main.ProgressBar_Total->setValue(total[2]);
  return image;
}

QImage TCaptureScene::IntroNotice() { return GrabWindow(Main().Form_Intro); }

QImage TCaptureScene::HintNotice() { return GrabWindow(Main().Form_Hint); }

QImage TCaptureScene::HelpWindow() { return GrabWindow(Main().Form_Help); }

QImage TCaptureScene::SheetWindow() {
  TFormMain& main = Main();
  QImage image;
  // The run shows the window modally; take the picture from inside its loop and close it.
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* sheet = qobject_cast<TForm_SpreadSheet*>(modal)) {
      image = sheet->grab().toImage();
      sheet->accept();
    } else if (modal) {
      modal->close();  // nothing else belongs in a picture of the ship list
    }
  });
  poll.start();
  main.BitBtn_ExcelClick();
  poll.stop();
  return image;
}

QImage TCaptureScene::AboutBox() {
  QMessageBox box(QMessageBox::Information, "Information", TFormMain::AboutText(), QMessageBox::Ok);
  return GrabWindow(&box);
}

QImage TCaptureScene::TrackReplay(bool allTracks, bool density) {
  TFormMain& main = Main();
  if (!main.ReplayShips()) SheetWindow();
  main.TrackReplay1Click();
  TTrackReplayWindow* window = main.Form_TrackReplay;
  if (!window) return {};
  window->Combo_Trail->setCurrentIndex(1);
  window->Check_AllTracks->setChecked(allTracks);
  window->Combo_AllTracks->setCurrentIndex(density ? 1 : 0);
  const TReplayModel& model = window->Model();
  window->SetTime(static_cast<double>(model.StartSeconds + model.EndSeconds) / 2);
  return GrabWindow(window, [window] { window->Map->FinishDensity(); });
}

QImage TCaptureScene::ReceptionRange() {
  TFormMain& main = Main();
  if (!main.ReplayShips()) SheetWindow();
  main.ReceptionRange1Click();
  TReceptionWindow* window = main.Form_ReceptionRange;
  if (!window) return {};
  GrabWindow(window);  // laid out at its size
  return window->Diagram->Picture();
}

QImage FramedWindow(const QImage& picture, const QString& caption) {
  if (picture.isNull()) return picture;
  constexpr int kBar = 24;
  QImage framed(picture.width() + 2, picture.height() + kBar + 1, QImage::Format_RGB32);
  framed.fill(QColor(60, 70, 90));
  QPainter p(&framed);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient bar(0, 0, 0, kBar);
  bar.setColorAt(0, QColor(70, 110, 180));
  bar.setColorAt(1, QColor(40, 75, 140));
  p.fillRect(QRect(1, 1, framed.width() - 2, kBar - 1), bar);
  QFont font;
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRect(10, 1, framed.width() - 80, kBar - 1), Qt::AlignVCenter | Qt::AlignLeft, caption);
  // Close box.
  const QRect close(framed.width() - 22, 5, 15, 15);
  p.setPen(QPen(Qt::white, 1.6));
  p.drawLine(close.topLeft() + QPoint(3, 3), close.bottomRight() - QPoint(3, 3));
  p.drawLine(close.topRight() + QPoint(-3, 3), close.bottomLeft() + QPoint(3, -3));
  p.drawImage(1, kBar, picture);
  p.end();
  return framed;
}

}  // namespace pelorin
