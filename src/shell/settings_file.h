#pragma once
// "Pelorin.ini": a list of lines with case-insensitive KEY=VALUE access, read at start-up
// and written at exit. Window-free so that start-up and exit can be tested directly.
#include <string>
#include <string_view>
#include <vector>

#include "encounters/encounter_tables.h"

namespace pelorin {

using TSettingsLines = std::vector<std::string>;

inline constexpr const char* kSettingsFileName = "Pelorin.ini";
// The Track Replay window's online map when the file has no TILES line.
inline constexpr const char* kDefaultTileTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";

// The nine lines of a newly created file.
TSettingsLines DefaultSettingsLines();

// The value after the first "=" of the first line whose name (the text before that "=")
// equals `key` without regard to ASCII letter case; empty when no line has the key.
std::string ReadSetting(const TSettingsLines& lines, std::string_view key);
// Replaces that line by key=value, spelled as given, or appends such a line.
void WriteSetting(TSettingsLines& lines, std::string_view key, std::string_view value);

// Lines end at CR LF, CR or LF; a last line without an end still counts. False with a
// reason in `error` when the file cannot be read.
bool LoadSettingsFile(const std::string& path, TSettingsLines& lines, std::string& error);
// Writes every line followed by CR LF, replacing the file. False with a reason when any
// part of it cannot be written.
bool SaveSettingsFile(const std::string& path, const TSettingsLines& lines, std::string& error);

// What start-up takes from the settings and keeps until exit.
struct TSettingsState {
  TSettingsLines Settings;
  bool HintDisplay = false;  // tooltips and the Google notice
  bool IntroFlag = false;    // saved as INTRO
  bool HintFlag = false;     // saved as HINT
  std::string StartupDir;    // absolute, with a trailing "/"; empty after a failed start-up
  std::string TileTemplate = kDefaultTileTemplate;  // TILES; empty when "off"
  double EncounterNM = kDefaultEncounterNM;  // ENCOUNTER_NM, when present and a range
  std::string EncounterNMError;   // why a present ENCOUNTER_NM was not taken
};

// The TILES value as the map uses it: missing or empty gives the default template, "off"
// (any case) gives none.
std::string TileTemplateSetting(const TSettingsLines& lines);

// Loads "Pelorin.ini" from `workingDir` or creates it with the default lines. HintFlag
// starts from the HINT read, so a run that never confirms the Google notice keeps the
// user's choice. False with the message for the user when the default file cannot be
// written; then the flags stay off and StartupDir empty.
bool SettingsFormCreate(const std::string& workingDir, TSettingsState& state, std::string& error);

// Writes HINT and INTRO from the flags and saves the file into StartupDir (the working
// directory when empty). False with the message for the user when saving fails.
bool SettingsFormClose(TSettingsState& state, std::string& error);

}  // namespace pelorin
