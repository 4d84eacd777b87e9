#include "codec/placed_points.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "codec/point_texts.h"
#include "codec/vessel_rules.h"

namespace pelorin {

namespace {

double FixDegrees(const std::string& text) { return std::strtod(text.c_str(), nullptr); }

}  // namespace

void PlacedPointsOf(const TTrack& track, TPlacedPoints& out) {
  out.clear();
  bool ordered = true;
  uint32_t index = 0;
  for (const TDynamic& point : track) {
    if (!HasValidPosition(track, point)) {
      ++index;
      continue;
    }
    TPlacedPoint p{&point, PointSeconds(track, point), LonDegrees(point), LatDegrees(point), false, index++};
    if (const TPointExtra* fix = point.MsgType == kOwnShipFix ? track.ExtraOf(point) : nullptr) {
      p.Lon = FixDegrees(fix->Lon);
      p.Lat = FixDegrees(fix->Lat);
    }
    ordered = ordered && (out.empty() || out.back().Seconds <= p.Seconds);
    out.push_back(p);
  }
  // Logs of two receivers, or a card's files out of order, can store a time before the last.
  if (!ordered)
    std::stable_sort(out.begin(), out.end(),
                     [](const TPlacedPoint& a, const TPlacedPoint& b) { return a.Seconds < b.Seconds; });
  for (size_t k = 0; k < out.size(); ++k)
    out[k].StartsStretch = k == 0 || out[k].Seconds - out[k - 1].Seconds > kStretchGapSeconds;
}

}  // namespace pelorin
