// The map widget's input and drawing on a hand-made model: zoom around the cursor, drag,
// keys of the window, whole tracks straight into the picture, tiles over the offline map.
#include <QApplication>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "replay/mercator.h"
#include "shell/bulk_lines.h"
#include "shell/map_widget.h"
#include "shell/tile_source.h"

namespace pelorin {
namespace {

TWorldPoint Under(const TMapWidget& map, QPoint p) { return ScreenToWorld(map.View(), p.x(), p.y()); }

TEST(MapWidget, WheelDoubleClickAndDragKeepTheirPointsUnderTheCursor) {
  TMapWidget map;
  map.resize(400, 300);
  map.SetView({0.5, 0.3, 256 * 64});
  const QPoint at(100, 80);
  const TWorldPoint before = Under(map, at);
  QWheelEvent wheel(at, map.mapToGlobal(at), {}, {0, 240}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&map, &wheel);
  EXPECT_NEAR(map.View().Scale, 256 * 128, 1e-6);
  EXPECT_NEAR(Under(map, at).X, before.X, 1e-12);
  EXPECT_NEAR(Under(map, at).Y, before.Y, 1e-12);
  QTest::mouseDClick(&map, Qt::LeftButton, Qt::NoModifier, at);
  EXPECT_NEAR(map.View().Scale, 256 * 256, 1e-6);
  EXPECT_NEAR(Under(map, at).X, before.X, 1e-12);
  // A drag moves the map with the mouse.
  const TWorldPoint grabbed = Under(map, at);
  QTest::mousePress(&map, Qt::LeftButton, Qt::NoModifier, at);
  QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(40, 25)), map.mapToGlobal(QPointF(at + QPoint(40, 25))),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&map, &move);
  QTest::mouseRelease(&map, Qt::LeftButton, Qt::NoModifier, at + QPoint(40, 25));
  EXPECT_NEAR(Under(map, at + QPoint(40, 25)).X, grabbed.X, 1e-12);
  EXPECT_NEAR(Under(map, at + QPoint(40, 25)).Y, grabbed.Y, 1e-12);
}

TEST(BulkLines, DrawsEveryPixelOfASegmentAndSurvivesFarPoints) {
  QImage image(50, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  const TViewTransform view{0, 0, 1};
  const TWorldPoint line[] = {{5, 5}, {45, 5}, {45, 35}, {1e12, -1e12}, {-1e9, 20}, {-5, 20}, {60, 20}};
  DrawBulkPolyline(image, line, std::size(line), view, 0, qRgb(255, 0, 0));
  for (int x = 5; x <= 45; ++x) EXPECT_EQ(image.pixel(x, 5), qRgb(255, 0, 0)) << x;
  for (int y = 5; y <= 35; ++y) EXPECT_EQ(image.pixel(45, y), qRgb(255, 0, 0)) << y;
  for (int x = 0; x < 50; ++x) EXPECT_EQ(image.pixel(x, 20), qRgb(255, 0, 0)) << x;  // clipped at both ends
  EXPECT_EQ(image.pixel(20, 30), qRgb(0, 0, 0));
}

// Serves one tile and never the others.
class TOneTile : public TTileSource {
 public:
  void Want(const std::vector<TTileKey>& visible) override { Asked = visible; }
  QImage Tile(const TTileKey& key) const override { return key == Served ? Image : QImage(); }
  TTileKey Served{2, 2, 1};
  QImage Image;
  std::vector<TTileKey> Asked;
};

TEST(MapWidget, TilesCoverTheirSquareAndMissingOnesLeaveTheOfflineMap) {
  TMapWidget map;
  map.resize(512, 512);
  map.SetView({0.25, 0, 1024});  // tile zoom 2: x 0.25..0.75 and y 0..0.5 are tiles 1..2 × 0..1
  const auto render = [&map] {
    QImage image(512, 512, QImage::Format_RGB32);
    QPainter p(&image);
    map.Render(p, image.size());
    return image;
  };
  const QImage offline = render();
  TOneTile tiles;
  tiles.Image = QImage(256, 256, QImage::Format_RGB32);
  tiles.Image.fill(Qt::magenta);
  map.SetTiles(&tiles);
  const QImage online = render();
  EXPECT_EQ(tiles.Asked.size(), 3u);  // the four tiles in view but the one already there
  // Tile (2, 2, 1) spans world x 0.5..0.75, y 0.25..0.5: the bottom right quarter.
  EXPECT_EQ(online.pixelColor(380, 380), QColor(Qt::magenta));
  EXPECT_EQ(online.pixelColor(100, 100), offline.pixelColor(100, 100));
  EXPECT_EQ(online.pixelColor(380, 100), offline.pixelColor(380, 100));
  EXPECT_EQ(online.pixelColor(100, 380), offline.pixelColor(100, 380));
}

}  // namespace
}  // namespace pelorin
