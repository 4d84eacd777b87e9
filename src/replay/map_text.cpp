#include "replay/map_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "codec/great_circle.h"
#include "codec/tdatetime.h"

namespace pelorin {

namespace {

// Rounded to thousandths of a minute first, so 59.9999' becomes the next whole degree.
int AppendDegreesMinutes(char* out, size_t room, double value, int degreeDigits, char positive, char negative) {
  const int64_t thousandths = std::llround(std::fabs(value) * 60000);
  const char hemisphere = value < 0 && thousandths != 0 ? negative : positive;
  return std::snprintf(out, room, "%0*lld\u00B0%02lld.%03lld' %c", degreeDigits,
                       static_cast<long long>(thousandths / 60000), static_cast<long long>(thousandths / 1000 % 60),
                       static_cast<long long>(thousandths % 1000), hemisphere);
}

}  // namespace

std::string CursorPositionText(double lat, double lon) {
  if (!std::isfinite(lat) || !std::isfinite(lon)) return {};
  lat = std::clamp(lat, -90.0, 90.0);
  lon = WorldXToLon(LonToWorldX(lon));
  char text[64];
  int n = AppendDegreesMinutes(text, sizeof text, lat, 2, 'N', 'S');
  text[n++] = ' ';
  n += AppendDegreesMinutes(text + n, sizeof text - static_cast<size_t>(n), lon, 3, 'E', 'W');
  return std::string(text, static_cast<size_t>(n));
}

std::string RangeBearingText(const TWorldPoint& a, const TWorldPoint& b) {
  const double latA = WorldYToLat(a.Y), lonA = WorldXToLon(a.X), latB = WorldYToLat(b.Y), lonB = WorldXToLon(b.X);
  char text[48];
  std::snprintf(text, sizeof text, "%.2f NM %03d\u00b0", DistanceNM(latA, lonA, latB, lonB),
                BearingDegrees(latA, lonA, latB, lonB));
  return text;
}

std::string ReplayTimeText(double t) {
  const TDateParts d = DecodeDateTime(SecondsToTDateTime(static_cast<int64_t>(std::floor(t))));
  char text[32];
  const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.Year, d.Month, d.Day, d.Hour,
                              d.Minute, d.Second);
  return std::string(text, static_cast<size_t>(n));
}

TScaleBar ScaleBarFor(double scale, double lat, double maxPixels) {
  constexpr double kEquatorMetres = 40075016.686;
  const double nmPerPixel = kEquatorMetres * std::cos(std::clamp(lat, -kMercatorMaxLat, kMercatorMaxLat) *
                                                      std::numbers::pi / 180) / scale / 1852.0;
  TScaleBar bar;
  const double longest = maxPixels * nmPerPixel;
  for (int exponent = 4; exponent >= -4 && bar.Nm == 0; --exponent) {
    for (const int step : {5, 2, 1}) {
      const double nm = step * std::pow(10.0, exponent);
      if (nm > longest) continue;
      bar.Nm = nm;
      bar.Pixels = nm / nmPerPixel;
      char text[32];
      const int n = std::snprintf(text, sizeof text, "%.*f NM", std::max(0, -exponent), nm);
      bar.Text.assign(text, static_cast<size_t>(n));
      break;
    }
  }
  return bar;
}

double GraticuleStep(double scale, double minPixels) {
  static constexpr std::array<double, 14> kSteps = {
      1.0 / 60, 2.0 / 60, 5.0 / 60, 10.0 / 60, 0.5, 1, 2, 5, 10, 30, 45, 90, 180, 360};
  for (const double step : kSteps)
    if (step / 360 * scale >= minPixels) return step;
  return kSteps.back();
}

}  // namespace pelorin
