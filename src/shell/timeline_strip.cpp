#include "shell/timeline_strip.h"

#include <algorithm>
#include <cmath>

#include <QMouseEvent>
#include <QPainter>

#include "replay/map_text.h"

namespace pelorin {

TTimelineStrip::TTimelineStrip(QWidget* parent) : QWidget(parent) {
  setMinimumHeight(34);
  setToolTip("Vessels heard per 10 minutes (per hour over more than two days); click or drag to move the replay");
}

void TTimelineStrip::SetBins(TTimelineBins bins, int64_t start, int64_t end) {
  bins_ = std::move(bins);
  start_ = start, end_ = end;
  bars_ = QImage();
  update();
}

void TTimelineStrip::SetTime(double t) {
  time_ = t;
  update();
}

double TTimelineStrip::XOf(double t) const {
  if (end_ <= start_) return 0;
  return (t - static_cast<double>(start_)) / static_cast<double>(end_ - start_) * (width() - 1);
}

double TTimelineStrip::TimeAt(double x) const {
  const double f = width() > 1 ? std::clamp(x / (width() - 1), 0.0, 1.0) : 0;
  return static_cast<double>(start_) + f * static_cast<double>(end_ - start_);
}

void TTimelineStrip::DrawBars() {
  bars_ = QImage(size(), QImage::Format_RGB32);
  bars_.fill(QColor(0x24, 0x2c, 0x38));
  QPainter p(&bars_);
  const int h = height();
  for (size_t b = 0; b < bins_.Vessels.size() && bins_.Max > 0; ++b) {
    const int64_t from = bins_.Start + static_cast<int64_t>(b) * bins_.BinSeconds;
    const double x0 = std::max(0.0, XOf(static_cast<double>(from)));
    const double x1 = std::min(width() - 1.0, XOf(static_cast<double>(from + bins_.BinSeconds)));
    const double bar = (h - 4) * static_cast<double>(bins_.Vessels[b]) / bins_.Max;
    p.fillRect(QRectF(x0, h - bar, std::max(1.0, x1 - x0 - 0.5), bar), QColor(0x6e, 0xce, 0x58));
  }
  // Days begin at a line with their date.
  p.setPen(QColor(255, 255, 255, 170));
  for (int64_t day : DayStartsWithin(start_, end_)) {
    const double x = XOf(static_cast<double>(day));
    p.drawLine(QPointF(x, 0), QPointF(x, h));
    p.drawText(QPointF(x + 3, 11), QString::fromStdString(ReplayTimeText(static_cast<double>(day)).substr(0, 10)));
  }
}

void TTimelineStrip::paintEvent(QPaintEvent*) {
  if (bars_.size() != size()) DrawBars();
  QPainter p(this);
  p.drawImage(0, 0, bars_);
  if (end_ > start_) {
    const double x = XOf(time_);
    p.setPen(QPen(QColor(255, 80, 80), 2));
    p.drawLine(QPointF(x, 0), QPointF(x, height()));
  }
}

void TTimelineStrip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  bars_ = QImage();
}

void TTimelineStrip::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && end_ > start_) emit TimeChosen(TimeAt(event->position().x()));
}

void TTimelineStrip::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) && end_ > start_) emit TimeChosen(TimeAt(event->position().x()));
}

}  // namespace pelorin
