#include "shell/notice_layout.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pelorin {

TNoticeControls BuildNotice(QDialog& dialog, const QStringList& lines, const QString& checkText) {
  TNoticeControls c;
  c.Layout = new QVBoxLayout(&dialog);
  c.Memo = new QPlainTextEdit(&dialog);
  c.Memo->setReadOnly(true);
  c.Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
  c.Memo->setPlainText(lines.join('\n'));
  c.Memo->setFocusPolicy(Qt::NoFocus);
  const QFontMetrics metrics(c.Memo->font());
  int widest = 0;
  for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
  const int frame = 2 * c.Memo->frameWidth() + 2 * static_cast<int>(c.Memo->document()->documentMargin());
  c.Memo->setFixedSize(widest + frame + 8, static_cast<int>(lines.size() + 1) * metrics.lineSpacing() + frame);
  c.Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  c.Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  c.Layout->addWidget(c.Memo);

  c.Check = new QCheckBox(checkText, &dialog);
  c.Layout->addWidget(c.Check);

  auto* row = new QHBoxLayout;
  row->addStretch();
  c.Ok = new QPushButton("OK", &dialog);
  c.Ok->setDefault(true);
  c.Ok->setMinimumWidth(90);
  row->addWidget(c.Ok);
  row->addStretch();
  c.Layout->addLayout(row);
  c.Layout->setSizeConstraint(QLayout::SetFixedSize);
  return c;
}

}  // namespace pelorin
