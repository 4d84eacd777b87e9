#include "cli/cli_options.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "encounters/encounter_tables.h"
#include "exports/export_run.h"

namespace pelorin::cli {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads `minDigits` to `maxDigits` digits at `pos` and moves past them.
bool ReadDigits(std::string_view text, size_t& pos, size_t minDigits, size_t maxDigits, int& value) {
  size_t n = 0;
  value = 0;
  while (pos + n < text.size() && n < maxDigits && IsDigit(text[pos + n])) {
    value = value * 10 + (text[pos + n] - '0');
    ++n;
  }
  if (n < minDigits) return false;
  pos += n;
  return true;
}

bool Expect(std::string_view text, size_t& pos, std::string_view oneOf) {
  if (pos >= text.size() || oneOf.find(text[pos]) == std::string_view::npos) return false;
  ++pos;
  return true;
}

// "--from=x" gives "x"; "--from" takes the next argument.
bool TakeValue(const std::vector<std::string>& args, size_t& i, const std::string& inlineValue, bool hasInline,
               std::string& value) {
  if (hasInline) {
    value = inlineValue;
    return true;
  }
  if (i + 1 >= args.size()) return false;
  value = args[++i];
  return true;
}

// "244660000,211234560": each a whole number of at most nine digits.
bool ParseMMSIList(const std::string& text, TVesselFilter& filter) {
  size_t from = 0;
  for (;;) {
    const size_t comma = std::min(text.find(',', from), text.size());
    uint32_t number = 0;
    const std::string_view item(text.data() + from, comma - from);
    if (!MMSINumberOf(item, number)) return false;
    filter.MMSIs.push_back(number);
    if (comma == text.size()) break;
    from = comma + 1;
  }
  std::sort(filter.MMSIs.begin(), filter.MMSIs.end());
  return true;
}

}  // namespace

std::string TCliMoment::HourText() const { return std::to_string(Hour); }

std::string TCliMoment::MinuteText() const {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", Minute);
  return text;
}

int64_t TCliMoment::Seconds() const { return TDateTimeDay(Day) * 86400 + Hour * 3600 + Minute * 60; }

bool ParseMoment(std::string_view text, TCliMoment& moment) {
  size_t pos = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (!ReadDigits(text, pos, 4, 4, year) || !Expect(text, pos, "-") || !ReadDigits(text, pos, 1, 2, month) ||
      !Expect(text, pos, "-") || !ReadDigits(text, pos, 1, 2, day) || !Expect(text, pos, " T") ||
      !ReadDigits(text, pos, 1, 2, hour) || !Expect(text, pos, ":") || !ReadDigits(text, pos, 2, 2, minute) ||
      pos != text.size())
    return false;
  if (hour > 23 || minute > 59) return false;
  TDateTime dayValue = 0;
  if (!TryEncodeDate(year, month, day, dayValue)) return false;
  moment.Day = dayValue;
  moment.Hour = hour;
  moment.Minute = minute;
  return true;
}

