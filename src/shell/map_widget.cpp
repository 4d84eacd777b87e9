#include "shell/map_widget.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>

#include "replay/map_text.h"
#include "replay/vessel_style.h"
#include "shell/bulk_lines.h"
#include "shell/tile_source.h"
#include "shell/vessel_list_model.h"

namespace pelorin {

namespace {

const QColor kSea(0x1d, 0x3a, 0x56);
const QColor kOffMap(0x30, 0x30, 0x30);  // beyond the square map's north and south edges
const QColor kLand(0x6b, 0x73, 0x5a);
const QColor kCoast(0x3a, 0x40, 0x30);
const QColor kGraticule(255, 255, 255, 45);
const QColor kOutline(0x20, 0x20, 0x20);
const QColor kHighlight(0x00, 0xe5, 0xff);

// Names are drawn from a scale of a few tens of nautical miles across on (tile zoom 9).
constexpr double kNamesScale = 256.0 * 512;
constexpr double kFrameMarginPx = 24;
constexpr double kFitMarginPx = 40;
constexpr double kFitMaxScale = 256.0 * (1 << 14);
constexpr double kDragThresholdPx = 3;
constexpr int kMaxTileZoom = 19;
constexpr int kSpriteSize = 30;
constexpr int kCourseStepDegrees = 5;

QColor Rgb(uint32_t rgb) { return QColor::fromRgb(rgb >> 16 & 0xff, rgb >> 8 & 0xff, rgb & 0xff); }

// Whether a gw × gh grid whose pixel (0, 0) lies at `grid` holds the whole w × h view.
bool GridHolds(const TViewTransform& grid, int gw, int gh, const TViewTransform& view, int w, int h) {
  if (grid.Scale != view.Scale) return false;
  const long dx = std::lround((view.OriginX - grid.OriginX) * view.Scale);
  const long dy = std::lround((view.OriginY - grid.OriginY) * view.Scale);
  return dx >= 0 && dy >= 0 && dx + w <= gw && dy + h <= gh;
}

QColor WithAlpha(QColor c, float alpha) {
  c.setAlphaF(std::clamp(alpha, 0.0f, 1.0f));
  return c;
}

}  // namespace

bool TMapWidget::TStaticKey::operator==(const TStaticKey& o) const {
  return View.OriginX == o.View.OriginX && View.OriginY == o.View.OriginY && View.Scale == o.View.Scale &&
         Size == o.Size && AllTracks == o.AllTracks && ByType == o.ByType && Density == o.Density && TileGeneration == o.TileGeneration && Ratio == o.Ratio;
}

TMapWidget::TMapWidget(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 150);
}

TMapWidget::~TMapWidget() { StopDensityCount(); }

void TMapWidget::SetModel(const TReplayModel* model, const TShipList* ships) {
  StopDensityCount();  // it reads the model and its thinning
  model_ = model;
  ships_ = ships;
  decimation_ = TDecimationCache{};
  nameLabels_.clear();
  selected_ = -1;
  hasMeasure_ = measuring_ = false;
  densityValid_ = false;
  rangeOutline_.clear();
  FitAll();
}

void TMapWidget::SetLand(const TLandMap* land) {
  land_ = land;
  Changed();
}

void TMapWidget::SetTiles(TTileSource* tiles) {
  if (tiles_) tiles_->disconnect(this);
  tiles_ = tiles;
  if (tiles_) {
    connect(tiles_, &TTileSource::TileArrived, this, [this] {
      ++tileGeneration_;
      update();
    });
  }
  Changed();
}

void TMapWidget::SetTime(double t) {
  time_ = t;
  frameValid_ = false;
  update();
}

void TMapWidget::SetTrail(TTrailKind kind) {
  trail_ = kind;
  update();
}

void TMapWidget::SetAllTracks(bool on) {
  allTracks_ = on;
  if (!on) StopDensityCount();  // its two threads would slow the replay
  Changed();
}

