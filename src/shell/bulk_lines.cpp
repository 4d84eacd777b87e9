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

// Each point is projected and rounded once; a point on the pixel of the one before adds
// nothing and is passed over.
void DrawBulkPolyline(QImage& image, const TWorldPoint* points, size_t count, const TViewTransform& view,
                      double shift, QRgb colour) {
  const int w = image.width(), h = image.height();
  if (count < 2 || w == 0 || h == 0) return;
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  double px = ScreenX(view, points[0].X + shift), py = ScreenY(view, points[0].Y);
  bool prevNear = Near(px) && Near(py);
  int ipx = prevNear ? Round(px) : 0, ipy = prevNear ? Round(py) : 0;
  for (size_t i = 1; i < count; ++i) {
    const double x = ScreenX(view, points[i].X + shift), y = ScreenY(view, points[i].Y);
    const bool near = Near(x) && Near(y);
    if (near && prevNear) {
      const int ix = Round(x), iy = Round(y);
      if (ix == ipx && iy == ipy) continue;
      if (!((ix < 0 && ipx < 0) || (iy < 0 && ipy < 0) || (ix >= w && ipx >= w) || (iy >= h && ipy >= h)))
        Walk(bits, stride, w, h, ipx, ipy, ix, iy, colour);
      ipx = ix;
      ipy = iy;
    } else {
      double x0 = px, y0 = py, x1 = x, y1 = y;
      if (ClipToBox(x0, y0, x1, y1, w, h)) Walk(bits, stride, w, h, Round(x0), Round(y0), Round(x1), Round(y1), colour);
      if (near) {
        ipx = Round(x);
        ipy = Round(y);
      }
    }
    px = x;
    py = y;
    prevNear = near;
  }
}

}  // namespace pelorin
