#include "shell/settings_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace pelorin {
namespace {

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Index of the line that holds `key`, or -1.
std::ptrdiff_t FindKey(const TSettingsLines& lines, std::string_view key) {
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    if (EqualsIgnoreAsciiCase(std::string_view(line).substr(0, eq), key)) return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string FileError(const char* what, const std::string& path, int err) {
  return std::string(what) + " \"" + path + "\". " + std::strerror(err);
}

}  // namespace

TSettingsLines DefaultSettingsLines() {
  return {"[Version]", "Version=A038", "", "[Hint]", "HINT=TRUE", "", "[Intro]", "INTRO=TRUE", ""};
}

std::string ReadSetting(const TSettingsLines& lines, std::string_view key) {
  const std::ptrdiff_t i = FindKey(lines, key);
  if (i < 0) return {};
  const std::string& line = lines[static_cast<size_t>(i)];
  return line.substr(line.find('=') + 1);
}

void WriteSetting(TSettingsLines& lines, std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  line.append(key).append("=").append(value);
  const std::ptrdiff_t i = FindKey(lines, key);
  if (i < 0)
    lines.push_back(std::move(line));
  else
    lines[static_cast<size_t>(i)] = std::move(line);
}

bool LoadSettingsFile(const std::string& path, TSettingsLines& lines, std::string& error) {
  lines.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    error = FileError("Cannot open file", path, ec ? ec.value() : ENOENT);
    return false;
  }
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    error = FileError("Cannot open file", path, errno);
    return false;
  }
  std::string content;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, got);
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (failed) {
    error = FileError("Cannot read file", path, err);
    return false;
  }
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + ((content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1);
  }
  return true;
}

bool SaveSettingsFile(const std::string& path, const TSettingsLines& lines, std::string& error) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = FileError("Cannot create file", path, errno);
    return false;
  }
  bool ok = true;
  for (const std::string& line : lines) {
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size() || std::fwrite("\r\n", 1, 2, f) != 2) {
      ok = false;
      break;
    }
  }
  int err = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) error = FileError("Cannot write file", path, err);
  return ok;
}

bool SettingsFormCreate(const std::string& workingDir, TSettingsState& state, std::string& error) {
  state = TSettingsState{};
  std::filesystem::path dir = workingDir.empty() ? std::filesystem::path(".") : std::filesystem::path(workingDir);
  const std::string path = (dir / kSettingsFileName).string();
  std::string ignored;
  if (!LoadSettingsFile(path, state.Settings, ignored)) {
    state.Settings = DefaultSettingsLines();
    if (!SaveSettingsFile(path, state.Settings, error)) return false;
  }
  state.HintDisplay = ReadSetting(state.Settings, "HINT") == "TRUE";
  state.HintFlag = state.HintDisplay;
  state.IntroFlag = ReadSetting(state.Settings, "INTRO") == "TRUE";
  state.TileTemplate = TileTemplateSetting(state.Settings);
  if (const std::string nm = ReadSetting(state.Settings, "ENCOUNTER_NM"); !nm.empty() && !ParseEncounterNM(nm, state.EncounterNM))
    state.EncounterNMError = "ENCOUNTER_NM=" + nm + " in " + kSettingsFileName + " is not a distance from 0 to 100 NM";
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(dir, ec);
  if (ec) absolute = dir;
  std::string startup = absolute.lexically_normal().string();
  if (startup.empty() || startup.back() != '/') startup += '/';
  state.StartupDir = startup;
  return true;
}

std::string TileTemplateSetting(const TSettingsLines& lines) {
  std::string value = ReadSetting(lines, "TILES");
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!value.empty() && blank(value.back())) value.pop_back();
  while (!value.empty() && blank(value.front())) value.erase(value.begin());
  if (value.empty()) return kDefaultTileTemplate;
  std::string lower = value;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "off" ? std::string() : value;
}

bool SettingsFormClose(TSettingsState& state, std::string& error) {
  WriteSetting(state.Settings, "HINT", state.HintFlag ? "TRUE" : "FALSE");
  WriteSetting(state.Settings, "INTRO", state.IntroFlag ? "TRUE" : "FALSE");
  return SaveSettingsFile(state.StartupDir + kSettingsFileName, state.Settings, error);
}

}  // namespace pelorin
