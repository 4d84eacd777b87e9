#pragma once
// The offline base map: land polygons from a Natural Earth ".pn2" file as Marble ships it
// (Debian package marble-qt-data), projected into world units once, ready to be drawn.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "replay/mercator.h"

namespace pelorin {

inline constexpr std::string_view kDefaultLandFile = "/usr/share/marble/data/naturalearth/ne_50m_land.pn2";

struct TLandRing {
  uint32_t First = 0;    // its points are Points[First, First + Count)
  uint32_t Count = 0;
  bool Closed = true;    // a ring of a polygon; false: an open line
  TWorldRect Box;
};

// Rings of land and of holes (lakes) alike: filled with the odd-even rule they give the
// land, since no two land polygons overlap.
struct TLandMap {
  std::vector<TWorldPoint> Points;
  std::vector<TLandRing> Rings;
};

// Empty text on success. Otherwise one sentence for the status bar naming the file and
// what is wrong (missing, unreadable, truncated, damaged), and `out` left empty. Never
// reads outside the file's bytes.
std::string ReadLandFile(const std::string& path, TLandMap& out);

}  // namespace pelorin
