#pragma once
// The Track Replay window's map: Web Mercator, the offline base map (sea, land,
// graticule) with optional online tiles over it, the vessels at the replay time with
// their trails, the selected vessel's track, names, the scale bar. Drag pans, the wheel
// zooms around the cursor, a double-click zooms in, a click selects; Shift + drag or the
// right button measures range and bearing, and a Shift or right click on a vessel measures
// from the selected one to it.
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include <QImage>
#include <QPointF>
#include <QWidget>

#include "codec/ais_records.h"
#include "replay/density_job.h"
#include "replay/density_map.h"
#include "replay/land_file.h"
#include "replay/mercator.h"
#include "replay/replay_frame.h"
#include "replay/replay_model.h"
#include "replay/replay_trails.h"

namespace pelorin {

class TTileSource;

inline constexpr double kMinMapScale = 128;                   // the world in half a tile
inline constexpr double kMaxMapScale = 256.0 * (1 << 19);     // tile zoom 19
inline constexpr double kClickRadiusPx = 8;

class TMapWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TMapWidget(QWidget* parent = nullptr);
  ~TMapWidget() override;

  // The model, and the table its points came from (names, speeds for the tooltip). Null:
  // nothing to show. Both outlive their use here; a new model resets the decimation.
  void SetModel(const TReplayModel* model, const TShipList* ships);
  void SetLand(const TLandMap* land);   // null: sea and graticule only
  void SetTiles(TTileSource* tiles);    // null: offline map only
  void SetTime(double t);
  void SetTrail(TTrailKind kind);
  void SetAllTracks(bool on);
  // "All tracks" as a density map instead of lines.
  void SetDensity(bool on);
  void SetColourByType(bool on);
  void SetSelected(int64_t vessel);     // index in the model's vessels; -1 none
  int64_t Selected() const { return selected_; }

  // The measuring line: each end a vessel (where it is at the replay time) or a place.
  struct TMeasureEnd {
    int64_t Vessel = -1;  // index in the model's vessels; -1: the place World
    TWorldPoint World;
  };
  void SetMeasure(const TMeasureEnd& from, const TMeasureEnd& to);
  void ClearMeasure();
  // "0.42 NM 123°" from the first end to the second now; empty without a line (or while a
  // vessel at an end is not shown).
  QString MeasureText() const;

  // The reception range's outline: the farthest positions heard, in order of bearing
  // (world points); empty: none.
  void SetRangeOutline(std::vector<TWorldPoint> outline);

  // Shows every position of the model (the whole world when there is none).
  void FitAll();
  void CenterOn(const TWorldPoint& world);
  void ZoomBy(double factor, QPointF around);
  // The +/- keys: around the middle, as the user's own move.
  void ZoomBy(double factor) {
    ZoomBy(factor, QPointF(width() / 2.0, height() / 2.0));
    userMoved_ = true;
  }
  const TViewTransform& View() const { return view_; }
  void SetView(const TViewTransform& view);

  // The markers at the current time in the current view (computed when needed).
  const TFrame& Frame() { return FrameFor(size()); }
  // Draws the map as paintEvent does, into a painter of `size` pixels.
  void Render(QPainter& p, QSize size);
  // The map as it is shown (clock, scale bar, legend, attribution), with `ratio` times the
  // pixels each way.
  QImage Picture(double ratio);
  // The window never waits for a new density count, it shows the counts it has until then;
  // a capture of the window calls this first, to show the counts of its view.
  void FinishDensity();

 signals:
  void VesselClicked(qint64 vessel);  // -1: a click beside every vessel
  void CursorMoved(const QString& position);
  void ViewMoved();                    // by the user (drag, wheel, keys)

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  struct TStaticKey {
    TViewTransform View;
    QSize Size;
    bool AllTracks = false, ByType = false, Density = false;
    uint64_t TileGeneration = 0;
    double Ratio = 1;
    bool operator==(const TStaticKey& o) const;
  };

