#include "shell/intro_notice.h"

#include <QCheckBox>
#include <QPushButton>

#include "shell/fonts.h"
#include "shell/notice_layout.h"

namespace pelorin {

TForm_Intro::TForm_Intro(bool& introFlag, QWidget* parent) : QDialog(parent), introFlag_(introFlag) {
  setObjectName("Form_Intro");
  setWindowTitle("Information");
  setModal(true);
  setFont(BaseFont());
  const QStringList lines = {
      "Before using this program please be sure,",
      "that \"GoogleEarth(TM)\" is installed on your ",
      "PC!",
      "",
      "For full featured ship-list MS Excel(TM) is ",
      "required!",
  };
  const TNoticeControls c = BuildNotice(*this, lines, "Do not show this again");
  Memo1 = c.Memo;
  CheckBox_HideIntro = c.Check;
  BitBtn1 = c.Ok;
  connect(BitBtn1, &QPushButton::clicked, this, &TForm_Intro::BitBtn1Click);
}

void TForm_Intro::BitBtn1Click() {
  introFlag_ = !CheckBox_HideIntro->isChecked();
  accept();
}

}  // namespace pelorin
