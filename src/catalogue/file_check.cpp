#include "catalogue/file_check.h"

#include <algorithm>

#include "catalogue/line_reader.h"
#include "catalogue/regular_file.h"

namespace pelorin {

namespace {
constexpr size_t kNamesShown = 5;
}  // namespace

TFileCheck CheckLogFile(const std::string& path, const TLineIndex& scanned) {
  TFileCheck check;
  TLineReader reader;
  if (!reader.Open(path)) {
    check.State = TFileState::Changed;
    return check;
  }
  const TFileIdentity& now = reader.Identity();
  if (now == scanned.Identity) return check;
  if (now.Size < scanned.Identity.Size) {
    check.State = TFileState::Changed;
    return check;
  }
  std::string error;
  if (!reader.Index(&error, scanned.Identity.Size, &check.Line)) {
    check.State = TFileState::ReadFailed;
    check.Reason = FileErrorReason(error, path);
    return check;
  }
  const TLineIndex& again = reader.LineIndex();
  if (again.Fingerprint != scanned.Fingerprint || again.Lines != scanned.Lines) check.State = TFileState::Changed;
  return check;
}

TCardCheck CheckCardFiles(const TCatalogue& catalogue, int64_t first, int64_t last) {
  TCardCheck card;
  const auto& names = catalogue.SD_Info.FileListe;
  std::vector<bool> seen(names.size(), false);
  for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < static_cast<int64_t>(catalogue.LogList.size()); ++i) {
    const int64_t f = catalogue.LogList[static_cast<size_t>(i)].File_Index;
    if (f < 0 || static_cast<size_t>(f) >= names.size() || seen[static_cast<size_t>(f)]) continue;
    seen[static_cast<size_t>(f)] = true;
  }
  for (size_t f = 0; f < names.size(); ++f) {
    if (!seen[f]) continue;
    // A file the scan never read has nothing to compare with: it cannot be trusted.
    if (f >= catalogue.FileIndex.size()) {
      card.Changed.push_back(names[f]);
      continue;
    }
    const TFileCheck check = CheckLogFile(catalogue.SD_Info.DirectoryName + names[f], catalogue.FileIndex[f]);
    if (check.State == TFileState::Changed) card.Changed.push_back(names[f]);
    if (check.State == TFileState::ReadFailed && card.ReadStop.empty())
      card.ReadStop = ReadStoppedText(names[f], check.Line, check.Reason);
  }
  return card;
}

std::string CardChangedText(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size() && i < kNamesShown; ++i) {
    if (i > 0) list += ", ";
    list += names[i];
  }
  if (names.size() > kNamesShown) list += ", …";
  return "The SD card has changed since it was opened: " + list + ". Please open it again.";
}

std::string ReadStoppedText(std::string_view name, int64_t line, std::string_view reason) {
  return "Reading " + std::string(name) + " stopped at line " + std::to_string(line) + ": " + std::string(reason) +
         ".";
}

}  // namespace pelorin
