#include "shell/network_tiles.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace pelorin {

namespace {

uint64_t Pack(const TTileKey& k) {
  return (static_cast<uint64_t>(k.Z) << 58) | (static_cast<uint64_t>(static_cast<uint32_t>(k.X)) << 29) |
         static_cast<uint32_t>(k.Y);
}

TTileKey Unpack(uint64_t v) {
  constexpr uint64_t mask = (uint64_t{1} << 29) - 1;
  return {static_cast<int>(v >> 58), static_cast<int>((v >> 29) & mask), static_cast<int>(v & mask)};
}

constexpr int kMemoryTiles = 256;  // about 64 MB of decoded tiles

}  // namespace

TNetworkTiles::TNetworkTiles(QString urlTemplate, const QString& cacheDir, QObject* parent)
    : TTileSource(parent), template_(std::move(urlTemplate)), net_(new QNetworkAccessManager(this)) {
  images_.setMaxCost(kMemoryTiles);
  if (!cacheDir.isEmpty()) {
    auto* cache = new QNetworkDiskCache(net_);
    cache->setCacheDirectory(cacheDir);
    cache->setMaximumCacheSize(200LL * 1024 * 1024);
    net_->setCache(cache);
  }
}

TNetworkTiles::~TNetworkTiles() {
  for (auto& [key, reply] : inFlight_) {
    reply->disconnect(this);
    reply->abort();
  }
}

QByteArray TNetworkTiles::UserAgent() {
  return QByteArray("Pelorin/") + PELORIN_VERSION + " (AIS log viewer, Track Replay window; Qt Network)";
}

QString TNetworkTiles::Url(const TTileKey& key) const {
  QString url = template_;
  url.replace("{z}", QString::number(key.Z));
  url.replace("{x}", QString::number(key.X));
  url.replace("{y}", QString::number(key.Y));
  return url;
}

QImage TNetworkTiles::Tile(const TTileKey& key) const {
  const QImage* image = images_.object(Pack(key));
  return image ? *image : QImage();
}

void TNetworkTiles::Want(const std::vector<TTileKey>& visible) {
  queue_.clear();
  for (const TTileKey& key : visible) {
    const uint64_t k = Pack(key);
    if (images_.contains(k) || inFlight_.count(k) || failed_.count(k)) continue;
    queue_.push_back(k);
  }
  StartNext();
}

void TNetworkTiles::StartNext() {
  while (static_cast<int>(inFlight_.size()) < kTileConnections && !queue_.empty()) {
    const uint64_t k = queue_.front();
    queue_.pop_front();
    QNetworkRequest request{QUrl(Url(Unpack(k)))};
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setTransferTimeout(timeoutMs_);
    QNetworkReply* reply = net_->get(request);
    inFlight_[k] = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, k] { Finished(reply, k); });
  }
}

void TNetworkTiles::Finished(QNetworkReply* reply, uint64_t key) {
  inFlight_.erase(key);
  reply->deleteLater();
  QImage image;
  const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
  if (reply->error() == QNetworkReply::NoError && (status == 200 || status == 0)) image.loadFromData(reply->readAll());
  if (image.isNull()) {
    failed_.insert(key);
  } else {
    images_.insert(key, new QImage(image.convertToFormat(QImage::Format_ARGB32_Premultiplied)));
    emit TileArrived();
  }
  StartNext();
}

}  // namespace pelorin
