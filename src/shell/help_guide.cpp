#include "shell/help_guide.h"

#include <QFont>
#include <QGroupBox>
#include <QLinearGradient>
#include <QPainter>

#include "shell/main_window.h"
#include "shell/pictures.h"
#include "shell/window_captures.h"

namespace pelorin {
namespace {

const QColor kInk(20, 50, 110);
const QColor kPaper(250, 252, 255);

QFont GuideFont(int pixels, bool bold = false) {
  QFont font;
  font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

// Scaled down to fit `box` (never up, which would blur it), with a thin shadow.
QRect DrawPicture(QPainter& p, const QImage& picture, const QRect& box, Qt::Alignment align) {
  if (picture.isNull() || box.width() <= 0 || box.height() <= 0) return {};
  QSize size = picture.size();
  if (size.width() > box.width() || size.height() > box.height()) size.scale(box.size(), Qt::KeepAspectRatio);
  QRect target(QPoint(), size);
  target.moveTop(box.top());
  if (align & Qt::AlignHCenter)
    target.moveLeft(box.left() + (box.width() - size.width()) / 2);
  else
    target.moveLeft(box.left());
  p.fillRect(target.translated(3, 3), QColor(0, 0, 0, 50));
  p.drawImage(target, picture);
  return target;
}

// Paragraphs from the top of `box`; returns the first free line below them.
int DrawParagraphs(QPainter& p, const QStringList& paragraphs, const QRect& box) {
  int y = box.top();
  for (const QString& text : paragraphs) {
    const QRect r = p.boundingRect(QRect(box.left(), y, box.width(), 2000), Qt::TextWordWrap, text);
    p.drawText(r, Qt::TextWordWrap, text);
    y = r.bottom() + 9;
  }
  return y;
}

}  // namespace

const std::vector<THelpPageText>& HelpPageTexts() {
  static const std::vector<THelpPageText> pages = {
      {"Starting Pelorin",
       {"Pelorin reads the log files that an AIS transponder writes to its SD card and shows the "
        "vessels it heard: as tracks in Google Earth, or as a ship list.",
        "At each start the introduction below appears. Tick \"Do not show this again\" and press "
        "OK, and it stays away from the next start on.",
        "Pelorin keeps this choice, and whether hints are shown, in \"Pelorin.ini\" in the folder it "
        "was started from. The KML document and the workbook are written there too."}},
      {"The main window",
       {"Top: the SD card's folder, the \"Open\" button and two progress bars (the file being read, "
        "and all files).",
        "Middle: the start and the end of the time to analyse, each a calendar with hour and minute. "
        "Right: the analysis options and the two outputs, enabled once a card has been read."}},
      {"Opening the SD card",
       {"Press \"Open\" and choose the card's folder in the \"Select SD-Card\" dialog. Pelorin lists "
        "its *.LOG files and reads each one to find the days and times it covers.",
        "The upper bar shows the file being read, the lower one the files done. Press <ESC> to stop; "
        "the red hint reminds you while work is going on.",
        "When the card holds time stamps, the two output buttons are enabled and the calendars "
        "jump to its first day."}},
      {"Choosing the start",
       {"Only bold days hold AIS data.",
        "Click a day: the start moves forward to the next day with data, and hour and minute show "
        "when that day's data begins.",
        "\"<\" and \">\" step a month back or forward, again landing on a day with data.",
        "Change hour and minute with the arrows (they wrap from 23 to 0 and from 59 to 0) or type "
        "them in."}},
      {"Choosing the end",
       {"A click on the end calendar moves the end back to the previous day with data, with the "
        "time at which that day's data ends.",
        "A start after the end pulls the end along; an end before the start pulls the start along.",
        "Typed times count as they stand: minute 90 is an hour and a half. A start after the end "
        "is refused when the analysis begins."}},
      {"Analysis options",
       {"\"Own Track\" shows only your own vessel's track, \"All Vessel Tracks\" the tracks of every "
        "vessel heard.",
        "\"Reduced Data\" keeps one position every 30 seconds per vessel, which keeps long tracks "
        "light.",
        "\"Show Analysis Details\" widens the window to show the report of the card and of each "
        "analysis."}},
      {"Tracks in Google Earth",
       {"\"GoogleEarth(TM)\" analyses the chosen time, writes \"SD_Belumar.kml\" into Pelorin's start "
        "folder and opens it with the program your desktop uses for KML files.",
        "While hints are on, this notice comes first. For animation choose no more than 12 hours; "
        "your own track alone may cover any time. Press <ESC> to stop a long analysis."}},
      {"The ship list",
       {"\"Ship-List/ Excel(TM)\" lists every vessel heard in the chosen time: class, MMSI, name, "
        "status, call sign, type, size, draught, destination and message counts.",
        "The list is saved as the workbook \"Mappe_SD.xls\" in Pelorin's start folder and shown as "
        "saved; \"Open in spreadsheet application\" hands it to your spreadsheet program."}},
      {"Analysis details",
       {"With \"Show Analysis Details\" ticked the window shows the report: the files found and their "
        "lines, the days and line ranges read from them, and for each analysis the files read and "
        "the numbers of static and position reports."}},
      {"Help, settings and leaving",
       {"\"Help\" > \"How To\" opens this guide at the page you left it on; \"Help\" > \"About\" shows "
        "the version.",
        "\"File\" > \"Exit\" or the close box ends Pelorin, stopping any work first; the settings are "
        "saved on leaving.",
        "Ticking \"Hide this next time\" in the Google Earth notice turns hints and tooltips off from "
        "the next start; HINT=TRUE in \"Pelorin.ini\" brings them back."}},
  };
  return pages;
}

QImage PaintHelpCover() {
  QImage image(kHelpPageWidth, kHelpPageHeight, QImage::Format_RGB32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, kHelpPageHeight);
  sky.setColorAt(0, QColor(240, 248, 255));
  sky.setColorAt(1, QColor(190, 215, 240));
  p.fillRect(image.rect(), sky);

  p.setFont(GuideFont(30, true));
  p.setPen(kInk);
  p.drawText(QRect(0, 14, kHelpPageWidth, 44), Qt::AlignCenter, "Pelorin - How To");
  p.setFont(GuideFont(14));
  p.drawText(QRect(0, 56, kHelpPageWidth, 22), Qt::AlignCenter, "AIS logs from your SD card in Google Earth and in a ship list");

  p.setFont(GuideFont(15));
  p.setPen(Qt::black);
  int y = 98;
  int page = 2;
  for (const THelpPageText& text : HelpPageTexts()) {
    p.drawText(QRect(150, y, 40, 22), Qt::AlignRight | Qt::AlignVCenter, QString::number(page++));
    p.drawText(QRect(205, y, 330, 22), Qt::AlignLeft | Qt::AlignVCenter, text.Title);
    y += 24;
  }
  p.setFont(GuideFont(13));
  p.setPen(kInk);
  p.drawText(QRect(0, 346, kHelpPageWidth, 20), Qt::AlignCenter, "Turn the pages with \"Next  >\" and \"<  Previous\".");

  DrawGlobe(p, QRectF(500, 360, 80, 80));
  p.setPen(QPen(QColor(20, 70, 150), 3));
  p.drawLine(40, 420, 470, 420);
  DrawShip(p, QPointF(130, 405), 26, QColor(200, 40, 40));
  DrawShip(p, QPointF(330, 408), 18, QColor(240, 200, 40));
  p.end();
  return image;
}

QImage ComposeHelpPage(int number, const THelpPageText& text, const QImage& picture) {
  QImage page(kHelpPageWidth, kHelpPageHeight, QImage::Format_RGB32);
  page.fill(kPaper);
  QPainter p(&page);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::SmoothPixmapTransform);

