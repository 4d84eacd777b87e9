// Every export of a whole card, read back by the tools users have (GDAL/OGR, gpsbabel),
// holds exactly the track points of the KML document: same vessels, times and places.
#include <gdal.h>
#include <ogr_api.h>
#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <tuple>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_process.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

struct TReadPoint {
  std::string Time;  // YYYY-MM-DDTHH:MM:SS
  double Lon = 0, Lat = 0;
};
// Every point in the file's order: vessel by vessel in table order, each in time order.
using TTracks = std::vector<TReadPoint>;

std::string Between(const std::string& line, const std::string& open, const std::string& close) {
  const size_t a = line.find(open);
  if (a == std::string::npos) return {};
  const size_t b = line.find(close, a + open.size());
  return line.substr(a + open.size(), b - a - open.size());
}

// The KML document's track points: <when>, then the coordinates.
TTracks KmlPoints(const std::string& text) {
  TTracks tracks;
  std::string when;
  bool inTracks = false;
  for (const std::string& line : test::SplitLines(text)) {
    if (line.find("<name> Ship-Tracks </name>") != std::string::npos) inTracks = true;
    if (!inTracks) continue;
    if (line.find("<when>") != std::string::npos) when = Between(line, "<when>", "Z</when>");
    if (line.find("<coordinates>") != std::string::npos) {
      const std::string c = Between(line, "<coordinates> ", ",0</coordinates>");
      tracks.push_back({when, std::stod(c), std::stod(c.substr(c.find(", ") + 2))});
    }
  }
  return tracks;
}

// doc.kml of the KMZ through GDAL's zip reader: per gx:Track, the whens, then the coords.
TTracks KmzPoints(const std::string& path) {
  VSILFILE* f = VSIFOpenL(("/vsizip/" + path + "/doc.kml").c_str(), "rb");
  EXPECT_NE(f, nullptr);
  std::string text;
  char chunk[65536];
  for (size_t n; f != nullptr && (n = VSIFReadL(chunk, 1, sizeof chunk, f)) > 0;) text.append(chunk, n);
  if (f != nullptr) VSIFCloseL(f);
  TTracks tracks;
  std::vector<std::string> whens;
  size_t coord = 0;
  for (const std::string& line : test::SplitLines(text)) {
    if (line.find("<gx:Track>") != std::string::npos) whens.clear(), coord = 0;
    if (line.find("<when>") != std::string::npos) whens.push_back(Between(line, "<when>", "Z</when>"));
    if (line.find("<gx:coord>") != std::string::npos) {
      const std::string c = Between(line, "<gx:coord>", " 0</gx:coord>");
      tracks.push_back({whens.at(coord++), std::stod(c), std::stod(c.substr(c.find(' ') + 1))});
    }
  }
  return tracks;
}

std::string TimeOf(OGRFeatureH f, int field) {
  int y, mo, d, h, mi, tz;
  float s;
  if (!OGR_F_GetFieldAsDateTimeEx(f, field, &y, &mo, &d, &h, &mi, &s, &tz)) return "none";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", y, mo, d, h, mi, static_cast<int>(s));
  return text;
}

