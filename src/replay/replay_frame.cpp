#include "replay/replay_frame.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

void ComputeFrame(const TReplayModel& model, double t, const TViewTransform& view, double widthPx, double heightPx,
                  double marginPx, TFrame& out) {
  out.Markers.clear();
  const double margin = marginPx / view.Scale;
  const TWorldRect seen = VisibleWorld(view, widthPx, heightPx);
  const double offset = t - static_cast<double>(model.BaseSeconds);
  for (uint32_t i = 0; i < model.Vessels.size(); ++i) {
    const TReplayVessel& v = model.Vessels[i];
    // Most vessels of a long log are not under way at t: skip them before the bisection.
    if (offset < model.Points[v.First].Time ||
        offset >= model.Points[v.First + v.Count - 1].Time + kHoldSeconds + kFadeSeconds)
      continue;
    if (v.Box.MaxY < seen.MinY - margin || v.Box.MinY > seen.MaxY + margin) continue;
    const TVesselState state = VesselAt(model, i, t);
    if (!state.Visible) continue;
    const double y = state.Position.Y;
    if (y < seen.MinY - margin || y > seen.MaxY + margin) continue;
    const double x = state.Position.X;
    const double first = std::ceil(seen.MinX - margin - x);
    const double last = std::min(std::floor(seen.MaxX + margin - x), first + kMaxWorldCopies - 1);
    for (double shift = first; shift <= last; ++shift) {
      TMarker& m = out.Markers.emplace_back();
      m.Vessel = i;
      m.X = static_cast<float>(ScreenX(view, x + shift));
      m.Y = static_cast<float>(ScreenY(view, y));
      m.Shift = shift;
      m.State = state;
    }
  }
}

int64_t HitTest(const TFrame& frame, double sx, double sy, double radiusPx) {
  int64_t best = -1;
  double bestDistance = radiusPx * radiusPx;
  for (size_t i = 0; i < frame.Markers.size(); ++i) {
    const double dx = frame.Markers[i].X - sx;
    const double dy = frame.Markers[i].Y - sy;
    const double d = dx * dx + dy * dy;
    // Later markers are drawn on top, so they win a tie.
    if (d <= bestDistance) {
      bestDistance = d;
      best = static_cast<int64_t>(i);
    }
  }
  return best;
}

}  // namespace pelorin