  p.fillRect(QRect(0, 0, kHelpPageWidth, 38), kInk);
  p.setPen(Qt::white);
  p.setFont(GuideFont(18, true));
  p.drawText(QRect(14, 0, kHelpPageWidth - 90, 38), Qt::AlignVCenter | Qt::AlignLeft, text.Title);
  p.setFont(GuideFont(11));
  p.drawText(QRect(0, 0, kHelpPageWidth - 14, 38), Qt::AlignVCenter | Qt::AlignRight,
             QStringLiteral("%1 / %2").arg(number).arg(kHelpPages));

  const QRect area(14, 50, kHelpPageWidth - 28, kHelpPageHeight - 62);
  p.setPen(Qt::black);
  p.setFont(GuideFont(13));
  // Landscape pictures go below the text, upright ones beside it.
  const bool below = picture.isNull() || picture.width() >= picture.height() * 11 / 10;
  if (below) {
    const int y = DrawParagraphs(p, text.Paragraphs, area);
    DrawPicture(p, picture, QRect(area.left(), y + 2, area.width(), area.bottom() - y - 2), Qt::AlignHCenter);
  } else {
    const QRect drawn = DrawPicture(p, picture, QRect(area.left(), area.top(), area.width() * 11 / 20, area.height()), Qt::AlignLeft);
    const int left = drawn.right() + 20;
    DrawParagraphs(p, text.Paragraphs, QRect(left, area.top(), area.right() - left, area.height()));
  }
  p.end();
  return page;
}

std::vector<QImage> RenderHelpGuide(TCaptureScene& scene) {
  TFormMain& main = scene.Main();
  const auto& texts = HelpPageTexts();
  std::vector<QImage> pictures = {
      FramedWindow(scene.IntroNotice(), "Information"),
      FramedWindow(scene.MainWindow(false), "Pelorin"),
      scene.ControlWhileScanning(main.GroupBox_SD_Directory),
      scene.Control(main.Start.Group),
      scene.Control(main.End.Group),
      scene.Control(main.GroupBox_Analysis),
      FramedWindow(scene.HintNotice(), "Hint"),
      FramedWindow(scene.SheetWindow(), "Pelorin"),
      FramedWindow(scene.MainWindow(true), "Pelorin"),
      FramedWindow(scene.HelpWindow(), "Help"),
  };
  std::vector<QImage> pages;
  pages.push_back(HelpPage1Picture());
  for (size_t i = 0; i < texts.size(); ++i)
    pages.push_back(ComposeHelpPage(static_cast<int>(i) + 2, texts[i], pictures[i]));
  return pages;
}

}  // namespace pelorin