QImage TMapWidget::Picture(double ratio) {
  ratio_ = ratio;
  QImage picture(size() * ratio, QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  FinishDensity();  // at this ratio's pixels
  QPainter p(&picture);
  Render(p, size());
  p.end();
  ratio_ = 1;
  return picture;
}

void TMapWidget::SetDensity(bool on) {
  density_ = on;
  if (!on) StopDensityCount();
  Changed();
}

void TMapWidget::SetColourByType(bool on) {
  byType_ = on;
  Changed();
}

void TMapWidget::SetSelected(int64_t vessel) {
  selected_ = model_ && vessel >= 0 && static_cast<size_t>(vessel) < model_->Vessels.size() ? vessel : -1;
  update();
}

void TMapWidget::SetMeasure(const TMeasureEnd& from, const TMeasureEnd& to) {
  measureFrom_ = from, measureTo_ = to;
  hasMeasure_ = true;
  update();
}

void TMapWidget::SetRangeOutline(std::vector<TWorldPoint> outline) {
  rangeOutline_ = std::move(outline);
  update();
}

// A closed line through the farthest positions, each world copy in view.
void TMapWidget::DrawRangeOutline(QPainter& p, const TWorldRect& visible) {
  if (rangeOutline_.size() < 2) return;
  TWorldRect box;
  for (const TWorldPoint& w : rangeOutline_) Extend(box, w.X, w.Y);
  int first = 0, last = -1;
  if (!ShiftRange(box, visible, first, last)) return;
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setBrush(Qt::NoBrush);
  for (int shift = first; shift <= last; ++shift) {
    QPolygonF ring;
    for (const TWorldPoint& w : rangeOutline_) ring << QPointF(ScreenX(view_, w.X + shift), ScreenY(view_, w.Y));
    p.setPen(QPen(QColor(255, 255, 255, 200), 3.5));
    p.drawPolygon(ring);
    p.setPen(QPen(QColor(0xe0, 0x40, 0xfb), 1.8));
    p.drawPolygon(ring);
  }
}

void TMapWidget::ClearMeasure() {
  hasMeasure_ = measuring_ = false;
  update();
}

// The ends now, B's world copy the one nearest A; false while a vessel end is not shown.
bool TMapWidget::MeasureEnds(TWorldPoint& from, TWorldPoint& to) const {
  if (!hasMeasure_) return false;
  const auto place = [this](const TMeasureEnd& end, TWorldPoint& at) {
    if (end.Vessel < 0) {
      at = end.World;
      return true;
    }
    if (!model_ || static_cast<size_t>(end.Vessel) >= model_->Vessels.size()) return false;
    const TVesselState state = VesselAt(*model_, static_cast<uint32_t>(end.Vessel), time_);
    at = state.Position;
    return state.Visible;
  };
  if (!place(measureFrom_, from) || !place(measureTo_, to)) return false;
  to.X += std::round(from.X - to.X);
  return true;
}

QString TMapWidget::MeasureText() const {
  TWorldPoint from, to;
  return MeasureEnds(from, to) ? QString::fromStdString(RangeBearingText(from, to)) : QString();
}

// A vessel's marker under the cursor, or the place there.
TMapWidget::TMeasureEnd TMapWidget::EndAt(QPointF pos) {
  const int64_t hit = model_ ? HitTest(Frame(), pos.x(), pos.y(), kClickRadiusPx) : -1;
  if (hit >= 0) return {static_cast<int64_t>(frame_.Markers[static_cast<size_t>(hit)].Vessel), {}};
  return {-1, ScreenToWorld(view_, pos.x(), pos.y())};
}

void TMapWidget::DrawMeasure(QPainter& p) {
  TWorldPoint from, to;
  if (!MeasureEnds(from, to)) return;
  // The copy of the line nearest the view's middle, when the view shows several worlds.
  const double middle = view_.OriginX + width() / 2.0 / view_.Scale;
  const double shift = std::round(middle - (from.X + to.X) / 2);
  const QPointF a(ScreenX(view_, from.X + shift), ScreenY(view_, from.Y));
  const QPointF b(ScreenX(view_, to.X + shift), ScreenY(view_, to.Y));
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Qt::white, 3));
  p.drawLine(a, b);
  p.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
  p.drawLine(a, b);
  const QString text = QString::fromStdString(RangeBearingText(from, to));
  const QFontMetricsF metrics(font());
  const QPointF mid = (a + b) / 2;
  const QRectF box(mid.x() + 6, mid.y() - metrics.height() - 4, metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
  p.fillRect(box, QColor(255, 255, 255, 220));
  p.setPen(Qt::black);
  p.drawText(box, Qt::AlignCenter, text);
}

void TMapWidget::Changed() {
  frameValid_ = false;
  staticValid_ = false;
  update();
}

void TMapWidget::FitAll() {
  const TWorldRect box = model_ ? model_->Bounds : TWorldRect{};
  SetView(FitView(box, std::max(width(), 1), std::max(height(), 1), kFitMarginPx, kFitMaxScale));
  userMoved_ = false;
}

void TMapWidget::CenterOn(const TWorldPoint& world) {
  userMoved_ = true;
  SetView({world.X - width() / 2.0 / view_.Scale, world.Y - height() / 2.0 / view_.Scale, view_.Scale});
}

void TMapWidget::ZoomBy(double factor, QPointF around) {
  const double scale = std::clamp(view_.Scale * factor, kMinMapScale, kMaxMapScale);
  SetView(ZoomAround(view_, around.x(), around.y(), scale));
}

void TMapWidget::SetView(const TViewTransform& view) {
  view_ = view;
  // Whole worlds repeat: keep the origin near the first one so doubles stay precise.
  view_.OriginX -= std::floor(view_.OriginX);
  Changed();
}

const TFrame& TMapWidget::FrameFor(QSize size) {
  if (!frameValid_ || frameSize_ != size) {
    frame_.Markers.clear();
    if (model_) ComputeFrame(*model_, time_, view_, size.width(), size.height(), kFrameMarginPx, frame_);
    frameValid_ = true;
    frameSize_ = size;
  }
  return frame_;
}

