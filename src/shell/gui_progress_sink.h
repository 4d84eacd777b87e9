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
  void StepBar(TBar bar, int64_t position) override;
  bool StopKeyPressed() override;
  void SetStopHintVisible(bool visible) override;

  // Shows what is pending now, without processing events.
  void Flush();
  // Forget earlier key presses and stop requests; long work is about to start.
  void BeginWork();
  // Makes the stop key answer true until the next BeginWork (closing the window, the
  // cancel operation).
  void RequestStop() { stopRequested_ = true; }

  // Time spent showing what is pending and processing events since BeginWork: what the
  // window costs the work (measured by pelorin-gui-bench).
  std::chrono::steady_clock::duration PumpTime() const { return pumpTime_; }

  static constexpr std::chrono::milliseconds kPumpInterval{33};
  // Few enough that even lines of many megabytes leave the window responsive.
  static constexpr int kCallsPerClockRead = 8;

 private:
  struct TBarValues {
    int64_t Min = 0, Max = 100, Position = 0;
    int64_t Shown = 0;   // the position last given to the widget
    bool Dirty = false;  // the range changed
  };
  TBarValues& Values(TBar bar) { return bar == TBar::Load ? load_ : total_; }
  static void Apply(QProgressBar* widget, TBarValues& values);
  [[gnu::noinline]] void PumpIfDue();

  QProgressBar* loadBar_;
  QProgressBar* totalBar_;
  QPlainTextEdit* details_;
  QLabel* stopHint_;
  TStopKeyFilter* stopKey_;
  TBarValues load_, total_;
  QStringList pendingLines_;
  bool stopRequested_ = false;
  std::chrono::steady_clock::time_point lastPump_{};
  int callsToClock_ = 0;
  std::chrono::steady_clock::duration pumpTime_{};
};

}  // namespace pelorin
