#pragma once
// The common frame of the two notices: a read-only text, a check box and an OK button.
#include <QStringList>

class QCheckBox;
class QDialog;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace pelorin {

struct TNoticeControls {
  QVBoxLayout* Layout = nullptr;
  QPlainTextEdit* Memo = nullptr;
  QCheckBox* Check = nullptr;
  QPushButton* Ok = nullptr;
};

// `lines` go into the text box as they are; the text box is sized to show them all.
TNoticeControls BuildNotice(QDialog& dialog, const QStringList& lines, const QString& checkText);

}  // namespace pelorin
