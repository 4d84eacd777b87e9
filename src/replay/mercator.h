#pragma once
// Web Mercator in world units: the whole world is 1 wide, x = 0 at 180° W growing east,
// y = 0 at the map's north edge (85.0511° N) and 1 at its south edge. A view shows the
// world at `Scale` pixels per world width (256 · 2^zoom, as map tiles count).
#include <cmath>

namespace pelorin {

// Where the square Mercator map ends; positions beyond are drawn on that edge.
inline constexpr double kMercatorMaxLat = 85.0511287798066;

struct TWorldPoint {
  double X = 0;
  double Y = 0;
};

// MinX may lie outside 0..1 and MaxX beyond it: a box across the 180° meridian is one
// box in an x range that leaves the world, never the whole world.
struct TWorldRect {
  double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  bool Valid = false;  // false: nothing in it
};

// Grows `r` to hold (x, y); an invalid rect becomes that point.
void Extend(TWorldRect& r, double x, double y);

// Degrees to world units; latitudes beyond ±kMercatorMaxLat clamped to the map's edge.
double LonToWorldX(double lon);
double LatToWorldY(double lat);
TWorldPoint LatLonToWorld(double lat, double lon);
// World units to degrees; the longitude is brought into -180 <= lon < 180 whatever x is.
double WorldXToLon(double x);
double WorldYToLat(double y);

// screen = (world - origin) * Scale, in pixels, y down.
struct TViewTransform {
  double OriginX = 0;
  double OriginY = 0;
  double Scale = 256;
};

inline double ScreenX(const TViewTransform& v, double worldX) { return (worldX - v.OriginX) * v.Scale; }
inline double ScreenY(const TViewTransform& v, double worldY) { return (worldY - v.OriginY) * v.Scale; }
TWorldPoint ScreenToWorld(const TViewTransform& v, double sx, double sy);
// The world area a widthPx × heightPx view shows.
TWorldRect VisibleWorld(const TViewTransform& v, double widthPx, double heightPx);
// Keeps `world` under the screen point (sx, sy) while the scale becomes `newScale`: the
// wheel zooming around the cursor.
TViewTransform ZoomAround(const TViewTransform& v, double sx, double sy, double newScale);
// The largest scale (at most maxScale) that shows `box` inside the view with marginPx on
// every side, centred. An invalid box gives the whole world.
TViewTransform FitView(const TWorldRect& box, double widthPx, double heightPx, double marginPx, double maxScale);

// Zoomed far out a view shows several copies of the world side by side; more than this
// many are never drawn (a view at a scale near 0 would ask for millions).
inline constexpr int kMaxWorldCopies = 16;

// The whole-world shifts n (box moved by n in x) for which `box` overlaps `view`, at most
// kMaxWorldCopies of them; false when there is none.
bool ShiftRange(const TWorldRect& box, const TWorldRect& view, int& first, int& last);

}  // namespace pelorin