QColor TMapWidget::ColourOf(uint32_t vessel) const {
  const TReplayVessel& v = model_->Vessels[vessel];
  if (byType_ && v.Kind == TVesselKind::Other) return Rgb(ShipTypeGroupColour(v.TypeGroup));
  return Rgb(VesselKindColour(v.Kind));
}

// ---- drawing ----

void TMapWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Render(p, size());
}

void TMapWidget::Render(QPainter& p, QSize size) {
  RenderStatic(size);
  p.drawImage(0, 0, static_);
  if (model_ && !IsEmpty(*model_)) {
    FrameFor(size);
    const TWorldRect visible = VisibleWorld(view_, size.width(), size.height());
    DrawRangeOutline(p, visible);
    DrawTrails(p);
    DrawSelectedTrack(p, visible);
    DrawMarkers(p);
    DrawNames(p, size);
  }
  DrawMeasure(p);
  DrawOverlays(p, size);
  DrawDensityLegend(p, size);
}

// Sea, land, tiles, graticule and (in "All tracks") every track: the same for every
// frame until the view moves, so drawn once into an image.
void TMapWidget::RenderStatic(QSize size) {
  const TStaticKey key{view_, size, allTracks_, byType_, density_, tileGeneration_, ratio_};
  if (staticValid_ && key == staticKey_) return;
  staticKey_ = key;
  staticValid_ = true;
  if (static_.size() != size * ratio_ || static_.devicePixelRatio() != ratio_) {
    static_ = QImage(size * ratio_, QImage::Format_RGB32);
    static_.setDevicePixelRatio(ratio_);
  }
  QPainter p(&static_);
  p.fillRect(QRect(QPoint(0, 0), size), kSea);
  const double north = ScreenY(view_, 0), south = ScreenY(view_, 1);
  if (north > 0) p.fillRect(QRectF(0, 0, size.width(), north), kOffMap);
  if (south < size.height()) p.fillRect(QRectF(0, south, size.width(), size.height() - south), kOffMap);
  const TWorldRect visible = VisibleWorld(view_, size.width(), size.height());
  DrawLand(p, visible);
  DrawTiles(p, visible, size);
  DrawGraticule(p, visible, size);
  p.end();
  if (allTracks_ && model_) {
    if (density_)
      DrawDensity(static_, visible);
    else
      DrawAllTracks(static_, visible);
    DrawOwnTrack(static_, visible);
  }
}

void TMapWidget::DrawLand(QPainter& p, const TWorldRect& visible) {
  if (!land_ || land_->Rings.empty()) return;
  QPainterPath path;
  path.setFillRule(Qt::OddEvenFill);
  QPolygonF ring;
  // Points closer than half a pixel add nothing to the outline.
  const double minStep = 0.5 / view_.Scale;
  for (const TLandRing& r : land_->Rings) {
    int first = 0, last = -1;
    if (!ShiftRange(r.Box, visible, first, last)) continue;
    for (int shift = first; shift <= last; ++shift) {
      ring.clear();
      double lastX = 1e9, lastY = 1e9;
      for (uint32_t i = r.First; i < r.First + r.Count; ++i) {
        const TWorldPoint& w = land_->Points[i];
        if (std::abs(w.X - lastX) < minStep && std::abs(w.Y - lastY) < minStep && i + 1 < r.First + r.Count) continue;
        lastX = w.X;
        lastY = w.Y;
        ring.append(QPointF(ScreenX(view_, w.X + shift), ScreenY(view_, w.Y)));
      }
      if (ring.size() < 2) continue;
      if (r.Closed) {
        path.addPolygon(ring);
        path.closeSubpath();
      } else {
        p.setPen(QPen(kCoast, 1));
        p.drawPolyline(ring);
      }
    }
  }
  p.setPen(QPen(kCoast, 1));
  p.setBrush(kLand);
  p.drawPath(path);
  p.setBrush(Qt::NoBrush);
}

void TMapWidget::DrawTiles(QPainter& p, const TWorldRect& visible, QSize size) {
  if (!tiles_) return;
  const int z = std::clamp(static_cast<int>(std::lround(std::log2(view_.Scale / 256.0))), 0, kMaxTileZoom);
  const double n = std::ldexp(1.0, z);
  const double tilePx = view_.Scale / n;
  const int64_t x0 = static_cast<int64_t>(std::floor(visible.MinX * n));
  // A tile whose edge only touches the view's edge is not in view: not asked for.
  const int64_t x1 = static_cast<int64_t>(std::ceil(visible.MaxX * n)) - 1;
  const int64_t y0 = std::max<int64_t>(0, static_cast<int64_t>(std::floor(visible.MinY * n)));
  const int64_t y1 =
      std::min<int64_t>(static_cast<int64_t>(n) - 1, static_cast<int64_t>(std::ceil(visible.MaxY * n)) - 1);
  std::vector<TTileKey> wanted;
  const QPointF centre(size.width() / 2.0, size.height() / 2.0);
  std::vector<std::pair<double, TTileKey>> order;
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  for (int64_t y = y0; y <= y1; ++y) {
    for (int64_t x = x0; x <= x1; ++x) {
      const int64_t wrapped = ((x % static_cast<int64_t>(n)) + static_cast<int64_t>(n)) % static_cast<int64_t>(n);
      const TTileKey key{z, static_cast<int>(wrapped), static_cast<int>(y)};
      const QRectF rect(ScreenX(view_, x / n), ScreenY(view_, y / n), tilePx, tilePx);
      const QImage tile = tiles_->Tile(key);
      if (!tile.isNull()) {
        p.drawImage(rect, tile);
      } else {
        const QPointF d = rect.center() - centre;
        order.push_back({d.x() * d.x() + d.y() * d.y(), key});
      }
    }
  }
  // The middle of the view first: what the user looks at arrives first.
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [distance, key] : order)
    if (std::find(wanted.begin(), wanted.end(), key) == wanted.end()) wanted.push_back(key);
  tiles_->Want(wanted);
}

