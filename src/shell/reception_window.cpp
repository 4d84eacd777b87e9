#include "shell/reception_window.h"

#include <array>
#include <cstdio>

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include "codec/point_texts.h"
#include "codec/vessel_rules.h"
#include "coverage/polar_diagram.h"

namespace pelorin {

namespace {

// Okabe and Ito's colours, told apart also by most colour-blind eyes; after them the
// days repeat the colours dashed.
constexpr std::array<QRgb, 7> kDayColours = {0x0072B2, 0xD55E00, 0x009E73, 0xCC79A7, 0xE69F00, 0x56B4E9, 0x000000};
constexpr int kLegendWidth = 120;
constexpr int kCaptionHeight = 26;
constexpr int kLabelRoom = 28;  // outside the outer ring, for the bearings

QString TimeText(int64_t seconds) {
  char text[20];
  return TimeStampChars(SecondsToTDateTime(seconds), text) ? QString::fromLatin1(text, sizeof text) : QString();
}

QPen DayPen(size_t day) {
  QPen pen(QColor::fromRgb(kDayColours[day % kDayColours.size()]), 2);
  if (day >= kDayColours.size()) pen.setStyle(Qt::DashLine);
  return pen;
}

QString NMText(double nm) { return QString::number(nm, 'g', 4) + " NM"; }

void PaintGrid(QPainter& p, QPointF centre, double radius, const TPolarScale& scale) {
  p.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
  p.setBrush(Qt::NoBrush);
  for (int k = 1; k <= scale.Rings; ++k) {
    const double r = radius * k / scale.Rings;
    p.drawEllipse(centre, r, r);
  }
  for (int b = 0; b < 360; b += 30) {
    const TPolarPoint end = PolarPointOf(b, scale.OuterNM, radius, scale);
    p.setPen(QPen(QColor(0xD0, 0xD0, 0xD0), 1));
    p.drawLine(centre, centre + QPointF(end.X, end.Y));
    const TPolarPoint at = PolarPointOf(b, scale.OuterNM * (radius + kLabelRoom / 2.0) / radius, radius, scale);
    const QString text = b % 90 == 0 ? QString("NESW"[b / 90]) : QString::number(b) + QChar(0xB0);
    p.setPen(Qt::black);
    p.drawText(QRectF(centre.x() + at.X - 24, centre.y() + at.Y - 10, 48, 20), Qt::AlignCenter, text);
  }
  p.setPen(QColor(0x60, 0x60, 0x60));
  for (int k = 1; k <= scale.Rings; ++k)
    p.drawText(QPointF(centre.x() + 4, centre.y() - radius * k / scale.Rings + 13), NMText(scale.StepNM * k));
}

void PaintCurve(QPainter& p, QPointF centre, const std::vector<TPolarPoint>& curve) {
  QPolygonF polygon;
  for (const TPolarPoint& q : curve) polygon << centre + QPointF(q.X, q.Y);
  if (polygon.size() == 1) p.drawEllipse(polygon[0], 2, 2);
  else p.drawPolygon(polygon);
}

void PaintLegend(QPainter& p, QPointF at, const std::vector<TReceptionDay>& days) {
  for (size_t d = 0; d < days.size(); ++d) {
    const QPointF row = at + QPointF(0, 20.0 * static_cast<double>(d));
    p.setPen(DayPen(d));
    p.drawLine(row + QPointF(0, -4), row + QPointF(22, -4));
    p.setPen(Qt::black);
    p.drawText(row + QPointF(30, 0), TimeText(days[d].DaySeconds).left(10));
  }
}

void PaintDiagram(QPainter& p, QSize size, const TReceptionRanges& ranges, const QString& caption) {
  p.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  p.setRenderHint(QPainter::Antialiasing);
  const double plotW = size.width() - kLegendWidth, plotH = size.height() - kCaptionHeight;
  const QPointF centre(plotW / 2, plotH / 2);
  const double radius = std::max(10.0, std::min(plotW, plotH) / 2 - kLabelRoom);
  const TRangeBin* farthest = FarthestBin(ranges.Whole);
  const TPolarScale scale = PolarScaleOf(farthest ? farthest->MaxNM : 0);
  PaintGrid(p, centre, radius, scale);
  p.setBrush(Qt::NoBrush);
  for (size_t d = 0; d < ranges.Days.size(); ++d) {
    p.setPen(DayPen(d));
    PaintCurve(p, centre, RangeCurveOf(ranges.Days[d].Range, radius, scale));
  }
  if (farthest) {
    const TPolarPoint q = PolarPointOf(static_cast<double>(farthest - ranges.Whole.Bins.data()), farthest->MaxNM, radius, scale);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawEllipse(centre + QPointF(q.X, q.Y), 5, 5);
  }
  p.setBrush(QColor(0xC0, 0x00, 0x00));
  p.setPen(Qt::NoPen);
  p.drawEllipse(centre, 4, 4);  // the own vessel
  PaintLegend(p, QPointF(plotW + 4, 24), ranges.Days);
  p.setPen(Qt::black);
  p.drawText(QRectF(8, plotH, size.width() - 16, kCaptionHeight), Qt::AlignVCenter | Qt::AlignLeft, caption);
}

}  // namespace

QString FarthestText(const TShipList& ships, const TReceptionRanges& ranges) {
  const TRangeBin* bin = FarthestBin(ranges.Whole);
  if (!bin) return "No vessel heard at a time with an own position";
  const TStatic& ship = ships[bin->Entry];
  return QString("Farthest: %1 (MMSI %2), %3 NM at %4%5, %6")
      .arg(QString::fromStdString(VesselTitle(ship)), QString::fromStdString(ship.MMSI), QString::number(bin->MaxNM, 'f', 2))
      .arg(bin - ranges.Whole.Bins.data())
      .arg(QChar(0xB0))
      .arg(TimeText(bin->Seconds));
}

TReceptionDiagram::TReceptionDiagram(QWidget* parent) : QWidget(parent) { setMinimumSize(480, 400); }

void TReceptionDiagram::SetRanges(const TReceptionRanges* ranges, QString caption) {
  ranges_ = ranges;
  caption_ = std::move(caption);
  update();
}

QImage TReceptionDiagram::Picture() const {
  QImage image(size().expandedTo(minimumSize()), QImage::Format_RGB32);
  QPainter p(&image);
  if (ranges_) PaintDiagram(p, image.size(), *ranges_, caption_);
  return image;
}

void TReceptionDiagram::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (ranges_) PaintDiagram(p, size(), *ranges_, caption_);
  else p.fillRect(rect(), Qt::white);
}

