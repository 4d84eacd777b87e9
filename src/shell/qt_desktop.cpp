#include "shell/qt_desktop.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
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

void TQtDocumentOpener::Open(const std::string& path) { TryOpen(path); }

bool TQtDocumentOpener::TryOpen(const std::string& path) {
  return QDesktopServices::openUrl(QUrl::fromLocalFile(FromUtf8(path)));
}

bool TQtDocumentOpener::HasApplicationFor(const std::string& path) {
  const QString type = QMimeDatabase().mimeTypeForFile(FromUtf8(path), QMimeDatabase::MatchExtension).name();
  QProcess query;
  query.start("xdg-mime", {"query", "default", type});
  // A hung helper must not hold up the window for long; no answer counts as none.
  if (!query.waitForStarted(2000) || !query.waitForFinished(3000)) {
    query.kill();
    query.waitForFinished(500);
    return false;
  }
  return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
         !query.readAllStandardOutput().trimmed().isEmpty();
}

}  // namespace pelorin
