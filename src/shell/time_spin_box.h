#pragma once
// An hour or minute field: free text with up-down arrows that wrap within the range.
// Unlike QSpinBox it accepts any typed text, which the run then reads as it stands.
#include <QAbstractSpinBox>
#include <QString>

namespace pelorin {

class TTimeSpinBox : public QAbstractSpinBox {
  Q_OBJECT

 public:
  TTimeSpinBox(int maximum, const QString& text, QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  int Maximum() const { return maximum_; }

  void stepBy(int steps) override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 protected:
  StepEnabled stepEnabled() const override;

 private:
  int maximum_;
};

// The arrows' next value: a non-number counts as 0, a typed value beyond the range is
// first brought into it; then `steps` are added, wrapping between 0 and `maximum`.
int WrapTimeStep(const QString& text, int steps, int maximum);

}  // namespace pelorin
