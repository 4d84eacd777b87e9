#include "replay/mercator.h"

#include <algorithm>
#include <numbers>

namespace pelorin {

double LonToWorldX(double lon) { return (lon + 180.0) / 360.0; }

double LatToWorldY(double lat) {
  const double clamped = std::clamp(lat, -kMercatorMaxLat, kMercatorMaxLat);
  const double phi = clamped * std::numbers::pi / 180.0;
  return 0.5 - std::log(std::tan(std::numbers::pi / 4 + phi / 2)) / (2 * std::numbers::pi);
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
  last = static_cast<int>(std::floor(view.MaxX - box.MinX));
  return first <= last;
}

}  // namespace pelorin