void TMapWidget::DrawGraticule(QPainter& p, const TWorldRect& visible, QSize size) {
  const double step = GraticuleStep(view_.Scale, 90);
  if (step <= 0) return;
  p.setPen(QPen(kGraticule, 1));
  const double lonFirst = std::ceil((visible.MinX * 360.0 - 180.0) / step) * step;
  for (double lon = lonFirst; (lon + 180.0) / 360.0 <= visible.MaxX; lon += step) {
    const double x = ScreenX(view_, (lon + 180.0) / 360.0);
    p.drawLine(QPointF(x, 0), QPointF(x, size.height()));
  }
  const double latTop = WorldYToLat(std::max(visible.MinY, 0.0));
  const double latBottom = WorldYToLat(std::min(visible.MaxY, 1.0));
  for (double lat = std::floor(latBottom / step) * step; lat <= latTop; lat += step) {
    if (lat < latBottom) continue;
    const double y = ScreenY(view_, LatToWorldY(lat));
    p.drawLine(QPointF(0, y), QPointF(size.width(), y));
  }
}

// Points that fall within a pixel of the last one drawn add nothing to a one-pixel line
// but cost as much as any other: skipped (the run's last point always stays).
constexpr size_t kPolylinePiece = 64;

void TMapWidget::DrawRuns(QPainter& p, const TPolylines& lines, size_t firstRun, size_t endRun, double shift) {
  for (size_t r = firstRun; r < endRun; ++r) {
    const size_t begin = lines.RunStarts[r];
    const size_t end = r + 1 < lines.RunStarts.size() ? lines.RunStarts[r + 1] : lines.Points.size();
    screen_.clear();
    for (size_t i = begin; i < end; ++i) {
      const QPointF s(ScreenX(view_, lines.Points[i].X + shift), ScreenY(view_, lines.Points[i].Y));
      if (!screen_.empty() && i + 1 < end && std::abs(s.x() - screen_.back().x()) < 1 &&
          std::abs(s.y() - screen_.back().y()) < 1)
        continue;
      screen_.push_back(s);
    }
    // In pieces: a wide antialiased pen fills a polyline's whole outline at once, and a
    // track that loops over itself for days makes that outline cost tens of milliseconds.
    for (size_t from = 0; from + 1 < screen_.size(); from += kPolylinePiece - 1)
      p.drawPolyline(screen_.data() + from, static_cast<int>(std::min(kPolylinePiece, screen_.size() - from)));
  }
}

// Every whole track at once: millions of segments of a few pixels, drawn straight into
// the static picture (bulk_lines.h). The own vessel and SARTs last, on top of the rest.
void TMapWidget::DrawAllTracks(QImage& image, const TWorldRect& visible) {
  // SARTs over the others; the own track comes last, over everything.
  const TViewTransform pixels = PixelView();
  for (const TVesselKind kind : {TVesselKind::Other, TVesselKind::Sart}) {
    for (uint32_t v = 0; v < model_->Vessels.size(); ++v) {
      int first = 0, last = -1;
      if (model_->Vessels[v].Kind != kind) continue;
      if (!ShiftRange(model_->Vessels[v].Box, visible, first, last)) continue;
      ClearPolylines(lines_);
      AppendWholeTrack(*model_, decimation_, v, pixels.Scale, lines_);
      const QRgb colour = ColourOf(v).rgb();
      for (int shift = first; shift <= last; ++shift) {
        for (size_t r = 0; r < lines_.RunStarts.size(); ++r) {
          const size_t begin = lines_.RunStarts[r];
          const size_t end = r + 1 < lines_.RunStarts.size() ? lines_.RunStarts[r + 1] : lines_.Points.size();
          DrawBulkPolyline(image, lines_.Points.data() + begin, end - begin, pixels, shift, colour);
        }
      }
    }
  }
}

