#pragma once
// The command line of pelorin-cli: what it asks for, read from the arguments.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "codec/tdatetime.h"
#include "codec/vessel_rules.h"
#include "encounters/encounter_tables.h"

namespace pelorin::cli {

// Exit statuses, one per way a job can end; listed in the help text.
enum TExitStatus : int {
  kExitOk = 0,
  kExitInternal = 1,     // an error the program did not expect
  kExitUsage = 2,        // unknown option, missing argument, no path
  kExitNoLogFiles = 3,   // no log file in the paths, one cannot be read, or it changed
  kExitNoTimeStamps = 4, // the log files hold no usable time stamp
  kExitBadWindow = 5,    // --from/--to unreadable, or the start lies after the end
  kExitOutput = 6,       // the document or the workbook cannot be written
  kExitInterrupted = 130,
};

// A minute as --from and --to give it: the day for the calendar, the texts for the fields.
struct TCliMoment {
  TDateTime Day = 0;   // whole day
  int Hour = 0;
  int Minute = 0;
  std::string HourText() const;    // "9"
  std::string MinuteText() const;  // "05"
  int64_t Seconds() const;         // for ordering
};

struct TCliOptions {
  std::vector<std::string> Paths;  // folders and files, in the order given
  std::optional<TCliMoment> From, To;
  bool OwnTrack = false;  // "All Vessel Tracks" off
  bool FullData = false;  // "Reduced Data" off
  bool ShipList = false;
  bool Quiet = false;
  bool Help = false;
  unsigned Threads = 0;  // 0: all cores
  std::vector<std::string> Exports;  // --export files, in the order given
  std::string GpxFolder;             // --export-gpx-folder
  TVesselFilter Vessels;             // --mmsi
  bool Encounters = false;           // --encounters
  double EncounterNM = kDefaultEncounterNM;  // --encounter-nm
  bool Range = false;                // --range
  bool Exporting() const { return !Exports.empty() || !GpxFolder.empty(); }
};

enum class TParseStatus { Ok, Help, UsageError, BadMoment };  // BadMoment: a bad window

struct TParseResult {
  TParseStatus Status = TParseStatus::Ok;
  std::string Error;  // for UsageError and BadMoment, without the program name
  TCliOptions Options;
};

// "YYYY-MM-DD HH:MM" (a "T" in place of the blank is taken too); false for any other text
// or a day or time that does not exist.
bool ParseMoment(std::string_view text, TCliMoment& moment);

// The arguments after the program name. "--opt value" and "--opt=value"; "--" ends the
// options. One or more paths. A --from after the --to is refused here (BadMoment).
TParseResult ParseCliOptions(const std::vector<std::string>& args);

// The full --help text.
std::string CliHelpText();

}  // namespace pelorin::cli
