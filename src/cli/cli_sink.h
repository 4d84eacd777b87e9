#pragma once
// The terminal side of pelorin-cli: report lines on one stream, a progress bar and the
// message boxes on another, and Ctrl-C as the stop key.
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"
#include "platform/progress_sink.h"

namespace pelorin::cli {

// Messages on standard error start with this.
inline constexpr std::string_view kProgramPrefix = "pelorin-cli: ";

class TCliSink : public TProgressSink {
 public:
  // `report`: where the details lines go, flushed line by line (null: nowhere). `bar`:
  // where the progress bar is drawn (null: no bar). `stop`: non-zero asks for the stop.
  TCliSink(std::FILE* report, std::FILE* bar, const volatile std::sig_atomic_t* stop);
  ~TCliSink() override;

  void SetBarMin(TBar bar, int64_t value) override { State(bar).Min = value; }
  void SetBarMax(TBar bar, int64_t value) override { State(bar).Max = value; }
  void SetBarPosition(TBar bar, int64_t value) override { State(bar).Position = value; }
  void ClearDetails() override {}  // what is printed stays printed
  void AppendDetail(std::string_view line) override;
  void ProcessMessages() override;
  bool StopKeyPressed() override;

  // Takes the bar off the terminal line, so that a message can be printed; the next
  // drawing puts it back.
  void EraseBar();
  // Writes one line to the report stream (also the ship-list rows).
  void WriteReportLine(std::string_view line);

 private:
  struct TBarState {
    int64_t Min = 0, Max = 100, Position = 0;
  };
  TBarState& State(TBar bar) { return bar == TBar::Load ? load_ : total_; }
  void Draw();

  std::FILE* report_;
  std::FILE* bar_;
  const volatile std::sig_atomic_t* stop_;
  TBarState load_, total_;
  uint32_t pumps_ = 0;
  bool reportOnTerminal_;  // then a report line must first take the bar away
  bool barShown_ = false;
  std::chrono::steady_clock::time_point lastDraw_{};
  std::string text_;  // reused for every drawing
};

// Message boxes as lines on standard error: "pelorin-cli: " and the text.
class TCliMessageBox : public TMessageBox {
 public:
  TCliMessageBox(std::FILE* err, TCliSink* sink) : err_(err), sink_(sink) {}
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override;
  // A message of the command line itself, same form.
  void Say(std::string_view text);

  std::vector<std::string> Shown;  // every box text, in order

 private:
  std::FILE* err_;
  TCliSink* sink_;
};

// Ctrl-C: the first SIGINT sets *flag and says that the program is stopping; a second
// one ends the program at once (default action). Call once, from main.
bool InstallInterruptHandler(volatile std::sig_atomic_t* flag);

}  // namespace pelorin::cli
