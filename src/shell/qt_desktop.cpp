#include "shell/qt_desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QString>
#include <QUrl>

namespace pelorin {
namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TQtMessageBox::Show(TMessageKind kind, std::string_view caption, std::string_view text) {
  QMessageBox box(kind == TMessageKind::Error ? QMessageBox::Critical : QMessageBox::Information, FromUtf8(caption),
                  FromUtf8(text), QMessageBox::Ok, parent_);
  box.exec();
}

void TQtDocumentOpener::Open(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(path)));
}

}  // namespace pelorin
