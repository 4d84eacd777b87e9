#include "shell/help_window.h"

#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>

#include "platform/desktop.h"
#include "shell/fonts.h"
#include "shell/pictures.h"

namespace pelorin {

TForm_Help::TForm_Help(TMessageBox& messages, QString pageDirectory, QWidget* parent)
    : QDialog(parent), messages_(messages), pageDirectory_(std::move(pageDirectory)) {
  setObjectName("Form_Help");
  setWindowTitle("Help");
  setModal(true);
  setFont(BaseFont());
  setFixedSize(670, 529);

  ToolBar1 = new QWidget(this);
  ToolBar1->setGeometry(0, 0, 670, 29);
  BitBtn_Previous = new QPushButton("<  Previous", ToolBar1);
  BitBtn_Previous->setGeometry(0, 0, 75, 29);
  BitBtn_Previous->setEnabled(false);
  BitBtn_Next = new QPushButton("Next  >", ToolBar1);
  BitBtn_Next->setGeometry(75, 0, 75, 29);
  BitBtn_Exit = new QPushButton("&Exit", ToolBar1);
  BitBtn_Exit->setGeometry(150, 0, 99, 29);
  for (QPushButton* b : {BitBtn_Previous, BitBtn_Next, BitBtn_Exit}) b->setAutoDefault(false);

  GroupBox1 = new QFrame(this);
  GroupBox1->setGeometry(8, 35, 654, 486);
  GroupBox1->setFrameShape(QFrame::StyledPanel);
  GroupBox1->setAutoFillBackground(true);
  QPalette sky = GroupBox1->palette();
  sky.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
  GroupBox1->setPalette(sky);

  Image_Help = new QLabel(GroupBox1);
  Image_Help->setGeometry(14, 20, 629, 454);
  Image_Help->setAlignment(Qt::AlignCenter);

  connect(BitBtn_Next, &QPushButton::clicked, this, &TForm_Help::BitBtn_NextClick);
  connect(BitBtn_Previous, &QPushButton::clicked, this, &TForm_Help::BitBtn_PreviousClick);
  connect(BitBtn_Exit, &QPushButton::clicked, this, &QDialog::accept);

  ShowPicture(HelpPage1Picture(), QString());
}

QString TForm_Help::PageFileName(int page) { return QStringLiteral("Help_GE%1.bmp").arg(page); }

void TForm_Help::BitBtn_NextClick() {
  ++helpPage_;
  BitBtn_Previous->setEnabled(true);
  if (helpPage_ >= kLastPage) {
    helpPage_ = kLastPage;
    BitBtn_Next->setEnabled(false);
  }
  LoadPage();
}

void TForm_Help::BitBtn_PreviousClick() {
  --helpPage_;
  BitBtn_Next->setEnabled(true);
  if (helpPage_ <= 1) {
    helpPage_ = 1;
    BitBtn_Previous->setEnabled(false);
  }
  LoadPage();
}

void TForm_Help::LoadPage() {
  const QString name = PageFileName(helpPage_);
  const QString path = pageDirectory_.isEmpty() ? name : QDir(pageDirectory_).filePath(name);
  QImageReader reader(path, "bmp");
  const QImage image = reader.read();
  if (image.isNull()) {
    const QString reason = QFileInfo::exists(path) ? reader.errorString() : QStringLiteral("File not found.");
    const QString text =
        QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason);
    messages_.Show(TMessageKind::Error, "Error", text.toStdString());
    return;
  }
  ShowPicture(image, name);
}

void TForm_Help::ShowPicture(const QImage& image, const QString& source) {
  picture_ = image;
  pictureSource_ = source;
  Image_Help->setPixmap(QPixmap::fromImage(
      image.scaled(Image_Help->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

}  // namespace pelorin