// The counts of every vessel but the own one, blended over the base map. A view the counts
// do not hold is counted beside the window; until then the counts it has are stretched to it.
void TMapWidget::DrawDensity(QImage& image, const TWorldRect&) {
  const int w = image.width(), h = image.height();
  const TViewTransform view = PixelView();
  if (!densityValid_ || !GridHolds(densityView_, densityGrid_.Width, densityGrid_.Height, view, w, h)) {
    if (!densityJob_ || !GridHolds(densityJob_->View, densityJob_->Width, densityJob_->Height, view, w, h))
      StartDensityCount(view, w, h);
    if (waitForDensity_) TakeDensityJob();
  }
  if (densityValid_) DrawDensityGrid(image, view);
}

// Counts the view and a margin around it, so that a pan within the margin counts nothing.
void TMapWidget::StartDensityCount(const TViewTransform& view, int width, int height) {
  StopDensityCount();
  densityJob_ = std::make_unique<TDensityJob>();
  const int mx = width / 4, my = height / 4;
  densityJob_->View = {view.OriginX - mx / view.Scale, view.OriginY - my / view.Scale, view.Scale};
  densityJob_->Width = width + 2 * mx;
  densityJob_->Height = height + 2 * my;
  std::vector<char> counted(model_->Vessels.size());
  for (size_t v = 0; v < counted.size(); ++v) counted[v] = model_->Vessels[v].Kind != TVesselKind::Own;
  const TDecimatedLevel& level = DecimatedLevel(*model_, decimation_, view.Scale);  // built here: the count only reads it
  const uint64_t generation = ++densityGeneration_;
  StartDensityJob(*model_, level, std::move(counted), *densityJob_, [this, generation] {
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
          if (generation != densityGeneration_ || !TakeDensityJob()) return;
          staticValid_ = false;
          update();
        },
        Qt::QueuedConnection);
  });
}

// The job's counts become the ones shown, once it has ended (waited for here); false when
// there was none or it was stopped.
bool TMapWidget::TakeDensityJob() {
  if (!densityJob_) return false;
  WaitDensityJob(*densityJob_);
  const bool done = densityJob_->Done;
  if (done) {
    densityGrid_ = std::move(densityJob_->Grid);
    densityView_ = densityJob_->View;
    densityValid_ = true;
    densityColours_.resize(densityGrid_.Max + 1);
    for (uint32_t c = 1; c <= densityGrid_.Max; ++c) densityColours_[c] = DensityColour(c, densityGrid_.Max);
  }
  densityJob_.reset();
  return done;
}

void TMapWidget::StopDensityCount() {
  if (densityJob_) StopDensityJob(*densityJob_);
  densityJob_.reset();
}

void TMapWidget::FinishDensity() {
  if (TakeDensityJob()) staticValid_ = false;
  waitForDensity_ = true;
  RenderStatic(size());
  waitForDensity_ = false;
}

// Each pixel takes the cell under its centre: the grid itself at its own scale.
void TMapWidget::DrawDensityGrid(QImage& image, const TViewTransform& view) {
  const int w = image.width(), h = image.height();
  const TViewTransform& grid = densityView_;
  const auto cell = [&](int at, double viewOrigin, double gridOrigin, int cells) {
    const double g = std::floor(((at + 0.5) / view.Scale + viewOrigin - gridOrigin) * grid.Scale);
    return g >= 0 && g < cells ? static_cast<int>(g) : -1;
  };
  std::vector<int> columns(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) columns[static_cast<size_t>(x)] = cell(x, view.OriginX, grid.OriginX, densityGrid_.Width);
  for (int y = 0; y < h; ++y) {
    const int gy = cell(y, view.OriginY, grid.OriginY, densityGrid_.Height);
    if (gy < 0) continue;
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const TDensityCell* cells = densityGrid_.Cells.data() + static_cast<size_t>(gy) * static_cast<size_t>(densityGrid_.Width);
    for (int x = 0; x < w; ++x) {
      const int gx = columns[static_cast<size_t>(x)];
      if (gx < 0 || cells[gx].Count == 0) continue;
      const uint32_t c = densityColours_[cells[gx].Count];
      const uint32_t a = c >> 24, b = row[x];
      const auto blend = [&](int shift) {
        return ((((c >> shift) & 0xFF) * a + ((b >> shift) & 0xFF) * (255 - a)) / 255) << shift;
      };
      row[x] = 0xFF000000u | blend(16) | blend(8) | blend(0);
    }
  }
}

