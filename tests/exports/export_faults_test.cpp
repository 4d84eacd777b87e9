// What the exports do with hostile names, missing values, unwritable targets, a full disk,
// the stop key and a run without positions.
#include <gdal.h>
#include <ogr_api.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "exports/export_run.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::TPointStrings;

constexpr TExportFormat kFormats[] = {TExportFormat::Csv, TExportFormat::Gpx, TExportFormat::GpxFolder,
                                      TExportFormat::Kmz, TExportFormat::Gpkg};
const char* NameOf(TExportFormat f) {
  switch (f) {
    case TExportFormat::Csv: return "t.csv";
    case TExportFormat::Gpx: return "t.gpx";
    case TExportFormat::GpxFolder: return "folder";
    case TExportFormat::Kmz: return "t.kmz";
    case TExportFormat::Gpkg: return "t.gpkg";
  }
  return "";
}

TStatic Vessel(std::string mmsi, std::string name, std::vector<TPointStrings> points) {
  TStatic s;
  s.MMSI = std::move(mmsi);
  s.ShipName = std::move(name);
  s.aPlot = test::TrackOf(points);
  return s;
}

// Own vessel (fixes), a class A vessel named like a formula and with markup, a class B
// vessel without speed, course or heading, and a silence of 11 minutes in its track.
TShipList Fleet() {
  TShipList ships;
  ships.push_back(Vessel("211512340", "Own Ship",
                         {{"111111111", "", "2.5", "7.980000", "54.070000", "90.4", "", "2011-04-07T09:00:00Z"}}));
  TStatic a = Vessel("244841101", "=HYPERLINK(\"x\",\"<b>&\")",
                     {{"244841101", "under way using engine", "15", "8.526647", "54.101378", "177", "180",
                       "2011-04-07T09:00:05Z"}});
  a.AISclass = "A";
  a.IMO = "9123456";
  a.CallSign = "@PECR";
  a.ShipsTypeCode = 70;
  a.Dimension = {"120", "20"};
  a.Draught = "> 25 m";
  ships.push_back(a);
  ships.push_back(Vessel("211000002", "", {{"211000002", "", "n.a.", "-4.250000", "-12.500000", "n.a.", "n.a.",
                                            "2011-04-07T09:02:00Z"},
                                           {"211000002", "", "n.a.", "-4.250100", "-12.500100", "n.a.", "n.a.",
                                            "2011-04-07T09:13:01Z"}}));
  return ships;
}

TEST(CsvExport, RowsKeepTheSendersValuesAndDisarmFormulas) {
  test::TTempDir dir;
  const TShipList ships = Fleet();
  test::TRecordingSink sink;
  const auto path = (dir.Path() / "t.csv").string();
  ASSERT_EQ(ExportTraffic(TExportFormat::Csv, path, ExportSetOf(ships, true), sink).Outcome,
            TTrafficOutcome::Written);
  const std::vector<std::string> rows = test::SplitLines(test::ReadFileBytes(path));
  const std::vector<std::string> expected = {
      "MMSI,BaseDateTime,LAT,LON,SOG,COG,Heading,VesselName,IMO,CallSign,VesselType,Status,Length,Width,Draft,Cargo,"
      "TransceiverClass",
      "111111111,2011-04-07T09:00:00,54.070000,7.980000,2.5,90.4,511,Own Ship,,,,,,,,,",
      "244841101,2011-04-07T09:00:05,54.101378,8.526647,15.0,177.0,180,\"'=HYPERLINK(\"\"x\"\",\"\"<b>&\"\")\","
      "IMO9123456,'@PECR,70,0,120,20,25.5,,A",
      "211000002,2011-04-07T09:02:00,-12.500000,-4.250000,,,511,,,,,,,,,,B",
      "211000002,2011-04-07T09:13:01,-12.500100,-4.250100,,,511,,,,,,,,,,B"};
  EXPECT_EQ(rows, expected);
}

// A name with markup comes back from every XML and database format as it was.
TEST(ExportNames, MarkupInANameSurvivesEachFormat) {
  test::TTempDir dir;
  const TShipList ships = Fleet();
  const std::string name = ships[1].ShipName;
  GDALAllRegister();
  for (const auto& [format, layer, field] : {std::tuple{TExportFormat::Gpx, "tracks", "name"},
                                             std::tuple{TExportFormat::Kmz, "Ship-Tracks", "Name"},
                                             std::tuple{TExportFormat::Gpkg, "vessels", "ship_name"}}) {
    test::TRecordingSink sink;
    const auto path = (dir.Path() / NameOf(format)).string();
    ASSERT_EQ(ExportTraffic(format, path, ExportSetOf(ships, true), sink).Outcome, TTrafficOutcome::Written);
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    ASSERT_NE(ds, nullptr) << path;
    OGRLayerH l = GDALDatasetGetLayerByName(ds, layer);
    ASSERT_NE(l, nullptr) << path;
    std::vector<std::string> names;
    while (OGRFeatureH f = OGR_L_GetNextFeature(l)) {
      names.emplace_back(OGR_F_GetFieldAsString(f, OGR_F_GetFieldIndex(f, field)));
      OGR_F_Destroy(f);
    }
    GDALClose(ds);
    EXPECT_NE(std::find(names.begin(), names.end(), name), names.end()) << path;
  }
}

