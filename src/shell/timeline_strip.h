#pragma once
// The strip above the replay slider: bars of how many vessels sent a position per bin,
// the days' beginnings, and the replay time as a line. A click or drag moves the replay.
#include <QImage>
#include <QWidget>

#include "replay/timeline_bins.h"

namespace pelorin {

class TTimelineStrip : public QWidget {
  Q_OBJECT

 public:
  explicit TTimelineStrip(QWidget* parent = nullptr);

  // The bins and the span the slider covers (seconds); empty bins: a blank strip.
  void SetBins(TTimelineBins bins, int64_t start, int64_t end);
  void SetTime(double t);
  // The time under x, and back.
  double TimeAt(double x) const;
  double XOf(double t) const;

 signals:
  void TimeChosen(double t);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void DrawBars();  // into bars_, once per size and bins

  TTimelineBins bins_;
  int64_t start_ = 0, end_ = 0;
  double time_ = 0;
  QImage bars_;
};

}  // namespace pelorin
