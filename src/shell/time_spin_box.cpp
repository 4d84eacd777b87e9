#include "shell/time_spin_box.h"

#include <QLineEdit>

namespace pelorin {

int WrapTimeStep(const QString& text, int steps, int maximum) {
  bool ok = false;
  const qlonglong typed = text.trimmed().toLongLong(&ok);
  long long value = ok ? typed : 0;
  if (value < 0) value = 0;
  if (value > maximum) value = maximum;
  const long long span = static_cast<long long>(maximum) + 1;
  long long next = (value + steps) % span;
  if (next < 0) next += span;
  return static_cast<int>(next);
}

TTimeSpinBox::TTimeSpinBox(int maximum, const QString& text, QWidget* parent)
    : QAbstractSpinBox(parent), maximum_(maximum) {
  setWrapping(true);
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  setKeyboardTracking(true);
  setAccelerated(false);
  lineEdit()->setText(text);
}

QString TTimeSpinBox::Text() const { return lineEdit()->text(); }

void TTimeSpinBox::SetText(const QString& text) { lineEdit()->setText(text); }

void TTimeSpinBox::stepBy(int steps) {
  lineEdit()->setText(QString::number(WrapTimeStep(Text(), steps, maximum_)));
}

QValidator::State TTimeSpinBox::validate(QString&, int&) const { return QValidator::Acceptable; }

void TTimeSpinBox::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TTimeSpinBox::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

}  // namespace pelorin
