#include "replay/pixel_walk.h"

namespace pelorin::pixel_walk {

bool ClipToBox(double& x0, double& y0, double& x1, double& y1, double w, double h) {
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

}  // namespace pelorin::pixel_walk
