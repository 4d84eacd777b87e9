#include "exports/export_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace pelorin {

namespace {

constexpr size_t kDrainBytes = 1 << 20;

[[noreturn]] void Fail(const std::string& target, int error) {
  throw TExportError("cannot write " + target + ": " + std::strerror(error));
}

}  // namespace

std::string StagedPath(const std::string& target) { return target + ".part"; }

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

void CommitStaged(const std::string& target) {
  std::error_code ec;
  std::filesystem::rename(StagedPath(target), target, ec);
  if (ec) {
    RemoveQuietly(StagedPath(target));
    throw TExportError("cannot write " + target + ": " + ec.message());
  }
}

void OpenExportText(TExportText& out, const std::string& target) {
  out.Target = target;
  out.Buffer.clear();
  out.Stream = std::fopen(StagedPath(target).c_str(), "wb");
  if (out.Stream == nullptr) Fail(target, errno);
}

void Drain(TExportText& out, bool always) {
  if (out.Buffer.empty() || (!always && out.Buffer.size() < kDrainBytes)) return;
  if (std::fwrite(out.Buffer.data(), 1, out.Buffer.size(), out.Stream) != out.Buffer.size()) Fail(out.Target, errno);
  out.Buffer.clear();
}

void FinishExportText(TExportText& out) {
  Drain(out, true);
  std::FILE* stream = out.Stream;
  out.Stream = nullptr;
  // fflush first: fclose's own errno is not reliable on every libc.
  const bool flushed = std::fflush(stream) == 0;
  const int error = errno;
  if (std::fclose(stream) != 0 || !flushed) {
    RemoveQuietly(StagedPath(out.Target));
    Fail(out.Target, flushed ? errno : error);
  }
}

void CloseExportText(TExportText& out) {
  FinishExportText(out);
  CommitStaged(out.Target);
}

void AbandonExportText(TExportText& out) {
  if (out.Stream != nullptr) std::fclose(out.Stream);
  out.Stream = nullptr;
  if (!out.Target.empty()) RemoveQuietly(StagedPath(out.Target));
}

void StartProgress(TExportProgress& progress, int64_t total) {
  progress.Done = 0;
  progress.Sink.ResetProgressBar_Load();
  progress.Sink.SetBarMax(TBar::Load, total > 0 ? total : 1);
  progress.Sink.ProcessMessages();
}

void Advance(TExportProgress& progress, int64_t points) {
  progress.Done += points;
  progress.Sink.StepBar(TBar::Load, progress.Done);
  if (progress.Sink.StopKeyPressed()) throw TExportStopped{};
}

}  // namespace pelorin
