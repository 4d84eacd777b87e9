#pragma once
// Millions of short one-pixel segments (every whole track at once) straight into an
// image: QPainter spends about 80 ns on each segment, this about a tenth of that.
#include <cstddef>

#include <QImage>

#include "replay/mercator.h"

namespace pelorin {

// A polyline of `count` world points, shifted by `shift` whole worlds and seen through
// `view`, one pixel wide, no antialiasing, opaque `colour`, into a 32-bit `image`; what
// lies outside the image is left out.
void DrawBulkPolyline(QImage& image, const TWorldPoint* points, size_t count, const TViewTransform& view,
                      double shift, QRgb colour);

}  // namespace pelorin
