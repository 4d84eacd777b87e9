#pragma once
// Tiles from a tile server (OpenStreetMap's by default), as its usage policy asks: a
// User-Agent naming the program, at most two requests at a time, only tiles in view,
// a disk cache that honours the server's expiry, and never a wait for the network.
#include <deque>
#include <unordered_map>
#include <unordered_set>

#include <QCache>
#include <QString>

#include "shell/tile_source.h"

class QNetworkAccessManager;
class QNetworkReply;

namespace pelorin {

inline constexpr int kTileConnections = 2;

class TNetworkTiles : public TTileSource {
  Q_OBJECT

 public:
  // `urlTemplate` holds {z}, {x} and {y}; `cacheDir` empty: no disk cache.
  TNetworkTiles(QString urlTemplate, const QString& cacheDir, QObject* parent = nullptr);
  ~TNetworkTiles() override;

  void Want(const std::vector<TTileKey>& visible) override;
  QImage Tile(const TTileKey& key) const override;

  static QByteArray UserAgent();
  QString Url(const TTileKey& key) const;
  // A request that gets no answer within this time counts as failed.
  void SetTimeoutMs(int ms) { timeoutMs_ = ms; }

 private:
  void StartNext();
  void Finished(QNetworkReply* reply, uint64_t key);

  QString template_;
  QNetworkAccessManager* net_;
  QCache<uint64_t, QImage> images_;
  std::deque<uint64_t> queue_;
  std::unordered_map<uint64_t, QNetworkReply*> inFlight_;
  std::unordered_set<uint64_t> failed_;  // not asked again in this window's life
  int timeoutMs_ = 20000;
};

}  // namespace pelorin
