#include "shell/gui_progress_sink.h"

#include <algorithm>
#include <limits>

#include <time.h>

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>

#include "shell/stop_key.h"

namespace pelorin {
namespace {

int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// A clock read costs more than a short line's work. The coarse clock (a few milliseconds
// fine, plenty for a pump every 33 ms) is read from memory, several times cheaper.
std::chrono::steady_clock::time_point CheapNow() {
#if defined(CLOCK_MONOTONIC_COARSE)
  timespec ts{};
  if (::clock_gettime(CLOCK_MONOTONIC_COARSE, &ts) == 0)
    return std::chrono::steady_clock::time_point(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
#endif
  return std::chrono::steady_clock::now();
}

}  // namespace

TGuiProgressSink::TGuiProgressSink(QProgressBar* load, QProgressBar* total, QPlainTextEdit* details,
                                   QLabel* stopHint, TStopKeyFilter* stopKey)
    : loadBar_(load), totalBar_(total), details_(details), stopHint_(stopHint), stopKey_(stopKey) {}

void TGuiProgressSink::SetBarMin(TBar bar, int64_t value) {
  TBarValues& v = Values(bar);
  v.Min = value;
  v.Dirty = true;
}

void TGuiProgressSink::SetBarMax(TBar bar, int64_t value) {
  TBarValues& v = Values(bar);
  v.Max = value;
  v.Dirty = true;
}

void TGuiProgressSink::SetBarPosition(TBar bar, int64_t value) {
  // Called for every line: one store; the next flush sees whether it moved.
  Values(bar).Position = value;
}

void TGuiProgressSink::ClearDetails() {
  pendingLines_.clear();
  if (details_) details_->clear();
}

void TGuiProgressSink::AppendDetail(std::string_view line) {
  pendingLines_.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
}

void TGuiProgressSink::ProcessMessages() {
  // The logic calls this for every line: only every few calls look at the clock, and the
  // rest return before any set-up for the pump's work.
  if (--callsToClock_ > 0) return;
  PumpIfDue();
}

void TGuiProgressSink::StepBar(TBar bar, int64_t position) {
  Values(bar).Position = position;
  if (--callsToClock_ > 0) return;
  PumpIfDue();
}

void TGuiProgressSink::PumpIfDue() {
  callsToClock_ = kCallsPerClockRead;
  const auto now = CheapNow();
  if (now - lastPump_ < kPumpInterval) return;
  lastPump_ = now;
  const auto began = std::chrono::steady_clock::now();
  Flush();
  QCoreApplication::processEvents();
  pumpTime_ += std::chrono::steady_clock::now() - began;
}

bool TGuiProgressSink::StopKeyPressed() {
  const bool key = stopKey_ && stopKey_->Query();
  return key || stopRequested_;
}

void TGuiProgressSink::SetStopHintVisible(bool visible) {
  if (stopHint_) stopHint_->setVisible(visible);
}

void TGuiProgressSink::Apply(QProgressBar* widget, TBarValues& values) {
  if (!values.Dirty && values.Position == values.Shown) return;
  values.Dirty = false;
  values.Shown = values.Position;
  if (!widget) return;
  // A maximum below the minimum would make Qt move the minimum.
  const int min = ToInt(values.Min);
  const int max = std::max(min, ToInt(values.Max));
  widget->setRange(min, max);
  widget->setValue(std::clamp(ToInt(values.Position), min, max));
}

void TGuiProgressSink::Flush() {
  Apply(loadBar_, load_);
  Apply(totalBar_, total_);
  if (!pendingLines_.isEmpty()) {
    if (details_) {
      // The pane follows the newest line unless the user scrolled up to read. The pane's
      // own following needs it shown and the last line in view, so it is done here.
      QScrollBar* bar = details_->verticalScrollBar();
      const bool follow = bar->value() == bar->maximum();
      // One append for the whole batch: a block per call would make long reports slow.
      details_->appendPlainText(pendingLines_.join('\n'));
      if (follow) bar->setValue(bar->maximum());
    }
    pendingLines_.clear();
  }
}

void TGuiProgressSink::BeginWork() {
  stopRequested_ = false;
  // The first pump of new work always runs, so the window shows at once that it started.
  lastPump_ = {};
  callsToClock_ = 0;
  pumpTime_ = {};
  if (stopKey_) stopKey_->Forget();
}

}  // namespace pelorin