GDALDatasetH OpenVector(const std::string& path) {
  GDALAllRegister();
  return GDALOpenEx(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
}

// A point layer with a time field.
TTracks LayerPoints(GDALDatasetH ds, const char* layerName, const char* timeField) {
  TTracks tracks;
  OGRLayerH layer = GDALDatasetGetLayerByName(ds, layerName);
  EXPECT_NE(layer, nullptr) << layerName;
  if (layer == nullptr) return tracks;
  const int timeIndex = OGR_FD_GetFieldIndex(OGR_L_GetLayerDefn(layer), timeField);
  OGR_L_ResetReading(layer);
  while (OGRFeatureH f = OGR_L_GetNextFeature(layer)) {
    OGRGeometryH g = OGR_F_GetGeometryRef(f);
    tracks.push_back({TimeOf(f, timeIndex), OGR_G_GetX(g, 0), OGR_G_GetY(g, 0)});
    OGR_F_Destroy(f);
  }
  return tracks;
}

TTracks FilePoints(const std::string& path, const char* layerName) {
  GDALDatasetH ds = OpenVector(path);
  EXPECT_NE(ds, nullptr);
  TTracks t = LayerPoints(ds, layerName, "time");
  GDALClose(ds);
  return t;
}
TTracks GpkgPoints(const std::string& path) { return FilePoints(path, "positions"); }
TTracks GpxPoints(const std::string& path) { return FilePoints(path, "track_points"); }

// Also counts the rows of each MMSI.
TTracks CsvPoints(const std::string& text, std::map<uint64_t, size_t>* rows = nullptr) {
  TTracks tracks;
  const std::vector<std::string> lines = test::SplitLines(text);
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> cells;
    std::string_view rest = lines[i];
    for (int c = 0; c < 4; ++c) {
      const size_t comma = rest.find(',');
      cells.emplace_back(rest.substr(0, comma));
      rest.remove_prefix(comma + 1);
    }
    tracks.push_back({cells[1], std::stod(cells[3]), std::stod(cells[2])});
    if (rows != nullptr) ++(*rows)[std::stoull(cells[0])];
  }
  return tracks;
}

void ExpectSameTracks(const TTracks& expected, const TTracks& actual, const std::string& format) {
  ASSERT_EQ(expected.size(), actual.size()) << format;
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(expected[k].Time, actual[k].Time) << format << " #" << k;
    EXPECT_NEAR(expected[k].Lon, actual[k].Lon, 5e-7) << format << " #" << k;
    EXPECT_NEAR(expected[k].Lat, actual[k].Lat, 5e-7) << format << " #" << k;
  }
}

// The packed R-tree passes SQLite's own check, and a box query through it (GDAL's spatial
// filter) finds the points a look at every point finds.
void ExpectSoundIndex(const std::string& path, const TTracks& points) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT rtreecheck('rtree_positions_geom')", -1, &check, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(db);

  const TReadPoint& middle = points[points.size() / 2];
  const double x0 = middle.Lon - 0.05, x1 = middle.Lon + 0.05, y0 = middle.Lat - 0.03, y1 = middle.Lat + 0.03;
  size_t inside = 0;
  for (const TReadPoint& p : points) inside += p.Lon > x0 && p.Lon < x1 && p.Lat > y0 && p.Lat < y1;
  GDALDatasetH ds = OpenVector(path);
  OGRLayerH layer = GDALDatasetGetLayerByName(ds, "positions");
  EXPECT_TRUE(OGR_L_TestCapability(layer, OLCFastSpatialFilter));
  OGR_L_SetSpatialFilterRect(layer, x0, y0, x1, y1);
  EXPECT_EQ(static_cast<size_t>(OGR_L_GetFeatureCount(layer, TRUE)), inside);
  GDALClose(ds);
}

// The ship list's point column (#1#18) by MMSI, but for the own vessel (the first row),
// whose track also holds fixes of the GPS that may lack a position.
std::map<uint64_t, size_t> ShipListPoints(const std::string& out) {
  std::map<uint64_t, size_t> points;
  bool own = true;
  for (const std::string& line : test::SplitLines(out)) {
    std::vector<std::string> cells;
    size_t from = 0;
    for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
      cells.push_back(line.substr(from, tab - from));
    cells.push_back(line.substr(from));
    if (cells.size() != 13 || cells[1].empty() || cells[1] == "MMSI") continue;
    if (!own && cells[10] != "0") points[std::stoull(cells[1])] = std::stoul(cells[10]);
    own = false;
  }
  return points;
}

// The bundled card, and a generated one with class B vessels and more traffic.
std::vector<std::filesystem::path> Cards(const test::TTempDir& scratch) {
  std::vector<std::filesystem::path> cards{test::SourceDir() / "samples"};
  const auto genlog = test::SharedDir() / "tools" / "genlog.py";
  if (std::filesystem::exists(genlog)) {
    const auto card = scratch.Path() / "generated";
    std::filesystem::create_directories(card);
    const std::string command = "/usr/bin/python3 " + genlog.string() + " --out " + card.string() +
                                " --files 2 --hours 0.5 --vessels 40 --seed 24 >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) cards.push_back(card);
  }
  return cards;
}

