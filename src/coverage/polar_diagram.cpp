#include "coverage/polar_diagram.h"

#include <cmath>
#include <numbers>

namespace pelorin {

TPolarScale PolarScaleOf(double maxNM) {
  constexpr int kMaxRings = 6;
  TPolarScale scale;
  if (!(maxNM > 0)) return scale;
  double power = std::pow(10.0, std::floor(std::log10(maxNM / kMaxRings)));
  for (;; power *= 10)
    for (double factor : {1.0, 2.0, 5.0}) {
      const double step = factor * power;
      const int rings = static_cast<int>(std::ceil(maxNM / step - 1e-9));
      if (rings <= kMaxRings) return {step, rings * step, rings};
    }
}

TPolarPoint PolarPointOf(double bearingDegrees, double nm, double radiusPx, const TPolarScale& scale) {
  const double r = nm / scale.OuterNM * radiusPx;
  const double a = bearingDegrees * std::numbers::pi / 180;
  return {r * std::sin(a), -r * std::cos(a)};
}

std::vector<TPolarPoint> RangeCurveOf(const TReceptionRange& range, double radiusPx, const TPolarScale& scale) {
  std::vector<TPolarPoint> curve;
  for (int b = 0; b < 360; ++b)
    if (range.Bins[b].Heard) curve.push_back(PolarPointOf(b, range.Bins[b].MaxNM, radiusPx, scale));
  return curve;
}

}  // namespace pelorin
