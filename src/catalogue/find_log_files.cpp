#include <dirent.h>

#include <algorithm>
#include <cstring>

#include "catalogue/log_scan.h"

namespace pelorin {

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool MatchesLogPattern(const char* name) {
  const size_t n = std::strlen(name);
  if (n < 4) return false;
  const char* ext = name + n - 4;
  return ext[0] == '.' && AsciiUpper(ext[1]) == 'L' && AsciiUpper(ext[2]) == 'O' && AsciiUpper(ext[3]) == 'G';
}

bool CardOrder(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char ua = static_cast<unsigned char>(AsciiUpper(a[i]));
    const unsigned char ub = static_cast<unsigned char>(AsciiUpper(b[i]));
    if (ua != ub) return ua < ub;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

bool FindLogFiles(const std::string& directory, std::vector<std::string>& list) {
  DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return false;
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (name[0] == '.') continue;  // hidden, also "." and ".."
    if (MatchesLogPattern(name)) found.emplace_back(name);
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end(), CardOrder);
  list.insert(list.end(), found.begin(), found.end());
  return !found.empty();
}

}  // namespace pelorin