std::vector<std::string> FilesIn(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    if (e.is_regular_file()) names.push_back(e.path().filename().string());
  return names;
}

TEST(ExportFaults, AnUnwritableTargetFailsWithItsNameAndLeavesNothing) {
  const TShipList ships = Fleet();
  test::TTempDir dir;
  const std::string file = dir.Write("a-file", "").string();
  // Not even root can make a folder in /proc or below a file.
  for (TExportFormat format : kFormats) {
    for (const std::string& base : {std::string("/proc/pelorin-export/"), file + "/"}) {
      test::TRecordingSink sink;
      const std::string path = base + NameOf(format);
      const TTrafficResult r = ExportTraffic(format, path, ExportSetOf(ships, true), sink);
      EXPECT_EQ(r.Outcome, TTrafficOutcome::Failed) << path;
      EXPECT_NE(r.Message.find(path), std::string::npos) << r.Message;
    }
  }
}

// A file size limit fails the writes as a full disk does (without needing one).
TEST(ExportFaults, AFullDiskFailsAndKeepsTheEarlierFile) {
  test::TTempDir dir;
  TShipList ships = Fleet();
  for (int k = 0; k < 3000; ++k) {
    char lon[16], time[24];
    std::snprintf(lon, sizeof lon, "8.%06d", k * 37 % 1000000);
    std::snprintf(time, sizeof time, "2011-04-07T10:%02d:%02dZ", k / 60 % 60, k % 60);
    test::AppendPoint(ships[1].aPlot, {"244841101", "moored", "0.1", lon, "54.101378", "177", "180", time});
  }
  signal(SIGXFSZ, SIG_IGN);
  for (TExportFormat format : kFormats) {
    const auto path = dir.Path() / NameOf(format);
    if (format != TExportFormat::GpxFolder) test::WriteFileBytes(path, "earlier");
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 16 * 1024;
    setrlimit(RLIMIT_FSIZE, &small);
    test::TRecordingSink sink;
    const TTrafficResult r = ExportTraffic(format, path.string(), ExportSetOf(ships, true), sink);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(r.Outcome, TTrafficOutcome::Failed) << path;
    if (format != TExportFormat::GpxFolder) {
      EXPECT_EQ(test::ReadFileBytes(path), "earlier") << path;
    }
    for (const std::string& name : FilesIn(dir.Path())) EXPECT_EQ(name.find(".part"), std::string::npos) << name;
  }
}

TEST(ExportFaults, TheStopKeyLeavesNoFile) {
  test::TTempDir dir;
  const TShipList ships = Fleet();
  for (TExportFormat format : kFormats) {
    test::TRecordingSink sink;
    sink.stopAfterQueries = 1;
    const auto path = dir.Path() / NameOf(format);
    EXPECT_EQ(ExportTraffic(format, path.string(), ExportSetOf(ships, true), sink).Outcome,
              TTrafficOutcome::Stopped)
        << path;
  }
  std::vector<std::string> left = FilesIn(dir.Path());
  EXPECT_TRUE(left.empty()) << left.front();
}

// Without positions each format is still a file its readers open.
TEST(ExportFaults, ARunWithoutPositionsWritesValidEmptyFiles) {
  test::TTempDir dir;
  const TShipList none;
  GDALAllRegister();
  for (TExportFormat format : kFormats) {
    test::TRecordingSink sink;
    const auto path = (dir.Path() / NameOf(format)).string();
    ASSERT_EQ(ExportTraffic(format, path, ExportSetOf(none, true), sink).Outcome, TTrafficOutcome::Written);
    if (format == TExportFormat::GpxFolder) {
      EXPECT_TRUE(std::filesystem::is_directory(path));
      continue;
    }
    if (format == TExportFormat::Csv) {
      EXPECT_EQ(test::SplitLines(test::ReadFileBytes(path)).size(), 1u);
      continue;
    }
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr);
    EXPECT_NE(ds, nullptr) << path;
    if (ds != nullptr) GDALClose(ds);
  }
}

TEST(ExportSet, StretchesBreakAtSilencesOfMoreThanTenMinutes) {
  const TShipList ships = Fleet();
  const TExportSet set = ExportSetOf(ships, true);
  ASSERT_EQ(set.Vessels.size(), 3u);
  TPlacedPoints points;
  PlacedPointsOf(set.Vessels[2].Ship->aPlot, points);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_TRUE(points[1].StartsStretch);
  EXPECT_EQ(ExportSetOf(ships, false).Vessels.size(), 1u);
  EXPECT_EQ(ExportSetOf(ships, true, TVesselFilter{{211000002, 244841101}}).Vessels.size(), 2u);
}

}  // namespace
}  // namespace pelorin