void TMapWidget::DrawOwnTrack(QImage& image, const TWorldRect& visible) {
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (uint32_t v = 0; v < model_->Vessels.size(); ++v) {
    int first = 0, last = -1;
    if (model_->Vessels[v].Kind != TVesselKind::Own || !ShiftRange(model_->Vessels[v].Box, visible, first, last))
      continue;
    ClearPolylines(lines_);
    AppendWholeTrack(*model_, decimation_, v, view_.Scale, lines_);
    for (int shift = first; shift <= last; ++shift) {
      p.setPen(QPen(QColor(255, 255, 255, 150), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      DrawRuns(p, lines_, 0, lines_.RunStarts.size(), shift);
      p.setPen(QPen(ColourOf(v), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      DrawRuns(p, lines_, 0, lines_.RunStarts.size(), shift);
    }
  }
}

void TMapWidget::DrawDensityLegend(QPainter& p, QSize size) {
  if (!allTracks_ || !density_) return;
  const bool counts = densityValid_ && densityGrid_.Max > 0;
  if (!counts && !densityJob_) return;
  const QFontMetricsF metrics(font());
  const double w = 150, barH = 10, pad = 6;
  const QRectF back(size.width() - w - 2 * pad - 10, 10, w + 2 * pad, metrics.height() * 2 + barH + 3 * pad);
  p.fillRect(back, QColor(255, 255, 255, 210));
  p.setPen(Qt::black);
  if (!counts) {  // the first count of a card of days
    p.drawText(back, Qt::AlignCenter, "Counting…");
    return;
  }
  p.drawText(QRectF(back.left() + pad, back.top() + pad / 2, w, metrics.height()), Qt::AlignLeft,
             "Vessels per pixel");
  const double barTop = back.top() + pad + metrics.height();
  for (int i = 0; i < static_cast<int>(w); ++i) {
    const double f = i / (w - 1);
    const auto count = static_cast<uint32_t>(std::lround(std::pow(static_cast<double>(densityGrid_.Max), f)));
    const uint32_t c = DensityColour(std::max(1u, count), densityGrid_.Max);
    p.fillRect(QRectF(back.left() + pad + i, barTop, 1, barH), QColor::fromRgb(c | 0xFF000000u));
  }
  const QRectF labels(back.left() + pad, barTop + barH + 1, w, metrics.height());
  p.drawText(labels, Qt::AlignLeft, "1");
  p.drawText(labels, Qt::AlignHCenter,
             QString::number(std::lround(std::sqrt(static_cast<double>(densityGrid_.Max)))));
  p.drawText(labels, Qt::AlignRight, QString::number(densityGrid_.Max));
}

void TMapWidget::DrawTrails(QPainter& p) {
  if (trail_ == TTrailKind::None) return;
  p.setRenderHint(QPainter::Antialiasing, false);
  // Over a density map the others' trails would only cover what it says.
  const bool othersToo = !(allTracks_ && density_);
  for (const bool own : {false, true})
    for (const TMarker& m : frame_.Markers) {
      if ((model_->Vessels[m.Vessel].Kind == TVesselKind::Own) != own || (!own && !othersToo)) continue;
      ClearPolylines(lines_);
      AppendTrail(*model_, decimation_, m.Vessel, time_, trail_, view_.Scale, lines_);
      if (lines_.RunStarts.empty()) continue;
      // One pixel wide: wider lines go through the stroker, several times slower; the own
      // vessel's one trail can afford two.
      p.setPen(QPen(WithAlpha(ColourOf(m.Vessel), (own ? 1.0f : 0.8f) * m.State.Alpha), own ? 2 : 1));
      DrawRuns(p, lines_, 0, lines_.RunStarts.size(), m.Shift);
    }
}

void TMapWidget::DrawSelectedTrack(QPainter& p, const TWorldRect& visible) {
  if (selected_ < 0) return;
  const auto v = static_cast<uint32_t>(selected_);
  int first = 0, last = -1;
  if (!ShiftRange(model_->Vessels[v].Box, visible, first, last)) return;
  ClearPolylines(lines_);
  AppendWholeTrack(*model_, decimation_, v, view_.Scale, lines_);
  p.setRenderHint(QPainter::Antialiasing, true);
  for (int shift = first; shift <= last; ++shift) {
    p.setPen(QPen(kHighlight, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    DrawRuns(p, lines_, 0, lines_.RunStarts.size(), shift);
    p.setPen(QPen(ColourOf(v), 1.5));
    DrawRuns(p, lines_, 0, lines_.RunStarts.size(), shift);
  }
}

// A marker: an arrow along the course or a circle, in the vessel's colour with a dark
// outline. Drawn once per colour, shape and 5° of course into a small picture: thousands
// of antialiased polygons a frame cost several times more than copying pictures.
const QImage& TMapWidget::MarkerSprite(QRgb colour, bool arrow, int courseStep, bool selected, bool own) {
  const uint64_t key = (static_cast<uint64_t>(colour) << 16) | (arrow ? 1u << 15 : 0) | (selected ? 1u << 14 : 0) |
                       (own ? 1u << 13 : 0) | static_cast<unsigned>(courseStep);
  auto it = sprites_.find(key);
  if (it != sprites_.end()) return it->second;
  QImage sprite(kSpriteSize, kSpriteSize, QImage::Format_ARGB32_Premultiplied);
  sprite.fill(Qt::transparent);
  QPainter p(&sprite);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(kOutline, 1));
  p.setBrush(QColor::fromRgb(colour));
  const double c = kSpriteSize / 2.0;
  const double size = own ? 1.5 : selected ? 1.4 : 1.0;
  if (own) {
    // A light halo, so that the own vessel stands out among a thousand others.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(QPointF(c, c), 12, 12);
    p.setPen(QPen(kOutline, 1));
    p.setBrush(QColor::fromRgb(colour));
  }
  if (arrow) {
    const double a = courseStep * kCourseStepDegrees * M_PI / 180.0;
    const double sn = std::sin(a), cs = -std::cos(a);  // screen y grows downwards
    // Tip ahead along the course, two corners behind and a notch between them.
    const auto at = [&](double ahead, double side) {
      return QPointF(c + size * (ahead * sn - side * cs), c + size * (ahead * cs + side * sn));
    };
    const QPointF shape[4] = {at(9, 0), at(-6, 5), at(-3, 0), at(-6, -5)};
    p.drawPolygon(shape, 4);
  } else {
    p.drawEllipse(QPointF(c, c), 4 * size, 4 * size);
  }
  if (selected) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kHighlight, 2));
    p.drawEllipse(QPointF(c, c), 13, 13);
  }
  p.end();
  return sprites_.emplace(key, std::move(sprite)).first->second;
}

// The own vessel last, over every other.
void TMapWidget::DrawMarkers(QPainter& p) {
  for (const bool own : {false, true})
    for (const TMarker& m : frame_.Markers) {
      const float alpha = m.State.Alpha;
      if (alpha <= 0 || (model_->Vessels[m.Vessel].Kind == TVesselKind::Own) != own) continue;
      const bool selected = static_cast<int64_t>(m.Vessel) == selected_;
      const int step = static_cast<int>(std::lround(m.State.Course / kCourseStepDegrees)) % (360 / kCourseStepDegrees);
      const QImage& sprite =
          MarkerSprite(ColourOf(m.Vessel).rgb(), m.State.HasCourse, m.State.HasCourse ? step : 0, selected, own);
      if (alpha < 1) p.setOpacity(alpha);
      p.drawImage(QPointF(m.X - kSpriteSize / 2.0, m.Y - kSpriteSize / 2.0), sprite);
      if (alpha < 1) p.setOpacity(1);
    }
}

// Beside their markers once zoomed in; a name that would overlap one already placed is
// left out (the own vessel and the selected one come first).
// A vessel's name on its dark plate, set once: measuring and setting text for a thousand
// names a frame would cost more than the rest of the frame.
const QImage& TMapWidget::NameLabel(uint32_t vessel) {
  auto it = nameLabels_.find(vessel);
  if (it != nameLabels_.end()) return it->second;
  const QString name = VesselDisplayName(model_->Vessels[vessel]);
  const QFontMetrics metrics(font());
  QImage label(metrics.horizontalAdvance(name) + 4, metrics.height() + 2, QImage::Format_ARGB32_Premultiplied);
  label.fill(QColor(0, 0, 0, 110));
  QPainter p(&label);
  p.setFont(font());
  p.setPen(Qt::white);
  p.drawText(label.rect(), Qt::AlignCenter, name);
  p.end();
  return nameLabels_.emplace(vessel, std::move(label)).first->second;
}

void TMapWidget::DrawNames(QPainter& p, QSize size) {
  if (view_.Scale < kNamesScale) return;
  placedNames_.clear();
  const auto place = [&](const TMarker& m) {
    if (m.State.Alpha < 0.5f || m.X < 0 || m.Y < 0 || m.X > size.width() || m.Y > size.height()) return;
    const QImage& label = NameLabel(m.Vessel);
    const QRectF box(m.X + 9, m.Y - label.height() / 2.0, label.width(), label.height());
    for (const QRectF& other : placedNames_)
      if (other.intersects(box)) return;
    placedNames_.push_back(box);
    p.drawImage(box.topLeft(), label);
  };
  for (const TMarker& m : frame_.Markers)
    if (model_->Vessels[m.Vessel].Kind == TVesselKind::Own || static_cast<int64_t>(m.Vessel) == selected_) place(m);
  for (const TMarker& m : frame_.Markers)
    if (model_->Vessels[m.Vessel].Kind != TVesselKind::Own && static_cast<int64_t>(m.Vessel) != selected_) place(m);
}

void TMapWidget::DrawOverlays(QPainter& p, QSize size) {
  p.setRenderHint(QPainter::Antialiasing, false);
  if (!model_ || IsEmpty(*model_)) {
    QFont big = font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    p.setFont(big);
    p.setPen(Qt::white);
    p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter, "No positions in this window");
    p.setFont(font());
  }
  // The replay clock, top left: a saved picture says when it shows.
  if (model_ && !IsEmpty(*model_)) {
    const QString clock = QString::fromStdString(ReplayTimeText(time_)) + " UTC";
    const QFontMetricsF metrics(font());
    const QRectF box(10, 10, metrics.horizontalAdvance(clock) + 12, metrics.height() + 6);
    p.fillRect(box, QColor(255, 255, 255, 210));
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, clock);
  }
  // Scale bar, bottom left, at the latitude of the view's middle.
  const double midLat = WorldYToLat(std::clamp(view_.OriginY + size.height() / 2.0 / view_.Scale, 0.0, 1.0));
  const TScaleBar bar = ScaleBarFor(view_.Scale, midLat, 160);
  if (bar.Pixels > 0) {
    const QFontMetricsF metrics(font());
    const double left = 12, base = size.height() - 12;
    const QRectF back(left - 6, base - metrics.height() - 10, bar.Pixels + 12, metrics.height() + 16);
    p.fillRect(back, QColor(255, 255, 255, 190));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(left, base), QPointF(left + bar.Pixels, base));
    p.drawLine(QPointF(left, base - 5), QPointF(left, base));
    p.drawLine(QPointF(left + bar.Pixels, base - 5), QPointF(left + bar.Pixels, base));
    p.drawText(QRectF(left, back.top() + 1, bar.Pixels, metrics.height()), Qt::AlignCenter,
               QString::fromStdString(bar.Text));
  }
  if (tiles_) {
    const QString text = QStringLiteral("© OpenStreetMap contributors");
    const QFontMetricsF metrics(font());
    const QRectF box(size.width() - metrics.horizontalAdvance(text) - 10, size.height() - metrics.height() - 4,
                     metrics.horizontalAdvance(text) + 10, metrics.height() + 4);
    p.fillRect(box, QColor(255, 255, 255, 200));
    p.setPen(Qt::black);
    p.drawText(box, Qt::AlignCenter, text);
  }
}

