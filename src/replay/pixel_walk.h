#pragma once
// The pixels a polyline of world points crosses, one pixel wide: what "All tracks" draws
// and what its density map counts. Millions of short segments a frame, so each point is
// projected and rounded once and a point on the pixel of the one before is passed over.
#include <cstddef>
#include <cstdlib>

#include "replay/mercator.h"

namespace pelorin {

namespace pixel_walk {

// Beyond this a segment is clipped to the image first, so that the walk stays short.
inline constexpr double kFarPx = 16384;

// Liang–Barsky against [-1, w] × [-1, h]; false when the segment misses it.
bool ClipToBox(double& x0, double& y0, double& x1, double& y1, double w, double h);

// Rounds a coordinate within ±kFarPx without a library call (the rounding of each point
// would otherwise cost as much as the walk).
inline int Round(double v) { return static_cast<int>(v + (kFarPx + 0.5)) - static_cast<int>(kFarPx); }
inline bool Near(double v) { return v > -kFarPx && v < kFarPx; }

template <typename F>
void Walk(int w, int h, int x0, int y0, int x1, int y1, F& f) {
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (static_cast<unsigned>(x0) < static_cast<unsigned>(w) && static_cast<unsigned>(y0) < static_cast<unsigned>(h))
      f(x0, y0);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

}  // namespace pixel_walk

// f(x, y) for every pixel of a w × h image that the polyline (shifted by `shift` whole
// worlds, seen through `view`) crosses; where two segments meet, their pixel comes twice.
template <typename F>
void ForEachPolylinePixel(const TWorldPoint* points, size_t count, const TViewTransform& view, double shift, int w,
                          int h, F&& f) {
  using namespace pixel_walk;
  if (count < 2 || w == 0 || h == 0) return;
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
        Walk(w, h, ipx, ipy, ix, iy, f);
      ipx = ix;
      ipy = iy;
    } else {
      double x0 = px, y0 = py, x1 = x, y1 = y;
      if (ClipToBox(x0, y0, x1, y1, w, h)) Walk(w, h, Round(x0), Round(y0), Round(x1), Round(y1), f);
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
