#include "cli/cli_sink.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>

namespace pelorin::cli {

namespace {

constexpr int kBarWidth = 24;
// The clock is read every this many pumps; a pass pumps on every line.
constexpr uint32_t kPumpsPerClockRead = 64;
constexpr auto kDrawInterval = std::chrono::milliseconds(100);

int Percent(int64_t min, int64_t max, int64_t position) {
  if (max <= min) return position >= max ? 100 : 0;
  const int64_t done = std::clamp(position, min, max) - min;
  return static_cast<int>(done * 100 / (max - min));
}

void AppendBar(std::string& text, const char* label, int percent) {
  text += label;
  text += " [";
  const int filled = percent * kBarWidth / 100;
  text.append(static_cast<size_t>(filled), '#');
  text.append(static_cast<size_t>(kBarWidth - filled), '.');
  char number[8];
  std::snprintf(number, sizeof number, "] %3d%%", percent);
  text += number;
}

volatile std::sig_atomic_t* g_interruptFlag = nullptr;
bool g_errIsTerminal = false;

void OnInterrupt(int) {
  if (g_interruptFlag != nullptr) *g_interruptFlag = 1;
  static const char kTerminalText[] = "\r\033[K" "pelorin-cli: stopping (Ctrl-C again ends at once)\n";
  static const char kPlainText[] = "pelorin-cli: stopping (Ctrl-C again ends at once)\n";
  const char* text = g_errIsTerminal ? kTerminalText : kPlainText;
  const size_t size = g_errIsTerminal ? sizeof kTerminalText - 1 : sizeof kPlainText - 1;
  ssize_t ignored = ::write(STDERR_FILENO, text, size);
  (void)ignored;
}

}  // namespace

TCliSink::TCliSink(std::FILE* report, std::FILE* bar, const volatile std::sig_atomic_t* stop)
    : report_(report),
      bar_(bar),
      stop_(stop),
      reportOnTerminal_(report != nullptr && ::isatty(::fileno(report)) == 1) {}

TCliSink::~TCliSink() { EraseBar(); }

void TCliSink::AppendDetail(std::string_view line) { WriteReportLine(line); }

void TCliSink::WriteReportLine(std::string_view line) {
  if (report_ == nullptr) return;
  if (reportOnTerminal_) EraseBar();
  std::fwrite(line.data(), 1, line.size(), report_);
  std::fputc('\n', report_);
  // Line by line, so that a reader of a pipe sees the run's progress as it goes.
  std::fflush(report_);
}

void TCliSink::ProcessMessages() {
  if (bar_ == nullptr) return;
  if (++pumps_ % kPumpsPerClockRead != 0 && barShown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (barShown_ && now - lastDraw_ < kDrawInterval) return;
  lastDraw_ = now;
  Draw();
}

bool TCliSink::StopKeyPressed() { return stop_ != nullptr && *stop_ != 0; }

void TCliSink::Draw() {
  text_.assign("\r");
  AppendBar(text_, "total", Percent(total_.Min, total_.Max, total_.Position));
  AppendBar(text_, "   file", Percent(load_.Min, load_.Max, load_.Position));
  text_ += "\033[K";
  std::fwrite(text_.data(), 1, text_.size(), bar_);
  std::fflush(bar_);
  barShown_ = true;
}

void TCliSink::EraseBar() {
  if (bar_ == nullptr || !barShown_) return;
  std::fputs("\r\033[K", bar_);
  std::fflush(bar_);
  barShown_ = false;
}

void TCliMessageBox::Show(TMessageKind, std::string_view, std::string_view text) {
  Shown.emplace_back(text);
  Say(text);
}

void TCliMessageBox::Say(std::string_view text) {
  if (sink_ != nullptr) sink_->EraseBar();
  std::fwrite(kProgramPrefix.data(), 1, kProgramPrefix.size(), err_);
  std::fwrite(text.data(), 1, text.size(), err_);
  std::fputc('\n', err_);
  std::fflush(err_);
}

bool InstallInterruptHandler(volatile std::sig_atomic_t* flag) {
  g_interruptFlag = flag;
  g_errIsTerminal = ::isatty(STDERR_FILENO) == 1;
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_RESETHAND;
  return ::sigaction(SIGINT, &action, nullptr) == 0;
}

}  // namespace pelorin::cli