TParseResult ParseCliOptions(const std::vector<std::string>& args) {
  TParseResult result;
  TCliOptions& o = result.Options;
  std::vector<std::string> directories;
  std::string fromText, toText;
  auto fail = [&result](TParseStatus status, std::string error) {
    result.Status = status;
    result.Error = std::move(error);
    return result;
  };

  bool optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      directories.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const size_t eq = arg.find('=');
    const bool hasInline = arg.rfind("--", 0) == 0 && eq != std::string::npos;
    const std::string name = hasInline ? arg.substr(0, eq) : arg;
    const std::string inlineValue = hasInline ? arg.substr(eq + 1) : std::string();

    if (name == "--from" || name == "--to") {
      std::string value;
      if (!TakeValue(args, i, inlineValue, hasInline, value))
        return fail(TParseStatus::UsageError, "option " + name + " needs a time, \"YYYY-MM-DD HH:MM\"");
      TCliMoment moment;
      if (!ParseMoment(value, moment))
        return fail(TParseStatus::BadMoment,
                    "option " + name + ": \"" + value + "\" is not a valid time \"YYYY-MM-DD HH:MM\"");
      (name == "--from" ? o.From : o.To) = moment;
      (name == "--from" ? fromText : toText) = value;
      continue;
    }
    if (name == "--threads") {
      std::string value;
      if (!TakeValue(args, i, inlineValue, hasInline, value))
        return fail(TParseStatus::UsageError, "option --threads needs a number of threads");
      const bool digits = !value.empty() && value.size() <= 4 &&
                          value.find_first_not_of("0123456789") == std::string::npos;
      if (!digits || std::stoul(value) == 0)
        return fail(TParseStatus::UsageError, "option --threads: \"" + value + "\" is not a number from 1 to 9999");
      o.Threads = static_cast<unsigned>(std::stoul(value));
      continue;
    }
    if (name == "--export" || name == "--export-gpx-folder" || name == "--mmsi") {
      std::string value;
      if (!TakeValue(args, i, inlineValue, hasInline, value) || value.empty())
        return fail(TParseStatus::UsageError, "option " + name + " needs " +
                                                  (name == "--mmsi" ? "a list of MMSIs" : "a file name"));
      TExportFormat format;
      if (name == "--export" && !ExportFormatOfPath(value, format))
        return fail(TParseStatus::UsageError, "option --export: \"" + value +
                                                  "\" does not end in .kmz, .gpx, .gpkg or .csv");
      if (name == "--mmsi" && !ParseMMSIList(value, o.Vessels))
        return fail(TParseStatus::UsageError, "option --mmsi: \"" + value +
                                                  "\" is not a comma-separated list of MMSIs (up to nine digits each)");
      if (name == "--export") o.Exports.push_back(value);
      if (name == "--export-gpx-folder") o.GpxFolder = value;
      continue;
    }
    if (name == "--encounter-nm") {
      std::string value;
      if (!TakeValue(args, i, inlineValue, hasInline, value))
        return fail(TParseStatus::UsageError, "option --encounter-nm needs a distance in NM");
      if (!ParseEncounterNM(value, o.EncounterNM))
        return fail(TParseStatus::UsageError, "option --encounter-nm: \"" + value + "\" is not a distance from 0 to 100 NM");
      continue;
    }
    bool* flag = nullptr;
    if (name == "--own-track") flag = &o.OwnTrack;
    else if (name == "--full-data") flag = &o.FullData;
    else if (name == "--ship-list") flag = &o.ShipList;
    else if (name == "--quiet") flag = &o.Quiet;
    else if (name == "--encounters") flag = &o.Encounters;
    else if (name == "--range") flag = &o.Range;
    else if (name == "--help" || name == "-h") flag = &o.Help;
    if (flag == nullptr) return fail(TParseStatus::UsageError, "unknown option " + name);
    if (hasInline) return fail(TParseStatus::UsageError, "option " + name + " takes no value");
    *flag = true;
    if (flag == &o.Help) {
      result.Status = TParseStatus::Help;
      return result;
    }
  }

  // The calendars would quietly move one day onto the other; the command line says so.
  if (o.From && o.To && o.From->Seconds() > o.To->Seconds())
    return fail(TParseStatus::BadMoment, "--from \"" + fromText + "\" lies after --to \"" + toText + "\"");

  if (o.ShipList && o.Exporting())
    return fail(TParseStatus::UsageError, "--ship-list writes the workbook; with --export only the named files are written");
  if (directories.empty()) return fail(TParseStatus::UsageError, "no log directory given");
  for (const std::string& path : directories)
    if (path.empty()) return fail(TParseStatus::UsageError, "the log directory name is empty");
  o.Paths = directories;
  return result;
}

