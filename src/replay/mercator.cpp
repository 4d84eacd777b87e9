#include "replay/mercator.h"

#include <algorithm>
#include <numbers>

namespace pelorin {

void Extend(TWorldRect& r, double x, double y) {
  if (!r.Valid) {
    r = {x, y, x, y, true};
    return;
  }
  r.MinX = std::min(r.MinX, x);
  r.MaxX = std::max(r.MaxX, x);
  r.MinY = std::min(r.MinY, y);
  r.MaxY = std::max(r.MaxY, y);
}

double LonToWorldX(double lon) { return (lon + 180.0) / 360.0; }

namespace {

// The Mercator ordinate ln(tan(pi/4 + phi/2)) costs a tangent and a logarithm, a sixth of
// building the model of a long log. A table of it and its slope every 1/64 degree with
// cubic Hermite interpolation between is exact to 1e-12 of the world (a micrometre).
constexpr int kStepsPerDegree = 64;
constexpr int kTableDegrees = 86;  // beyond the clamp
constexpr int kNodes = 2 * kTableDegrees * kStepsPerDegree + 1;

struct TOrdinateTable {
  double Value[kNodes];
  double Slope[kNodes];  // per step
  TOrdinateTable() {
    for (int i = 0; i < kNodes; ++i) {
      const double phi = (static_cast<double>(i) / kStepsPerDegree - kTableDegrees) * std::numbers::pi / 180;
      Value[i] = std::log(std::tan(std::numbers::pi / 4 + phi / 2));
      Slope[i] = std::numbers::pi / 180 / kStepsPerDegree / std::cos(phi);
    }
  }
};

double MercatorOrdinate(double lat) {
  static const TOrdinateTable table;
  const double at = (lat + kTableDegrees) * kStepsPerDegree;
  const int i = std::min(static_cast<int>(at), kNodes - 2);
  const double t = at - i;
  const double t2 = t * t, t3 = t2 * t;
  return (2 * t3 - 3 * t2 + 1) * table.Value[i] + (t3 - 2 * t2 + t) * table.Slope[i] +
         (3 * t2 - 2 * t3) * table.Value[i + 1] + (t3 - t2) * table.Slope[i + 1];
}

}  // namespace

double LatToWorldY(double lat) {
  const double clamped = std::clamp(lat, -kMercatorMaxLat, kMercatorMaxLat);
  return 0.5 - MercatorOrdinate(clamped) / (2 * std::numbers::pi);
}

TWorldPoint LatLonToWorld(double lat, double lon) { return {LonToWorldX(lon), LatToWorldY(lat)}; }

double WorldXToLon(double x) {
  const double wrapped = x - std::floor(x);
  return wrapped * 360.0 - 180.0;
}

double WorldYToLat(double y) {
  const double n = std::numbers::pi * (1 - 2 * y);
  return std::atan(std::sinh(n)) * 180.0 / std::numbers::pi;
}

TWorldPoint ScreenToWorld(const TViewTransform& v, double sx, double sy) {
  return {v.OriginX + sx / v.Scale, v.OriginY + sy / v.Scale};
}

TWorldRect VisibleWorld(const TViewTransform& v, double widthPx, double heightPx) {
  return {v.OriginX, v.OriginY, v.OriginX + widthPx / v.Scale, v.OriginY + heightPx / v.Scale, true};
}

TViewTransform ZoomAround(const TViewTransform& v, double sx, double sy, double newScale) {
  const TWorldPoint under = ScreenToWorld(v, sx, sy);
  return {under.X - sx / newScale, under.Y - sy / newScale, newScale};
}

TViewTransform FitView(const TWorldRect& box, double widthPx, double heightPx, double marginPx, double maxScale) {
  const TWorldRect world{0, 0, 1, 1, true};
  const TWorldRect& b = box.Valid ? box : world;
  const double w = std::max(widthPx - 2 * marginPx, 1.0);
  const double h = std::max(heightPx - 2 * marginPx, 1.0);
  const double spanX = b.MaxX - b.MinX;
  const double spanY = b.MaxY - b.MinY;
  double scale = maxScale;
  if (spanX > 0) scale = std::min(scale, w / spanX);
  if (spanY > 0) scale = std::min(scale, h / spanY);
  const double cx = (b.MinX + b.MaxX) / 2;
  const double cy = (b.MinY + b.MaxY) / 2;
  return {cx - widthPx / 2 / scale, cy - heightPx / 2 / scale, scale};
}

bool ShiftRange(const TWorldRect& box, const TWorldRect& view, int& first, int& last) {
  if (!box.Valid || !view.Valid || box.MaxY < view.MinY || box.MinY > view.MaxY) return false;
  // box.MinX + n <= view.MaxX and box.MaxX + n >= view.MinX
  first = static_cast<int>(std::ceil(view.MinX - box.MaxX));
  last = std::min(static_cast<int>(std::floor(view.MaxX - box.MinX)), first + kMaxWorldCopies - 1);
  return first <= last;
}

}  // namespace pelorin
