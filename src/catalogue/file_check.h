#pragma once
// Whether the files of a card still hold the lines the scan indexed, and the words for
// when they do not: a run must not read a card that changed under it as if it had not.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/log_index.h"

namespace pelorin {

enum class TFileState {
  Unchanged,   // the indexed bytes are there as scanned (the file may have grown since)
  Changed,     // gone, shorter, other content, or no longer a regular file
  ReadFailed,  // could not be read through to tell
};

struct TFileCheck {
  TFileState State = TFileState::Unchanged;
  int64_t Line = 0;    // ReadFailed: where reading stopped
  std::string Reason;  // ReadFailed: the system's words
};

// Reads nothing when the file's size and times are those scanned; otherwise reads the
// scanned length of it again and compares fingerprints, so that a file touched but
// identical, or one still being written to, counts as unchanged.
TFileCheck CheckLogFile(const std::string& path, const TLineIndex& scanned);

struct TCardCheck {
  std::vector<std::string> Changed;  // file names, in FileListe order
  std::string ReadStop;              // the first read failure, as ReadStoppedText words it
  bool Ok() const { return Changed.empty() && ReadStop.empty(); }
};

// The files of log-index entries [first, last].
TCardCheck CheckCardFiles(const TCatalogue& catalogue, int64_t first, int64_t last);

// "The SD card has changed since it was opened: A, B. Please open it again." (the first
// five names, then "…").
std::string CardChangedText(const std::vector<std::string>& names);

// "Reading NAME stopped at line N: REASON."
std::string ReadStoppedText(std::string_view name, int64_t line, std::string_view reason);

inline constexpr std::string_view kChangedWhileRead = "the file changed while it was being read";

}  // namespace pelorin
