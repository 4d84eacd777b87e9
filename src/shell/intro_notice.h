#pragma once
// Unit_Intro: the introduction notice shown at start-up while INTRO is "TRUE".
#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace pelorin {

class TForm_Intro : public QDialog {
  Q_OBJECT

 public:
  // OK sets `introFlag` to the opposite of "Do not show this again".
  explicit TForm_Intro(bool& introFlag, QWidget* parent = nullptr);

  QPlainTextEdit* Memo1 = nullptr;
  QCheckBox* CheckBox_HideIntro = nullptr;
  QPushButton* BitBtn1 = nullptr;

 private:
  void BitBtn1Click();
  bool& introFlag_;
};

}  // namespace pelorin
