// The land file reader on files the tests write, and the map's texts.
#include <gtest/gtest.h>

#include <string>

#include "codec/tdatetime.h"
#include "replay/land_file.h"
#include "replay/map_text.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

// Big-endian pieces of a land file.
struct TBytes {
  std::string Data;
  TBytes& U(uint32_t v, int n) {
    for (int i = n - 1; i >= 0; --i) Data.push_back(static_cast<char>(v >> (8 * i) & 0xFF));
    return *this;
  }
  TBytes& Node(int lat, int lon, std::initializer_list<std::pair<int, int>> steps) {
    U(static_cast<uint16_t>(lat), 2).U(static_cast<uint16_t>(lon), 2).U(static_cast<uint32_t>(steps.size()), 2);
    for (const auto& [dlat, dlon] : steps) U(static_cast<uint8_t>(dlat), 1).U(static_cast<uint8_t>(dlon), 1);
    return *this;
  }
};

// Version 2: an island (outer ring, three absolute nodes) with a lake (inner ring), and a
// coloured version 1 file with one ring.
std::string Island() {
  TBytes b;
  b.U(2, 1).U(2, 4).U(0, 1);
  b.U(2, 1).U(1, 4).U(3, 4);  // outer boundary of placemark 1
  b.Node(54 * 120, 8 * 120, {{0, 60}, {60, 60}}).Node(55 * 120, 9 * 120, {}).Node(55 * 120, 7 * 120, {{-60, 0}});
  b.U(3, 1).U(1, 4).U(3, 4);  // its hole
  b.Node(6500, 960, {}).Node(6510, 965, {}).Node(6500, 970, {});
  return b.Data;
}

TEST(LandFile, ReadsPolygonsAndRefusesBadFiles) {
  test::TTempDir dir;
  TLandMap map;
  ASSERT_EQ(ReadLandFile(dir.Write("good.pn2", Island()).string(), map), "");
  ASSERT_EQ(map.Rings.size(), 2u);
  EXPECT_EQ(map.Rings[0].Count, 6u);
  EXPECT_EQ(map.Points.size(), 9u);
  EXPECT_NEAR(WorldXToLon(map.Points[1].X), 8.5, 1e-9);  // a relative node: +60/120 degree
  EXPECT_NEAR(WorldYToLat(map.Points[2].Y), 54.5, 1e-9);
  EXPECT_NEAR(WorldYToLat(map.Rings[0].Box.MinY), 55, 1e-9);

  TBytes v1;
  v1.U(1, 1).U(1, 4).U(1, 1).U(7, 4).U(3, 4).U(2, 1).U(5, 1);
  v1.Node(0, 0, {}).Node(120, 0, {}).Node(0, 120, {});
  EXPECT_EQ(ReadLandFile(dir.Write("v1.pn2", v1.Data).string(), map), "");
  EXPECT_EQ(map.Rings.size(), 1u);

  const std::string good = Island();
  std::string farOut = good;
  farOut[15] = static_cast<char>(0x7F);  // the first node's latitude beyond the pole
  const struct {
    const char* name;
    std::string bytes;
    const char* ending;
  } bad[] = {
      {"cut.pn2", good.substr(0, good.size() - 3), " is truncated."},
      {"header.pn2", good.substr(0, 4), " is truncated."},
      {"version.pn2", "\x07" + good.substr(1), " is damaged: not a land file of a known version."},
      {"far.pn2", farOut, " is damaged: a position out of range."},
      {"tail.pn2", good + "x", " is damaged: data after its last polygon."},
  };
  for (const auto& c : bad) {
    const std::string path = dir.Write(c.name, c.bytes).string();
    EXPECT_EQ(ReadLandFile(path, map), "Land file " + path + c.ending);
    EXPECT_TRUE(map.Points.empty() && map.Rings.empty()) << c.name;
  }
  const std::string missing = (dir.Path() / "none.pn2").string();
  EXPECT_EQ(ReadLandFile(missing, map), "Land file " + missing + " was not found.");
}

TEST(MapText, CursorPosition) {
  const struct {
    double lat, lon;
    const char* text;
  } cases[] = {
      {54.0205667, 7.9794167, "54°01.234' N 007°58.765' E"},
      {-33.5, -70.25, "33°30.000' S 070°15.000' W"},
      {0, 0, "00°00.000' N 000°00.000' E"},
      {-0.0000001, 179.9999999, "00°00.000' N 180°00.000' E"},  // rounds into the next degree
      {12.999999, 190, "13°00.000' N 170°00.000' W"},
  };
  for (const auto& c : cases) EXPECT_EQ(CursorPositionText(c.lat, c.lon), c.text);
}

TEST(MapText, ScaleBarClockAndGraticule) {
  // 0.01 NM per pixel at the equator.
  const double scale = 40075016.686 / 1852 / 0.01;
  const struct {
    double lat, maxPixels;
    const char* text;
    double pixels;
  } cases[] = {{0, 150, "1 NM", 100}, {60, 150, "0.5 NM", 100}, {0, 600, "5 NM", 500}, {0, 30, "0.2 NM", 20}};
  for (const auto& c : cases) {
    const TScaleBar bar = ScaleBarFor(scale, c.lat, c.maxPixels);
    EXPECT_EQ(bar.Text, c.text);
    EXPECT_NEAR(bar.Pixels, c.pixels, 1e-6);
  }
  TDateTime dt = 0;
  ASSERT_TRUE(TryEncodeDateTime(2011, 4, 7, 23, 59, 59, dt));
  EXPECT_EQ(ReplayTimeText(static_cast<double>(TDateTimeToSeconds(dt)) + 0.9), "2011-04-07 23:59:59");
  EXPECT_EQ(GraticuleStep(256, 60), 90);
  EXPECT_EQ(GraticuleStep(256.0 * (1 << 10), 60), 0.1 / 6 * 5);  // 5 minutes
}

}  // namespace
}  // namespace pelorin
