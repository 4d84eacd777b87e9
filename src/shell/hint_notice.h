#pragma once
// Unit_Hint: the Google notice shown before a KML export while the hint display is on.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class TForm_Hint : public QDialog {
  Q_OBJECT

 public:
  // OK sets `hintFlag` to the opposite of "Hide this next time".
  explicit TForm_Hint(bool& hintFlag, QWidget* parent = nullptr);

  QLabel* Label_Information = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QCheckBox* CheckBox_Hide = nullptr;
  QPushButton* BitBtn1 = nullptr;

 private:
  void BitBtn1Click();
  bool& hintFlag_;
};

}  // namespace pelorin
