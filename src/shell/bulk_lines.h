#pragma once
// Millions of short one-pixel segments (every whole track at once) straight into an
// image: QPainter spends about 80 ns on each segment, this about a tenth of that.
#include <QImage>
#include <QPointF>

namespace pelorin {

// A polyline of `count` points, one pixel wide, no antialiasing, opaque `colour`, into a
// 32-bit `image`; what lies outside the image is left out.
void DrawBulkPolyline(QImage& image, const QPointF* points, int count, QRgb colour);

}  // namespace pelorin
