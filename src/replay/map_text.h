#pragma once
// Texts and measures around the map: the cursor's position, the replay clock, the scale
// bar and the graticule's spacing.
#include <string>

#include "replay/mercator.h"

namespace pelorin {

// Degrees and decimal minutes: "54°01.234' N 007°58.765' E" (UTF-8). Latitude with two
// degree digits, longitude with three, minutes with three decimals, rounded; 0 is N / E.
std::string CursorPositionText(double lat, double lon);

// Range and true bearing from world point a to b, as the measuring tool shows them:
// "0.42 NM 123°" (UTF-8), the range with two decimals.
std::string RangeBearingText(const TWorldPoint& a, const TWorldPoint& b);

// "YYYY-MM-DD HH:MM:SS" in UTC, the whole second at or before t (seconds since the
// TDateTime epoch).
std::string ReplayTimeText(double t);

// A bar of a round length in nautical miles (1, 2 or 5 times a power of ten) no longer
// than maxPixels at `scale` and latitude `lat`: Text is "2 NM", "0.5 NM", "200 NM".
struct TScaleBar {
  double Nm = 0;
  double Pixels = 0;
  std::string Text;
};
TScaleBar ScaleBarFor(double scale, double lat, double maxPixels);

// Degrees between graticule lines so that neighbouring meridians stand at least minPixels
// apart at `scale`: from 1 minute to 360 degrees (1, 2, 5, 10, 30 minutes; 1, 2, 5, 10, 30, 45, 90, 180, 360
// degrees), in degrees.
double GraticuleStep(double scale, double minPixels);

}  // namespace pelorin
