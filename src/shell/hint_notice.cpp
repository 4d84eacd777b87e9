#include "shell/hint_notice.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/fonts.h"
#include "shell/notice_layout.h"

namespace pelorin {

TForm_Hint::TForm_Hint(bool& hintFlag, QWidget* parent) : QDialog(parent), hintFlag_(hintFlag) {
  setObjectName("Form_Hint");
  setWindowTitle("Hint");
  setModal(true);
  setFont(BaseFont());
  const QStringList lines = {
      "For useful animation with GoogleEarth(TM),",
      "please choose not more than 12 hours per track.",
      "",
      "For displaying own track only (without animation), ",
      "you can choose any time periode.",
  };
  const TNoticeControls c = BuildNotice(*this, lines, "Hide this next time");
  Label_Information = new QLabel("INFORMATION :", this);
  QFont bold = Label_Information->font();
  bold.setBold(true);
  Label_Information->setFont(bold);
  c.Layout->insertWidget(0, Label_Information);
  Memo1 = c.Memo;
  CheckBox_Hide = c.Check;
  BitBtn1 = c.Ok;
  connect(BitBtn1, &QPushButton::clicked, this, &TForm_Hint::BitBtn1Click);
}

void TForm_Hint::BitBtn1Click() {
  hintFlag_ = !CheckBox_Hide->isChecked();
  accept();
}

}  // namespace pelorin
