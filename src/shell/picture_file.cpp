#include "shell/picture_file.h"

#include <QFileDialog>
#include <QSaveFile>

namespace pelorin {

std::optional<QString> ChoosePicturePath(const TPicturePathChooser& choose, QWidget* parent, const QString& suggested) {
  std::optional<QString> path;
  if (choose) {
    path = choose(parent, suggested);
  } else if (QString chosen = QFileDialog::getSaveFileName(parent, "Save Picture", suggested, "PNG pictures (*.png)");
             !chosen.isEmpty()) {
    path = chosen;
  }
  if (!path || path->isEmpty()) return std::nullopt;
  if (!path->endsWith(".png", Qt::CaseInsensitive)) *path += ".png";
  return path;
}

QString WritePicture(const QImage& picture, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return file.errorString();
  if (!picture.save(&file, "PNG")) return file.errorString().isEmpty() ? QString("the picture could not be encoded") : file.errorString();
  if (!file.commit()) return file.errorString();
  return {};
}

}  // namespace pelorin