std::string CliHelpText() {
  return R"(Usage: pelorin-cli [OPTION]... PATH...

Reads the AIS transponder logs (*.LOG) of the SD-card directory PATH, rebuilds each
vessel's static data and its track inside the chosen window, and writes the KML
document SD_Belumar.kml into the working directory. The lines of the scan and of the
analysis (the desktop program's details pane) go to standard output, one per line.

Several paths may be given, each a directory (its *.LOG files) or a log file of any
name (.log, .nmea, .txt, .aivdm, ...); their files are read in the order given, as the
files of one card. A file's times come from its GPS time sentences ($GPRMC, ZDA) where
it has usable ones; otherwise from the time each line carries (an NMEA 4.10 tag block
with c:, an ISO 8601 time before the sentence, or a UNIX time after its checksum);
otherwise from the UTC that base stations broadcast (messages 4 and 11), taken only
when plausible. The report names the source of every file not timed by GPS sentences.

Without --from and --to the window is the whole span of the data: from the time the
first day's data begins to the minute the last day's data ends. Days are snapped as the
desktop program's calendars snap them: a start on a day without data moves forward to
the next day with data, an end back to the previous one; the times given are kept.
Times are UTC, as the GPS time in the logs.

Options:
  --from "YYYY-MM-DD HH:MM"  start of the window
  --to "YYYY-MM-DD HH:MM"    end of the window (that minute's second 0 is the last
                             time inside it)
  --own-track                the own vessel and its track only ("Own Track" instead
                             of "All Vessel Tracks")
  --full-data                every usable position ("Reduced Data" off; by default
                             a vessel's track keeps points more than 30 seconds apart)
  --ship-list                ship-list mode instead of the KML document: after the
                             report, print the ship list as tab-separated rows (the
                             header row first, an empty row last), and write it as the
                             workbook Mappe_SD.xls into the working directory
  --export FILE              write FILE instead of the document: its format by the
                             extension, .kmz (Google Earth: one animated track per
                             vessel), .gpx (GPX 1.1: chart plotters, OpenCPN), .gpkg
                             (GeoPackage: QGIS) or .csv (the MarineCadastre point
                             layout); may be given several times
  --export-gpx-folder DIR    write one GPX file per vessel into DIR (made when
                             missing), named by MMSI and vessel name; like --export
  --mmsi LIST                keep only the vessels of the comma-separated MMSIs, in
                             every output
  --encounters               after all other output, print who came close: every
                             vessel's closest approach to the own ship (sorted by
                             distance), an empty line, then every encounter of two
                             vessels within the range (see --encounter-nm) with a
                             relative speed of at least 1 kn; tab-separated, each
                             table with its header row
  --encounter-nm X           the range of an encounter in NM (default 0.5)
  --range                    after all other output (after the tables of
                             --encounters), print the reception range: a header
                             row, then one row per degree of bearing 0 to 359 from
                             the own vessel with the farthest plausible position
                             heard there, its distance in NM, the vessel's MMSI and
                             the time (empty where nothing was heard);
                             tab-separated
  --threads N                read and decode the logs with N threads (default: one
                             per core); the results are the same with any number
  --quiet                    no report lines, no progress bar and no notice of the
                             written file; errors still go to standard error and
                             --ship-list still prints the list
  -h, --help                 show this help and exit

A progress bar is shown on standard error when it is a terminal. Ctrl-C asks the
program to stop, as ESC does in the desktop program: the scan stops at once, the
analysis after the log entry it is reading; the interrupt lines are printed and
nothing is written. A second Ctrl-C ends the program at once.

Output files (replaced when present): SD_Belumar.kml, or Mappe_SD.xls with
--ship-list, in the working directory; with --export or --export-gpx-folder only the
files named. Every file is written under a ".part" name beside it and renamed when
complete: a stopped or failed run leaves the earlier file as it was. In the CSV, a
text cell that begins with "=", "+", "-" or "@" gets a leading apostrophe, so that a
spreadsheet does not take a vessel's name for a formula.

Exit status:
  0    done
  1    internal error
  2    usage error: unknown option, missing option argument, no PATH
  3    no *.LOG file in PATH, PATH cannot be read, a log file cannot be read (the
       file and line are named), or the card changed since it was read
  4    no usable time stamp (GPS time sentence, tag block or base station) in the
       log files
  5    bad window: --from or --to cannot be read, or the start lies after the end
  6    an output file cannot be written
  130  stopped with Ctrl-C
)";
}

}  // namespace pelorin::cli
