#pragma once
// The main window's side of the progress-and-report sink. Bars and details lines are
// kept here and shown when events are pumped, which happens at most about 30 times a
// second however often the logic asks, so per-line calls stay cheap.
#include <chrono>
#include <cstdint>
#include <string_view>

#include <QStringList>

#include "platform/progress_sink.h"

class QLabel;
class QPlainTextEdit;
class QProgressBar;

namespace pelorin {

class TStopKeyFilter;

class TGuiProgressSink : public TProgressSink {
 public:
  TGuiProgressSink(QProgressBar* load, QProgressBar* total, QPlainTextEdit* details, QLabel* stopHint,
                   TStopKeyFilter* stopKey);

  void SetBarMin(TBar bar, int64_t value) override;
  void SetBarMax(TBar bar, int64_t value) override;
  void SetBarPosition(TBar bar, int64_t value) override;
  void ClearDetails() override;
  void AppendDetail(std::string_view line) override;
  void ProcessMessages() override;
  bool StopKeyPressed() override;
  void SetStopHintVisible(bool visible) override;

  // Shows what is pending now, without processing events.
  void Flush();
  // Forget earlier key presses and stop requests; long work is about to start.
  void BeginWork();
  // Makes the stop key answer true until the next BeginWork (closing the window, the
  // cancel operation).
  void RequestStop() { stopRequested_ = true; }

  static constexpr std::chrono::milliseconds kPumpInterval{33};

 private:
  struct TBarValues {
    int64_t Min = 0, Max = 100, Position = 0;
    bool Dirty = false;
  };
  TBarValues& Values(TBar bar) { return bar == TBar::Load ? load_ : total_; }
  static void Apply(QProgressBar* widget, TBarValues& values);

  QProgressBar* loadBar_;
  QProgressBar* totalBar_;
  QPlainTextEdit* details_;
  QLabel* stopHint_;
  TStopKeyFilter* stopKey_;
  TBarValues load_, total_;
  QStringList pendingLines_;
  bool stopRequested_ = false;
  std::chrono::steady_clock::time_point lastPump_{};
};

}  // namespace pelorin
