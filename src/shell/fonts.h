#pragma once
// The windows' fonts: Tahoma where the desktop has it, else the desktop's own sans serif
// face, sized in pixels so that the fixed geometry holds at any screen resolution.
#include <QFont>

namespace pelorin {

// Tahoma 8 pt on the screens the windows were laid out for: 11 pixels.
QFont BaseFont();
// `base` at `pixels`, bold or not.
QFont PixelFont(const QFont& base, int pixels, bool bold = false);

}  // namespace pelorin
