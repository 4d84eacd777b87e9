// Map tiles against a tile server on the loopback interface: the request, the cache and
// what a failing server leaves (nothing: the offline map stays).
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "shell/network_tiles.h"

namespace pelorin {
namespace {

enum class TAnswer { Png, Garbage, NotFound, Never };

// Answers every request the same way and records what was asked.
class TTileServer {
 public:
  explicit TTileServer(TAnswer answer) : answer_(answer) {
    server_.listen(QHostAddress::LocalHost);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] { Read(socket); });
      }
    });
  }
  QString Template() const { return QString("http://127.0.0.1:%1/{z}/{x}/{y}.png").arg(server_.serverPort()); }
  QStringList Paths, Agents;

 private:
  void Read(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QList<QByteArray> lines = request.split('\n');
    Paths << QString::fromLatin1(lines[0].split(' ').value(1));
    for (const QByteArray& line : lines)
      if (line.toLower().startsWith("user-agent:")) Agents << QString::fromLatin1(line.mid(11).trimmed());
    request.clear();
    if (answer_ == TAnswer::Never) return;
    QByteArray body = "this is not a picture";
    QByteArray status = "200 OK";
    if (answer_ == TAnswer::Png) {
      QImage tile(256, 256, QImage::Format_RGB32);
      tile.fill(Qt::red);
      QBuffer buffer(&body);
      body.clear();
      tile.save(&buffer, "PNG");
    } else if (answer_ == TAnswer::NotFound) {
      status = "404 Not Found";
    }
    socket->write("HTTP/1.1 " + status + "\r\nContent-Type: image/png\r\nCache-Control: max-age=3600\r\n" +
                  "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
  }

  TAnswer answer_;
  QTcpServer server_;
  std::map<QTcpSocket*, QByteArray> pending_;
};

void Pump(int ms, const std::function<bool()>& done = [] { return false; }) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms && !done()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(NetworkTiles, FetchesTheTileAsked_NamesItself_AndServesItAgainFromTheDiskCache) {
  TTileServer server(TAnswer::Png);
  QTemporaryDir cache;
  const TTileKey key{3, 4, 5};
  {
    TNetworkTiles tiles(server.Template(), cache.path());
    int arrived = 0;
    QObject::connect(&tiles, &TTileSource::TileArrived, [&] { ++arrived; });
    tiles.Want({key});
    Pump(5000, [&] { return arrived > 0; });
    ASSERT_EQ(arrived, 1);
    EXPECT_EQ(tiles.Tile(key).pixelColor(10, 10), QColor(Qt::red));
    EXPECT_TRUE(tiles.Tile({3, 4, 6}).isNull());
    tiles.Want({key});  // already here: not asked again
  }
  ASSERT_EQ(server.Paths, QStringList{"/3/4/5.png"});
  ASSERT_EQ(server.Agents.size(), 1);
  EXPECT_TRUE(server.Agents[0].startsWith("Pelorin/" PELORIN_VERSION)) << server.Agents[0].toStdString();

  // A new window: the tile is still fresh in the disk cache, so the server hears nothing.
  TNetworkTiles again(server.Template(), cache.path());
  bool arrived = false;
  QObject::connect(&again, &TTileSource::TileArrived, [&] { arrived = true; });
  again.Want({key});
  Pump(5000, [&] { return arrived; });
  EXPECT_TRUE(arrived);
  EXPECT_EQ(server.Paths.size(), 1);
}

TEST(NetworkTiles, AFailingServerLeavesNoTileAndIsNotAskedAgain) {
  for (TAnswer answer : {TAnswer::Garbage, TAnswer::NotFound, TAnswer::Never}) {
    TTileServer server(answer);
    TNetworkTiles tiles(server.Template(), QString());
    tiles.SetTimeoutMs(300);
    bool arrived = false;
    QObject::connect(&tiles, &TTileSource::TileArrived, [&] { arrived = true; });
    tiles.Want({{1, 0, 1}});
    Pump(1000);
    tiles.Want({{1, 0, 1}});
    Pump(200);
    EXPECT_FALSE(arrived);
    EXPECT_TRUE(tiles.Tile({1, 0, 1}).isNull());
    EXPECT_EQ(server.Paths.size(), 1) << static_cast<int>(answer);
  }
}

TEST(NetworkTiles, AsksAtMostTwoAtATimeAndOnlyForTilesStillInView) {
  TTileServer server(TAnswer::Never);
  TNetworkTiles tiles(server.Template(), QString());
  tiles.SetTimeoutMs(400);
  tiles.Want({{4, 1, 1}, {4, 1, 2}, {4, 1, 3}, {4, 1, 4}, {4, 1, 5}});
  Pump(150);
  EXPECT_EQ(server.Paths.size(), 2);
  // The view moved on: when the two give up, the three queued tiles are not fetched.
  tiles.Want({});
  Pump(800);
  EXPECT_EQ(server.Paths.size(), 2);
}

}  // namespace
}  // namespace pelorin