// ---- input ----

void TMapWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // Until the user moves the map, it keeps showing everything as the window takes shape.
  if (!userMoved_) FitAll();
  Changed();
}

void TMapWidget::mousePressEvent(QMouseEvent* event) {
  const bool measure = event->button() == Qt::RightButton ||
                       (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier));
  if (measure) {
    measuring_ = true;
    pressPos_ = event->position();
    measureFrom_ = EndAt(pressPos_);
    return;
  }
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  dragging_ = false;
  pressPos_ = event->position();
  pressView_ = view_;
}

void TMapWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPointF pos = event->position();
  if (measuring_) {
    const QPointF d = pos - pressPos_;
    if (std::hypot(d.x(), d.y()) > kDragThresholdPx) SetMeasure(measureFrom_, {-1, ScreenToWorld(view_, pos.x(), pos.y())});
  } else if (pressed_ && (event->buttons() & Qt::LeftButton)) {
    const QPointF d = pos - pressPos_;
    if (!dragging_ && std::hypot(d.x(), d.y()) > kDragThresholdPx) dragging_ = true;
    if (dragging_) {
      SetView({pressView_.OriginX - d.x() / view_.Scale, pressView_.OriginY - d.y() / view_.Scale, view_.Scale});
      userMoved_ = true;
      emit ViewMoved();
    }
  }
  const TWorldPoint w = ScreenToWorld(view_, pos.x(), pos.y());
  if (w.Y >= 0 && w.Y <= 1)
    emit CursorMoved(QString::fromStdString(CursorPositionText(WorldYToLat(w.Y), WorldXToLon(w.X))));
  else
    emit CursorMoved(QString());
  if (dragging_ || !model_ || !ships_) return;
  const int64_t hit = HitTest(Frame(), pos.x(), pos.y(), kClickRadiusPx);
  if (hit < 0) {
    QToolTip::hideText();
    return;
  }
  const TMarker& m = frame_.Markers[static_cast<size_t>(hit)];
  const QString speed = m.State.Speed >= 0 ? QString::number(m.State.Speed, 'f', 1) + " kn" : QString("n.a.");
  QToolTip::showText(event->globalPosition().toPoint(),
                     VesselDisplayName(model_->Vessels[m.Vessel]) + "\n" + speed, this);
}

void TMapWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (measuring_) {
    measuring_ = false;
    const QPointF d = event->position() - pressPos_;
    if (std::hypot(d.x(), d.y()) > kDragThresholdPx) {
      SetMeasure(measureFrom_, EndAt(event->position()));  // a vessel at the end is followed
    } else if (measureFrom_.Vessel >= 0 && selected_ >= 0 && measureFrom_.Vessel != selected_) {
      SetMeasure({selected_, {}}, measureFrom_);
    } else {
      ClearMeasure();
    }
    return;
  }
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  if (dragging_) {
    dragging_ = false;
    return;
  }
  const int64_t hit = HitTest(Frame(), event->position().x(), event->position().y(), kClickRadiusPx);
  emit VesselClicked(hit < 0 ? -1 : static_cast<qint64>(frame_.Markers[static_cast<size_t>(hit)].Vessel));
}

void TMapWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  ZoomBy(2.0, event->position());
  userMoved_ = true;
  emit ViewMoved();
}

void TMapWidget::wheelEvent(QWheelEvent* event) {
  const double steps = event->angleDelta().y() / 120.0;
  if (steps == 0) return;
  ZoomBy(std::pow(2.0, steps / 2), event->position());
  userMoved_ = true;
  emit ViewMoved();
  event->accept();
}

}  // namespace pelorin
