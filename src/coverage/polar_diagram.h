#pragma once
// The polar diagram's geometry, in pixels from its centre: north up, bearings clockwise,
// distance in proportion to the radius, rings at round steps of NM.
#include <vector>

#include "coverage/reception_range.h"

namespace pelorin {

struct TPolarScale {
  double StepNM = 1;   // between rings
  double OuterNM = 1;  // the outermost ring, at the full radius
  int Rings = 1;
};
// Rings of 1, 2 or 5 times a power of ten, at most six, the outermost at or beyond `maxNM`.
TPolarScale PolarScaleOf(double maxNM);

struct TPolarPoint {
  double X = 0, Y = 0;  // right and down from the centre
};
TPolarPoint PolarPointOf(double bearingDegrees, double nm, double radiusPx, const TPolarScale& scale);

// The closed curve through the heard bins in bearing order (the bins not heard are
// bridged); empty when nothing was heard.
std::vector<TPolarPoint> RangeCurveOf(const TReceptionRange& range, double radiusPx, const TPolarScale& scale);

}  // namespace pelorin