TReceptionWindow::TReceptionWindow(TReceptionWindowOptions options, QWidget* parent)
    : QWidget(parent, Qt::Window), options_(std::move(options)) {
  setWindowTitle("Reception Range");
  resize(760, 700);
  Label_Farthest = new QLabel(this);
  Label_Farthest->setTextInteractionFlags(Qt::TextSelectableByMouse);
  Diagram = new TReceptionDiagram(this);
  Button_SavePicture = new QPushButton("Save Picture\u2026", this);
  connect(Button_SavePicture, &QPushButton::clicked, this, [this] { SavePicture1Click(); });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(Button_SavePicture);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label_Farthest);
  layout->addWidget(Diagram, 1);
  layout->addLayout(buttons);
}

void TReceptionWindow::SetShips(std::shared_ptr<const TShipList> ships, TProgressSink& sink) {
  ships_ = std::move(ships);
  ranges_ = ships_ ? ReceptionRangesOf(*ships_, sink) : TReceptionRanges{};
  const QString farthest = ships_ ? FarthestText(*ships_, ranges_) : QString();
  Label_Farthest->setText(farthest);
  Diagram->SetRanges(&ranges_, farthest);
}

void TReceptionWindow::SavePicture1Click() {
  const std::optional<QString> path = ChoosePicturePath(options_.ChoosePicturePath, this, "reception-range.png");
  if (!path) return;
  if (const QString error = WritePicture(Diagram->Picture(), *path); !error.isEmpty() && options_.Messages)
    options_.Messages->Show(TMessageKind::Error, "Error", "Cannot write " + path->toStdString() + ": " + error.toStdString());
}

}  // namespace pelorin
