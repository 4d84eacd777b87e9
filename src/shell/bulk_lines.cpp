#include "shell/bulk_lines.h"

#include "replay/pixel_walk.h"

namespace pelorin {

void DrawBulkPolyline(QImage& image, const TWorldPoint* points, size_t count, const TViewTransform& view,
                      double shift, QRgb colour) {
  uchar* bits = image.bits();
  const qsizetype stride = image.bytesPerLine();
  ForEachPolylinePixel(points, count, view, shift, image.width(), image.height(),
                       [&](int x, int y) { reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour; });
}

}  // namespace pelorin