TEST(ExportReadBack, EveryFormatHoldsTheDocumentsPointsAndTheShipListsCounts) {
  test::TTempDir scratch;
  for (const auto& card : Cards(scratch)) {
    SCOPED_TRACE(card.string());
    const auto dir = scratch.Path() / card.filename();
    std::filesystem::create_directories(dir);
    ASSERT_EQ(test::RunCli({"--quiet", "--full-data", card.string()}, dir).Status, 0);
    const test::TCliRun list = test::RunCli({"--quiet", "--full-data", "--ship-list", card.string()}, dir);
    ASSERT_EQ(list.Status, 0);
    const test::TCliRun exported =
        test::RunCli({"--quiet", "--full-data", "--export", "t.csv", "--export", "t.gpx", "--export", "t.kmz",
                      "--export", "t.gpkg", "--export-gpx-folder", "folder", card.string()},
                     dir);
    ASSERT_EQ(exported.Status, 0) << exported.Err;

    const TTracks kml = KmlPoints(test::ReadFileBytes(dir / "SD_Belumar.kml"));
    ASSERT_FALSE(kml.empty());
    std::map<uint64_t, size_t> csvRows;
    ExpectSameTracks(kml, CsvPoints(test::ReadFileBytes(dir / "t.csv"), &csvRows), "csv");
    for (const auto& [mmsi, count] : ShipListPoints(list.Out)) EXPECT_EQ(csvRows[mmsi], count) << mmsi;
    ExpectSameTracks(kml, GpxPoints((dir / "t.gpx").string()), "gpx");
    ExpectSameTracks(kml, GpkgPoints((dir / "t.gpkg").string()), "gpkg");
    ExpectSoundIndex((dir / "t.gpkg").string(), kml);
    ExpectSameTracks(kml, KmzPoints((dir / "t.kmz").string()), "kmz");

    TTracks folder;
    for (const auto& file : std::filesystem::directory_iterator(dir / "folder")) {
      const TTracks points = GpxPoints(file.path());
      folder.insert(folder.end(), points.begin(), points.end());
    }
    // The files come in any order.
    const auto sorted = [](TTracks t) {
      std::sort(t.begin(), t.end(), [](const TReadPoint& a, const TReadPoint& b) {
        return std::tie(a.Time, a.Lon, a.Lat) < std::tie(b.Time, b.Lon, b.Lat);
      });
      return t;
    };
    ExpectSameTracks(sorted(kml), sorted(folder), "gpx folder");

    // LIBKML reads every vessel's track with one vertex per point.
    GDALDatasetH kmz = OpenVector((dir / "t.kmz").string());
    ASSERT_NE(kmz, nullptr);
    size_t vertices = 0, expected = 0;
    OGRLayerH tracks = GDALDatasetGetLayerByName(kmz, "Ship-Tracks");
    ASSERT_NE(tracks, nullptr);
    while (OGRFeatureH f = OGR_L_GetNextFeature(tracks)) {
      OGRGeometryH g = OGR_F_GetGeometryRef(f);
      for (int i = 0; g != nullptr && i < std::max(1, OGR_G_GetGeometryCount(g)); ++i) {
        OGRGeometryH part = OGR_G_GetGeometryCount(g) > 0 ? OGR_G_GetGeometryRef(g, i) : g;
        vertices += static_cast<size_t>(OGR_G_GetPointCount(part));
      }
      OGR_F_Destroy(f);
    }
    GDALClose(kmz);
    expected = kml.size();
    EXPECT_EQ(vertices, expected);

    if (std::system("command -v gpsbabel >/dev/null 2>&1") == 0) {
      const std::string command = "gpsbabel -t -i gpx -f " + (dir / "t.gpx").string() + " -o unicsv -F " +
                                  (dir / "babel.csv").string();
      ASSERT_EQ(std::system(command.c_str()), 0);
      EXPECT_EQ(test::SplitLines(test::ReadFileBytes(dir / "babel.csv")).size(), expected + 1);
    }
  }
}

}  // namespace
}  // namespace pelorin
