#pragma once
// Where an export writes: beside its target under a ".part" name, renamed over the
// target only when complete, so that a stopped or failed export leaves no file; and the
// progress and stop key of the writers.
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/progress_sink.h"

namespace pelorin {

// A target that cannot be written; the text says which and why.
class TExportError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
// The stop key was pressed.
struct TExportStopped {};

// The staged name of `target`, and what is done with it.
std::string StagedPath(const std::string& target);
// Renames the staged file over `target`; throws TExportError.
void CommitStaged(const std::string& target);
void RemoveQuietly(const std::string& path);

// Text written through a buffer to a staged file. Throws TExportError on any failed write.
struct TExportText {
  std::FILE* Stream = nullptr;
  std::string Target;
  std::string Buffer;  // appended to by the writers; Drain writes it out
};
void OpenExportText(TExportText& out, const std::string& target);
// Writes the buffer when it holds a good amount (or always), and keeps its memory.
void Drain(TExportText& out, bool always = false);
// Drains and closes, leaving the staged file to be renamed; throws TExportError.
void FinishExportText(TExportText& out);
// Drains, closes and renames; throws TExportError.
void CloseExportText(TExportText& out);
// Closes and removes the staged file (after a failure or a stop); never throws.
void AbandonExportText(TExportText& out);

// The writers' progress over the points on the Load bar, and the stop key.
struct TExportProgress {
  TProgressSink& Sink;
  int64_t Done = 0;
};
void StartProgress(TExportProgress& progress, int64_t total);
// Counts `points` more; throws TExportStopped when ESC was pressed.
void Advance(TExportProgress& progress, int64_t points);
// Writers step the bar every kStepMask + 1 points, then by the rest of the track's points
// (the bar counts stored points, with or without a position).
inline constexpr size_t kStepMask = 4095;

}  // namespace pelorin
