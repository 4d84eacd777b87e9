#pragma once
// The narrow view of the desktop that long work (scan, pass, run, writer) reports to:
// two progress bars, the details pane, the event pump and the stop key.
#include <cstdint>
#include <string_view>

namespace pelorin {

enum class TBar { Load, Total };  // ProgressBar_Load, ProgressBar_Total

class TProgressSink {
 public:
  virtual ~TProgressSink() = default;

  virtual void SetBarMin(TBar bar, int64_t value) = 0;
  virtual void SetBarMax(TBar bar, int64_t value) = 0;
  virtual void SetBarPosition(TBar bar, int64_t value) = 0;
  // Memo1: replace the whole content (a scan does) and append one line.
  virtual void ClearDetails() = 0;
  virtual void AppendDetail(std::string_view line) = 0;
  // Let the window process pending events. Callers may do this on every line;
  // the implementation decides how often it really pumps.
  virtual void ProcessMessages() = 0;
  // The per-line step of long work: SetBarPosition, then ProcessMessages. One call, so
  // that a sink can make the step cheap.
  virtual void StepBar(TBar bar, int64_t position) {
    SetBarPosition(bar, position);
    ProcessMessages();
  }
  // The stop key: true when ESC is held now or was pressed since the last query.
  virtual bool StopKeyPressed() = 0;
  // Label_StopESC ("Stop  with <ESC>").
  virtual void SetStopHintVisible(bool visible) { (void)visible; }

  // Minimum 0, position 0, maximum 100, then pump.
  void ResetProgressBar_Load() { Reset(TBar::Load); }
  void ResetProgressBar_Total() { Reset(TBar::Total); }

 private:
  void Reset(TBar bar) {
    SetBarMin(bar, 0);
    SetBarPosition(bar, 0);
    SetBarMax(bar, 100);
    ProcessMessages();
  }
};

// A sink that shows nothing: for batch work that only wants the result.
class TNullSink : public TProgressSink {
 public:
  void SetBarMin(TBar, int64_t) override {}
  void SetBarMax(TBar, int64_t) override {}
  void SetBarPosition(TBar, int64_t) override {}
  void ClearDetails() override {}
  void AppendDetail(std::string_view) override {}
  void ProcessMessages() override {}
  void StepBar(TBar, int64_t) override {}
  bool StopKeyPressed() override { return false; }
};

}  // namespace pelorin
