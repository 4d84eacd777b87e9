#pragma once
// The desktop services for the logic: message boxes and opening a document.
#include <string>
#include <string_view>

#include "platform/desktop.h"

class QWidget;

namespace pelorin {

class TQtMessageBox : public TMessageBox {
 public:
  explicit TQtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override;

 private:
  QWidget* parent_;
};

// The desktop's default application for the file's type (QDesktopServices). Whether one
// is registered is asked of xdg-mime: a desktop without it has none for our purposes.
class TQtDocumentOpener : public TDocumentOpener {
 public:
  void Open(const std::string& path) override;
  bool TryOpen(const std::string& path) override;
  bool HasApplicationFor(const std::string& path) override;
};

}  // namespace pelorin
