#pragma once
// The pixels a polyline of world points crosses, one pixel wide: what "All tracks" draws
// and what its density map counts. Millions of short segments a frame, so each point is
// projected and rounded once and a point on the pixel of the one before is passed over.
#include <algorithm>
#include <cstddef>
#include <cstdint>
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

inline bool InBox(int x, int y, int w, int h) {
  return static_cast<unsigned>(x) < static_cast<unsigned>(w) && static_cast<unsigned>(y) < static_cast<unsigned>(h);
}

// Bresenham's line with one end or both beyond the w × h image, in closed form: pixel i
// lies i steps along the longer axis and floor((2 i a + d) / 2 d) across it (d, a: the
// longer and the shorter extent), so only the steps inside are walked (zoomed in, most
// of a track's pixels lie beyond the image). The pixels are those of the plain walk.
template <typename F>
[[gnu::noinline]] void WalkClipped(int w, int h, int x0, int y0, int x1, int y1, F& f, bool skipFirst) {
  const bool xMajor = std::abs(x1 - x0) >= std::abs(y1 - y0);
  const int64_t along0 = xMajor ? x0 : y0, across0 = xMajor ? y0 : x0;
  const int64_t d = std::abs(xMajor ? x1 - x0 : y1 - y0), a = std::abs(xMajor ? y1 - y0 : x1 - x0);
  const int sAlong = (xMajor ? x1 > x0 : y1 > y0) ? 1 : -1, sAcross = (xMajor ? y1 > y0 : x1 > x0) ? 1 : -1;
  const int64_t alongSize = xMajor ? w : h, acrossSize = xMajor ? h : w;
  int64_t lo = skipFirst ? 1 : 0, hi = d;
  lo = std::max(lo, sAlong > 0 ? -along0 : along0 - alongSize + 1);
  hi = std::min(hi, sAlong > 0 ? alongSize - 1 - along0 : along0);
  // The steps across that stay inside, and the pixels i that take them.
  const int64_t first = std::max<int64_t>(0, sAcross > 0 ? -across0 : across0 - acrossSize + 1);
  const int64_t last = sAcross > 0 ? acrossSize - 1 - across0 : across0;
  if (last < first || (a == 0 && first > 0)) return;
  if (a > 0) {
    if (first > 0) lo = std::max(lo, ((2 * first - 1) * d + 2 * a - 1) / (2 * a));
    hi = std::min(hi, ((2 * last + 1) * d + 2 * a - 1) / (2 * a) - 1);
  }
  if (lo > hi) return;
  int64_t rest = 2 * lo * a + d;
  const int64_t across = rest / (2 * d);
  rest -= across * 2 * d;
  int64_t along = along0 + lo * sAlong, at = across0 + across * sAcross;
  for (int64_t i = lo; i <= hi; ++i) {
    if (xMajor)
      f(static_cast<int>(along), static_cast<int>(at));
    else
      f(static_cast<int>(at), static_cast<int>(along));
    along += sAlong;
    rest += 2 * a;
    if (rest >= 2 * d) rest -= 2 * d, at += sAcross;
  }
}

// `skipFirst`: the first pixel was given already, as the end of the segment before.
template <typename F>
void Walk(int w, int h, int x0, int y0, int x1, int y1, F& f, bool skipFirst = false) {
  if (!InBox(x0, y0, w, h) || !InBox(x1, y1, w, h)) {
    if (x0 != x1 || y0 != y1) WalkClipped(w, h, x0, y0, x1, y1, f, skipFirst);
    return;
  }
  const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    if (!skipFirst) f(x0, y0);
    skipFirst = false;
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) err += dy, x0 += sx;
    if (e2 <= dx) err += dx, y0 += sy;
  }
}

}  // namespace pixel_walk

// Draws one pixel wide into a w × h image with f(x, y), a polyline at a time in screen
// coordinates: MoveTo starts one (its pixel is drawn, so that a track that never leaves
// one pixel still shows), LineTo continues it. A pixel where two segments meet mostly
// comes once.
template <typename F>
struct TPixelPen {
  int W = 0, H = 0;
  F& Fn;
  double Px = 0, Py = 0;
  bool PrevNear = false;
  int Ipx = 0, Ipy = 0;
  bool Given = false;  // (Ipx, Ipy) was given to Fn, when it lies in the image

  TPixelPen(int w, int h, F& f) : W(w), H(h), Fn(f) {}
  bool Inside(int x, int y) const { return pixel_walk::InBox(x, y, W, H); }
  // On to (x, y) without drawing, from a stretch that lies wholly beyond the image by
  // more than a pixel.
  void Jump(double x, double y) {
    using namespace pixel_walk;
    Px = x;
    Py = y;
    PrevNear = Near(x) && Near(y);
    Ipx = PrevNear ? Round(x) : 0;
    Ipy = PrevNear ? Round(y) : 0;
    Given = true;  // (Ipx, Ipy) lies beyond the image
  }
  void MoveTo(double x, double y) {
    Jump(x, y);
    if (PrevNear && Inside(Ipx, Ipy)) Fn(Ipx, Ipy);
    Given = PrevNear;
  }
  // kNear: the caller knows that every point is Near (a whole track in view).
  template <bool kNear = false>
  void LineTo(double x, double y) {
    using namespace pixel_walk;
    const bool near = kNear || (Near(x) && Near(y));
    if (kNear || (near && PrevNear)) {
      const int ix = Round(x), iy = Round(y);
      if (ix == Ipx && iy == Ipy) return;
      const unsigned stepX = static_cast<unsigned>(ix - Ipx + 1), stepY = static_cast<unsigned>(iy - Ipy + 1);
      if (Given && stepX <= 2 && stepY <= 2) {
        // Most points of a dense track are a pixel from the one before.
        if (Inside(ix, iy)) Fn(ix, iy);
      } else if (!((ix < 0 && Ipx < 0) || (iy < 0 && Ipy < 0) || (ix >= W && Ipx >= W) || (iy >= H && Ipy >= H))) {
        Walk(W, H, Ipx, Ipy, ix, iy, Fn, Given);
      }
      Ipx = ix;
      Ipy = iy;
      Given = true;
    } else {
      double x0 = Px, y0 = Py, x1 = x, y1 = y;
      if (ClipToBox(x0, y0, x1, y1, W, H)) Walk(W, H, Round(x0), Round(y0), Round(x1), Round(y1), Fn);
      if (near) {
        Ipx = Round(x);
        Ipy = Round(y);
      }
      Given = false;  // the clipped end may round to a neighbour
    }
    Px = x;
    Py = y;
    PrevNear = near;
  }
};

// f(x, y) for every pixel of a w × h image that the polyline (shifted by `shift` whole
// worlds, seen through `view`) crosses.
template <typename F>
void ForEachPolylinePixel(const TWorldPoint* points, size_t count, const TViewTransform& view, double shift, int w,
                          int h, F&& f) {
  if (count < 2 || w == 0 || h == 0) return;
  TPixelPen<F> pen(w, h, f);
  pen.MoveTo(ScreenX(view, points[0].X + shift), ScreenY(view, points[0].Y));
  for (size_t i = 1; i < count; ++i) pen.LineTo(ScreenX(view, points[i].X + shift), ScreenY(view, points[i].Y));
}

}  // namespace pelorin
