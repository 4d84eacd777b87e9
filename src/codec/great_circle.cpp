#include "codec/great_circle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {

constexpr double kRad = std::numbers::pi / 180.0;

}  // namespace

double DistanceNM(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRad, p2 = lat2 * kRad;
  const double dp = p2 - p1, dl = (lon2 - lon1) * kRad;
  const double h = std::sin(dp / 2) * std::sin(dp / 2) + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * kEarthRadiusNM * std::asin(std::min(1.0, std::sqrt(h)));
}

int BearingDegrees(double lat1, double lon1, double lat2, double lon2) {
  const double p1 = lat1 * kRad, p2 = lat2 * kRad, dl = (lon2 - lon1) * kRad;
  const double y = std::sin(dl) * std::cos(p2);
  const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
  const int degrees = static_cast<int>(std::lround(std::atan2(y, x) / kRad));
  return ((degrees % 360) + 360) % 360;
}

}  // namespace pelorin