  const TFrame& FrameFor(QSize size);
  void RenderStatic(QSize size);
  void DrawLand(QPainter& p, const TWorldRect& visible);
  void DrawTiles(QPainter& p, const TWorldRect& visible, QSize size);
  void DrawGraticule(QPainter& p, const TWorldRect& visible, QSize size);
  void DrawAllTracks(QImage& image, const TWorldRect& visible);
  void DrawDensity(QImage& image, const TWorldRect& visible);
  void DrawDensityGrid(QImage& image, const TViewTransform& view);
  void StartDensityCount(const TViewTransform& view, int width, int height);
  bool TakeDensityJob();
  void StopDensityCount();  // and forgets it
  void DrawOwnTrack(QImage& image, const TWorldRect& visible);
  void DrawDensityLegend(QPainter& p, QSize size);
  void DrawTrails(QPainter& p);
  void DrawSelectedTrack(QPainter& p, const TWorldRect& visible);
  void DrawMarkers(QPainter& p);
  const QImage& MarkerSprite(QRgb colour, bool arrow, int courseStep, bool selected, bool own);
  void DrawNames(QPainter& p, QSize size);
  const QImage& NameLabel(uint32_t vessel);
  void DrawOverlays(QPainter& p, QSize size);
  void DrawMeasure(QPainter& p);
  void DrawRangeOutline(QPainter& p, const TWorldRect& visible);
  bool MeasureEnds(TWorldPoint& from, TWorldPoint& to) const;
  TMeasureEnd EndAt(QPointF pos);
  void DrawRuns(QPainter& p, const TPolylines& lines, size_t firstRun, size_t endRun, double shift);
  QColor ColourOf(uint32_t vessel) const;
  void Changed();  // view or settings: the frame and static layers are recomputed
  // The view in the static layer's own pixels (more of them in a picture at twice the size).
  TViewTransform PixelView() const { return {view_.OriginX, view_.OriginY, view_.Scale * ratio_}; }

  const TReplayModel* model_ = nullptr;
  const TShipList* ships_ = nullptr;
  const TLandMap* land_ = nullptr;
  TTileSource* tiles_ = nullptr;
  TDecimationCache decimation_;
  TViewTransform view_;
  double time_ = 0;
  TTrailKind trail_ = TTrailKind::TenMinutes;
  bool allTracks_ = false;
  bool density_ = false;
  double ratio_ = 1;  // the static layer's pixels per widget pixel
  // The counts over the view and a margin around it, at one scale: panning within it, and
  // every change that keeps the view, redraws no track.
  TDensityGrid densityGrid_;
  TViewTransform densityView_;  // the grid's pixel (0, 0) and its scale
  bool densityValid_ = false;
  std::vector<uint32_t> densityColours_;  // by count
  std::unique_ptr<TDensityJob> densityJob_;  // the counts of a new view, while they are made
  uint64_t densityGeneration_ = 0;           // of the last job started
  bool waitForDensity_ = false;              // a picture: the counts are made before it is drawn
  bool byType_ = false;
  int64_t selected_ = -1;
  bool userMoved_ = false;

  TFrame frame_;
  bool frameValid_ = false;
  QSize frameSize_;
  QImage static_;
  TStaticKey staticKey_;
  bool staticValid_ = false;
  uint64_t tileGeneration_ = 0;

  TPolylines lines_;                 // reused per frame
  std::vector<QPointF> screen_;      // reused per polyline
  std::vector<QRectF> placedNames_;  // reused per frame
  std::unordered_map<uint64_t, QImage> sprites_;
  std::unordered_map<uint32_t, QImage> nameLabels_;  // of the vessels named so far

  std::vector<TWorldPoint> rangeOutline_;
  bool hasMeasure_ = false;
  bool measuring_ = false;  // Shift + drag or the right button, while held
  TMeasureEnd measureFrom_, measureTo_;

  QPointF pressPos_;
  TViewTransform pressView_;
  bool pressed_ = false;
  bool dragging_ = false;
};

}  // namespace pelorin
