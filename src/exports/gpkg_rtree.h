#pragma once
// The spatial index of a GeoPackage point layer, packed at once. SQLite's R-tree takes
// some 10 µs to insert each of a day's 3.5 million points one by one (GDAL's way);
// packing them sort-tile-recursive and writing the nodes takes a second.
#include <cstdint>
#include <string>
#include <vector>

#include "exports/export_file.h"

namespace pelorin {

// One cell of the tree: a feature's fid (in an inner node, a child's node number) and its
// box, in floats as SQLite keeps them.
struct TRtreeCell {
  int64_t Id = 0;
  float MinX = 0, MaxX = 0, MinY = 0, MaxY = 0;
};
// A point's cell: floats rounded outwards, so that the box holds the point.
TRtreeCell PointCell(int64_t id, double x, double y);

// Creates rtree_<table>_<column> as the GeoPackage's R-tree extension defines it (the
// table, its triggers and its gpkg_extensions row) in the closed GeoPackage at `path`, and
// fills it with `cells` (reordered). Throws TExportError naming `target`.
// The window is pumped and the stop key read as it goes.
void WritePointRtree(const std::string& path, const std::string& target, const std::string& table,
                     const std::string& column, std::vector<TRtreeCell>& cells, TExportProgress& progress);

}  // namespace pelorin
