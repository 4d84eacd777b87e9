#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace pelorin::cli {
namespace {

TDateTime Day(int y, int m, int d) {
  TDateTime value = 0;
  EXPECT_TRUE(TryEncodeDate(y, m, d, value));
  return value;
}

struct TMomentCase {
  const char* Text;
  bool Valid;
  int Year, Month, DayOfMonth, Hour, Minute;
};

TEST(CliMoment, ReadsOnlyRealMinutesOfTheGivenForm) {
  const TMomentCase cases[] = {
      {"2011-04-07 23:40", true, 2011, 4, 7, 23, 40},
      {"2011-04-08 00:20", true, 2011, 4, 8, 0, 20},
      {"2011-04-08T00:20", true, 2011, 4, 8, 0, 20},
      {"2011-4-8 9:05", true, 2011, 4, 8, 9, 5},
      {"2012-02-29 12:00", true, 2012, 2, 29, 12, 0},
      {"2011-12-31 23:59", true, 2011, 12, 31, 23, 59},
      {"2011-02-29 12:00", false, 0, 0, 0, 0, 0},  // not a leap year
      {"2011-04-31 12:00", false, 0, 0, 0, 0, 0},
      {"2011-13-01 00:00", false, 0, 0, 0, 0, 0},
      {"2011-00-10 00:00", false, 0, 0, 0, 0, 0},
      {"2011-04-00 00:00", false, 0, 0, 0, 0, 0},
      {"2011-04-07 24:00", false, 0, 0, 0, 0, 0},
      {"2011-04-07 23:60", false, 0, 0, 0, 0, 0},
      {"2011-04-07 23:5", false, 0, 0, 0, 0, 0},
      {"2011-04-07", false, 0, 0, 0, 0, 0},
      {"2011-04-07 23:40:00", false, 0, 0, 0, 0, 0},
      {"2011-04-07  23:40", false, 0, 0, 0, 0, 0},
      {" 2011-04-07 23:40", false, 0, 0, 0, 0, 0},
      {"11-04-07 23:40", false, 0, 0, 0, 0, 0},
      {"2011/04/07 23:40", false, 0, 0, 0, 0, 0},
      {"7.4.2011 23:40", false, 0, 0, 0, 0, 0},
      {"2011-04-07 -1:40", false, 0, 0, 0, 0, 0},
      {"", false, 0, 0, 0, 0, 0},
  };
  for (const TMomentCase& c : cases) {
    SCOPED_TRACE(c.Text);
    TCliMoment m;
    ASSERT_EQ(ParseMoment(c.Text, m), c.Valid);
    if (!c.Valid) continue;
    EXPECT_EQ(m.Day, Day(c.Year, c.Month, c.DayOfMonth));
    EXPECT_EQ(m.Hour, c.Hour);
    EXPECT_EQ(m.Minute, c.Minute);
  }
}

TEST(CliMoment, FieldTextsAreWrittenAsTheWindowWritesThem) {
  TCliMoment m;
  ASSERT_TRUE(ParseMoment("2011-04-08 09:05", m));
  EXPECT_EQ(m.HourText(), "9");
  EXPECT_EQ(m.MinuteText(), "05");
  TCliMoment later;
  ASSERT_TRUE(ParseMoment("2011-04-08 09:06", later));
  EXPECT_EQ(later.Seconds() - m.Seconds(), 60);
  TCliMoment nextDay;
  ASSERT_TRUE(ParseMoment("2011-04-09 00:00", nextDay));
  EXPECT_EQ(nextDay.Seconds() - m.Seconds(), (24 * 60 - 9 * 60 - 5) * 60);
}

struct TParseCase {
  std::vector<std::string> Args;
  TParseStatus Status;
  const char* ErrorPart;  // in the message, for refusals
};

TEST(CliOptions, RefusesWhatItCannotRun) {
  const TParseCase cases[] = {
      {{}, TParseStatus::UsageError, "no log directory"},
      {{"--quiet"}, TParseStatus::UsageError, "no log directory"},
      {{"a", ""}, TParseStatus::UsageError, "empty"},
      {{""}, TParseStatus::UsageError, "empty"},
      {{"--from"}, TParseStatus::UsageError, "--from needs a time"},
      {{"card", "--to"}, TParseStatus::UsageError, "--to needs a time"},
      {{"--bogus", "card"}, TParseStatus::UsageError, "unknown option --bogus"},
      {{"-x", "card"}, TParseStatus::UsageError, "unknown option -x"},
      {{"--own-track=yes", "card"}, TParseStatus::UsageError, "takes no value"},
      {{"--threads", "0", "card"}, TParseStatus::UsageError, "--threads: \"0\""},
      {{"--threads=two", "card"}, TParseStatus::UsageError, "not a number from 1 to 9999"},
      {{"card", "--threads"}, TParseStatus::UsageError, "--threads needs a number"},
      {{"--ship-list", "--bogus", "--help"}, TParseStatus::UsageError, "unknown option"},
      {{"--from", "2011-04-31 10:00", "card"}, TParseStatus::BadMoment, "2011-04-31 10:00"},
      {{"--to=tomorrow", "card"}, TParseStatus::BadMoment, "--to"},
      {{"card", "--from", "2011-04-07"}, TParseStatus::BadMoment, "YYYY-MM-DD HH:MM"},
      {{"--from", "2011-04-08 00:21", "--to", "2011-04-08 00:20", "card"}, TParseStatus::BadMoment,
       "--from \"2011-04-08 00:21\" lies after --to \"2011-04-08 00:20\""},
      // Snapped, this would pass as 8 April 00:10 to 8 April 00:30: the given order decides.
      {{"--from", "2011-04-10 00:10", "--to=2011-04-08 00:30", "card"}, TParseStatus::BadMoment, "lies after"},
      {{"--export", "t.kml", "card"}, TParseStatus::UsageError, "does not end in .kmz, .gpx, .gpkg or .csv"},
      {{"--export", ".gpx", "card"}, TParseStatus::UsageError, "does not end in"},
      {{"card", "--export"}, TParseStatus::UsageError, "--export needs a file name"},
      {{"--export-gpx-folder=", "card"}, TParseStatus::UsageError, "needs a file name"},
      {{"--mmsi", "211512340,,1", "card"}, TParseStatus::UsageError, "comma-separated list"},
      {{"--mmsi=1234567890", "card"}, TParseStatus::UsageError, "up to nine digits"},
      {{"--mmsi", "-5", "card"}, TParseStatus::UsageError, "--mmsi"},
      {{"--ship-list", "--export", "t.csv", "card"}, TParseStatus::UsageError, "only the named files"},
      {{"--encounter-nm", "0", "card"}, TParseStatus::UsageError, "not a distance from 0 to 100 NM"},
      {{"--encounter-nm=half", "card"}, TParseStatus::UsageError, "--encounter-nm: \"half\""},
      {{"card", "--encounter-nm"}, TParseStatus::UsageError, "needs a distance"},
      {{"--range=yes", "card"}, TParseStatus::UsageError, "--range takes no value"},
  };
  for (const TParseCase& c : cases) {
    std::string joined;
    for (const auto& a : c.Args) joined += "[" + a + "]";
    SCOPED_TRACE(joined);
    const TParseResult r = ParseCliOptions(c.Args);
    EXPECT_EQ(r.Status, c.Status);
    EXPECT_NE(r.Error.find(c.ErrorPart), std::string::npos) << r.Error;
  }
}

TEST(CliOptions, ReadsEveryOptionInEitherSpelling) {
  const TParseResult r = ParseCliOptions(
      {"--own-track", "--from", "2011-04-07 23:40", "--to=2011-04-08 00:20", "--full-data", "--ship-list", "--quiet",
       "--threads=3", "--range", "card"});
  ASSERT_EQ(r.Status, TParseStatus::Ok) << r.Error;
  const TCliOptions& o = r.Options;
  EXPECT_EQ(o.Threads, 3u);
  EXPECT_EQ(o.Paths, std::vector<std::string>{"card"});
  EXPECT_TRUE(o.OwnTrack && o.FullData && o.ShipList && o.Quiet && o.Range);
  ASSERT_TRUE(o.From && o.To);
  EXPECT_EQ(o.From->Day, Day(2011, 4, 7));
  EXPECT_EQ(o.From->Hour, 23);
  EXPECT_EQ(o.To->Day, Day(2011, 4, 8));
  EXPECT_EQ(o.To->Minute, 20);

  const TParseResult exports = ParseCliOptions(
      {"--export", "a.KMZ", "--export=b.gpkg", "--export-gpx-folder", "plotter", "--mmsi", "244841101,002111234", "card"});
  ASSERT_EQ(exports.Status, TParseStatus::Ok) << exports.Error;
  EXPECT_EQ(exports.Options.Exports, (std::vector<std::string>{"a.KMZ", "b.gpkg"}));
  EXPECT_EQ(exports.Options.GpxFolder, "plotter");
  EXPECT_EQ(exports.Options.Vessels.MMSIs, (std::vector<uint32_t>{2111234, 244841101}));

  const TParseResult same = ParseCliOptions({"--from", "2011-04-08 00:20", "--to", "2011-04-08 00:20", "card"});
  EXPECT_EQ(same.Status, TParseStatus::Ok) << same.Error;

  const TParseResult plain = ParseCliOptions({"card"});
  ASSERT_EQ(plain.Status, TParseStatus::Ok);
  EXPECT_FALSE(plain.Options.OwnTrack || plain.Options.FullData || plain.Options.ShipList || plain.Options.Quiet ||
               plain.Options.Range);
  EXPECT_FALSE(plain.Options.From || plain.Options.To);
  EXPECT_EQ(plain.Options.Threads, 0u);  // all cores
}

TEST(CliOptions, DoubleDashEndsTheOptions) {
  const TParseResult r = ParseCliOptions({"--quiet", "--", "--ship-list"});
  ASSERT_EQ(r.Status, TParseStatus::Ok) << r.Error;
  EXPECT_EQ(r.Options.Paths, std::vector<std::string>{"--ship-list"});
  EXPECT_FALSE(r.Options.ShipList);
}

TEST(CliOptions, HelpNeedsNoDirectory) {
  EXPECT_EQ(ParseCliOptions({"--help"}).Status, TParseStatus::Help);
  EXPECT_EQ(ParseCliOptions({"-h"}).Status, TParseStatus::Help);
  EXPECT_EQ(ParseCliOptions({"card", "--help", "extra"}).Status, TParseStatus::Help);
}

TEST(CliOptions, HelpNamesEveryOptionAndExitStatus) {
  const std::string help = CliHelpText();
  for (const char* option : {"--from", "--to", "--own-track", "--full-data", "--ship-list", "--threads", "--quiet", "--help",
                             "--encounters", "--range"})
    EXPECT_NE(help.find(option), std::string::npos) << option;
  for (int status : {kExitOk, kExitInternal, kExitUsage, kExitNoLogFiles, kExitNoTimeStamps, kExitBadWindow,
                     kExitOutput, kExitInterrupted}) {
    const std::string entry = "\n  " + std::to_string(status) + " ";
    EXPECT_NE(help.find(entry), std::string::npos) << status;
  }
  EXPECT_NE(help.find("SD_Belumar.kml"), std::string::npos);
  EXPECT_NE(help.find("Mappe_SD.xls"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::cli
