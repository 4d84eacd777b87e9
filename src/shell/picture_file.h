#pragma once
// "Save Picture…" of the windows: where to write (the caller's chooser, or a save dialog)
// and the writing itself, beside the target first, so that a failed write leaves an
// earlier picture as it was.
#include <functional>
#include <optional>

#include <QImage>
#include <QString>

class QWidget;

namespace pelorin {

// Null: a save dialog. An empty optional: cancelled.
using TPicturePathChooser = std::function<std::optional<QString>(QWidget* parent, const QString& suggested)>;

// The chosen path, ".png" added when it has another ending or none; nothing when cancelled.
std::optional<QString> ChoosePicturePath(const TPicturePathChooser& choose, QWidget* parent, const QString& suggested);

// Empty when written, else the reason.
QString WritePicture(const QImage& picture, const QString& path);

}  // namespace pelorin
