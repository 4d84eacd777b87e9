#include "shell/bulk_lines.h"

#include <cstdlib>

namespace pelorin {

namespace {

// Beyond this a segment is clipped to the image first, so that the walk stays short.
constexpr double kFarPx = 16384;

bool ClipToBox(double& x0, double& y0, double& x1, double& y1, double w, double h) {
  // Liang–Barsky against [-1, w] × [-1, h].
  const double dx = x1 - x0, dy = y1 - y0;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 + 1, w - x0, y0 + 1, h - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return false;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return false;
      if (t < t1) t1 = t;
    }
  }
  x1 = x0 + t1 * dx;
  y1 = y0 + t1 * dy;
  x0 = x0 + t0 * dx;
  y0 = y0 + t0 * dy;
  return true;
}

}  // namespace

namespace {

// Rounds a coordinate within ±kFarPx without a library call (the walk is short; the
// rounding of each point would otherwise cost as much as the walk).
inline int Round(double v) { return static_cast<int>(v + (kFarPx + 0.5)) - static_cast<int>(kFarPx); }

inline bool Near(double v) { return v > -kFarPx && v < kFarPx; }

void Walk(uchar* bits, qsizetype stride, int w, int h, int x0, int y0, int x1, int y1, QRgb colour) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (static_cast<unsigned>(x0) < static_cast<unsigned>(w) && static_cast<unsigned>(y0) < static_cast<unsigned>(h))
      reinterpret_cast<QRgb*>(bits + y0 * stride)[x0] = colour;
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

}  // namespace

void DrawBulkPolyline(QImage& image, const QPointF* points, int count, QRgb colour) {
  const int w = image.width(), h = image.height();
  if (count < 2 || w == 0 || h == 0) return;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  for (int i = 1; i < count; ++i) {
    double fx0 = points[i - 1].x(), fy0 = points[i - 1].y(), fx1 = points[i].x(), fy1 = points[i].y();
    if ((fx0 < 0 && fx1 < 0) || (fy0 < 0 && fy1 < 0) || (fx0 >= w && fx1 >= w) || (fy0 >= h && fy1 >= h)) continue;
    if (!Near(fx0) || !Near(fy0) || !Near(fx1) || !Near(fy1)) {
      if (!ClipToBox(fx0, fy0, fx1, fy1, w, h)) continue;
    }
    Walk(bits, stride, w, h, Round(fx0), Round(fy0), Round(fx1), Round(fy1), colour);
  }
}

}  // namespace pelorin
