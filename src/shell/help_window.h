#pragma once
// Unit_Help: the help viewer, one picture per page. Page 1 is stored with the window;
// the buttons load "Help_GE<n>.bmp" from the page directory (the working directory).
#include <QDialog>
#include <QImage>
#include <QString>

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace pelorin {

class TMessageBox;

class TForm_Help : public QDialog {
  Q_OBJECT

 public:
  // `pageDirectory` empty: page files are read by relative name.
  explicit TForm_Help(TMessageBox& messages, QString pageDirectory = {}, QWidget* parent = nullptr);

  static constexpr int kLastPage = 11;
  static QString PageFileName(int page);  // "Help_GE3.bmp"

  void BitBtn_NextClick();
  void BitBtn_PreviousClick();

  int HelpPage() const { return helpPage_; }
  // The picture on screen, unscaled, and where it came from (a file name, or empty for
  // the stored page).
  const QImage& Picture() const { return picture_; }
  const QString& PictureSource() const { return pictureSource_; }

  QWidget* ToolBar1 = nullptr;
  QPushButton* BitBtn_Previous = nullptr;
  QPushButton* BitBtn_Next = nullptr;
  QPushButton* BitBtn_Exit = nullptr;
  QFrame* GroupBox1 = nullptr;
  QLabel* Image_Help = nullptr;

 private:
  void LoadPage();
  void ShowPicture(const QImage& image, const QString& source);

  TMessageBox& messages_;
  QString pageDirectory_;
  int helpPage_ = 1;
  QImage picture_;
  QString pictureSource_;
};

}  // namespace pelorin
