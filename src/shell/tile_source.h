#pragma once
// Raster map tiles for the Track Replay window's online layer. The map asks for what it
// shows and draws what has arrived; the network behind it is the source's business.
#include <cstdint>
#include <vector>

#include <QImage>
#include <QObject>

namespace pelorin {

struct TTileKey {
  int Z = 0, X = 0, Y = 0;
  bool operator==(const TTileKey&) const = default;
};

class TTileSource : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // The tiles in view now, most wanted first. Tiles asked for earlier but no longer in
  // view are dropped from the queue: nothing is fetched that nobody looks at.
  virtual void Want(const std::vector<TTileKey>& visible) = 0;
  // The tile if it has arrived, else a null image (the offline map stays).
  virtual QImage Tile(const TTileKey& key) const = 0;

 signals:
  void TileArrived();
};

}  // namespace pelorin
