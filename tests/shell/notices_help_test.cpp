#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

#include "shell/help_window.h"
#include "shell/hint_notice.h"
#include "shell/intro_notice.h"
#include "shell/shell_test_support.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::TRecordingMessageBox;
using test::TTempDir;

TEST(Notices, IntroTextAndCheckBox) {
  bool flag = true;
  TForm_Intro intro(flag);
  EXPECT_EQ(intro.windowTitle(), "Information");
  EXPECT_EQ(intro.Memo1->toPlainText(),
            "Before using this program please be sure,\n"
            "that \"GoogleEarth(TM)\" is installed on your \n"
            "PC!\n"
            "\n"
            "For full featured ship-list MS Excel(TM) is \n"
            "required!");
  EXPECT_TRUE(intro.Memo1->isReadOnly());
  EXPECT_EQ(intro.CheckBox_HideIntro->text(), "Do not show this again");
  EXPECT_FALSE(intro.CheckBox_HideIntro->isChecked());
}

TEST(Notices, IntroOkSetsTheFlagFromTheTick) {
  for (bool tick : {true, false}) {
    bool flag = tick;  // the opposite of what OK must leave
    TForm_Intro intro(flag);
    intro.show();
    intro.CheckBox_HideIntro->setChecked(tick);
    QTest::mouseClick(intro.BitBtn1, Qt::LeftButton);
    EXPECT_EQ(flag, !tick);
    EXPECT_FALSE(intro.isVisible());
  }
}

TEST(Notices, IntroClosedWithoutOkKeepsTheFlag) {
  bool flag = true;
  TForm_Intro intro(flag);
  intro.show();
  intro.CheckBox_HideIntro->setChecked(true);
  intro.reject();
  EXPECT_TRUE(flag);
}

TEST(Notices, HintTextAndOk) {
  bool flag = true;
  TForm_Hint hint(flag);
  EXPECT_EQ(hint.windowTitle(), "Hint");
  EXPECT_EQ(hint.Label_Information->text(), "INFORMATION :");
  EXPECT_EQ(hint.Memo1->toPlainText(),
            "For useful animation with GoogleEarth(TM),\n"
            "please choose not more than 12 hours per track.\n"
            "\n"
            "For displaying own track only (without animation), \n"
            "you can choose any time periode.");
  EXPECT_EQ(hint.CheckBox_Hide->text(), "Hide this next time");
  hint.show();
  hint.CheckBox_Hide->setChecked(true);
  QTest::mouseClick(hint.BitBtn1, Qt::LeftButton);
  EXPECT_FALSE(flag);
}

// Pages of distinct colours, so the picture shows which file it came from.
QRgb PageColour(int page) { return qRgb(10 * page, 255 - 10 * page, 100); }

void WritePages(const TTempDir& dir, int from, int to) {
  for (int page = from; page <= to; ++page) {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(PageColour(page));
    ASSERT_TRUE(image.save(QString::fromStdString((dir.Path() / ("Help_GE" + std::to_string(page) + ".bmp")).string()),
                           "BMP"));
  }
}

struct HelpFixture : ::testing::Test {
  TTempDir dir;
  TRecordingMessageBox box;
};

TEST_F(HelpFixture, OpensOnTheStoredFirstPage) {
  TForm_Help help(box, QString::fromStdString(dir.Path().string()));
  EXPECT_EQ(help.windowTitle(), "Help");
  EXPECT_EQ(help.size(), QSize(670, 529));
  EXPECT_EQ(help.HelpPage(), 1);
  EXPECT_FALSE(help.BitBtn_Previous->isEnabled());
  EXPECT_TRUE(help.BitBtn_Next->isEnabled());
  EXPECT_EQ(help.BitBtn_Previous->text(), "<  Previous");
  EXPECT_EQ(help.BitBtn_Next->text(), "Next  >");
  EXPECT_EQ(help.BitBtn_Exit->text(), "&Exit");
  EXPECT_TRUE(help.PictureSource().isEmpty());
  EXPECT_FALSE(help.Picture().isNull());
}

TEST_F(HelpFixture, TenNextClicksReachPageElevenAndDisableNext) {
  WritePages(dir, 1, 11);
  TForm_Help help(box, QString::fromStdString(dir.Path().string()));
  help.show();
  for (int i = 1; i <= 10; ++i) {
    QTest::mouseClick(help.BitBtn_Next, Qt::LeftButton);
    EXPECT_EQ(help.HelpPage(), i + 1);
    EXPECT_TRUE(help.BitBtn_Previous->isEnabled());
  }
  EXPECT_FALSE(help.BitBtn_Next->isEnabled());
  EXPECT_EQ(help.PictureSource(), "Help_GE11.bmp");
  EXPECT_EQ(help.Picture().pixel(0, 0), PageColour(11));
  help.BitBtn_NextClick();  // the handler itself also stops at 11
  EXPECT_EQ(help.HelpPage(), 11);
  EXPECT_TRUE(box.Shown.empty());
}

TEST_F(HelpFixture, PreviousFromPageTwoLoadsThePageOneFile) {
  WritePages(dir, 1, 2);
  TForm_Help help(box, QString::fromStdString(dir.Path().string()));
  help.BitBtn_NextClick();
  help.BitBtn_PreviousClick();
  EXPECT_EQ(help.HelpPage(), 1);
  EXPECT_FALSE(help.BitBtn_Previous->isEnabled());
  EXPECT_TRUE(help.BitBtn_Next->isEnabled());
  EXPECT_EQ(help.PictureSource(), "Help_GE1.bmp");
  EXPECT_EQ(help.Picture().pixel(0, 0), PageColour(1));
}

TEST_F(HelpFixture, MissingOrBrokenPageIsReportedAndKeepsThePicture) {
  WritePages(dir, 2, 2);
  dir.Write("Help_GE4.bmp", "not a bitmap");
  TForm_Help help(box, QString::fromStdString(dir.Path().string()));
  help.BitBtn_NextClick();  // page 2
  help.BitBtn_NextClick();  // page 3 is missing
  EXPECT_EQ(help.HelpPage(), 3);
  EXPECT_TRUE(help.BitBtn_Previous->isEnabled());
  EXPECT_EQ(help.PictureSource(), "Help_GE2.bmp");
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_NE(box.Shown[0].Text.find("Help_GE3.bmp"), std::string::npos) << box.Shown[0].Text;
  help.BitBtn_NextClick();  // page 4 is not a bitmap
  EXPECT_EQ(help.HelpPage(), 4);
  EXPECT_EQ(help.PictureSource(), "Help_GE2.bmp");
  EXPECT_EQ(box.Shown.size(), 2u);
}

// The text itself must fit; a style's preferred minimum width for push buttons is no clipping.
void ExpectTextsFit(QWidget& window) {
  window.show();
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const QString text = QString(button->text()).remove('&');
    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
    EXPECT_LE(button->fontMetrics().horizontalAdvance(text) + 2 * margin, button->width()) << text.toStdString();
  }
  for (QAbstractButton* box : window.findChildren<QCheckBox*>())
    EXPECT_LE(box->sizeHint().width(), box->width()) << box->text().toStdString();
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;
    EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
  }
}

TEST_F(HelpFixture, NoTextIsClipped) {
  TForm_Help help(box);
  ExpectTextsFit(help);
  bool flag = true;
  TForm_Intro intro(flag);
  ExpectTextsFit(intro);
  TForm_Hint hint(flag);
  ExpectTextsFit(hint);
}

TEST_F(HelpFixture, KeepsItsPageWhileClosed) {
  WritePages(dir, 1, 11);
  TForm_Help help(box, QString::fromStdString(dir.Path().string()));
  help.show();
  for (int i = 0; i < 4; ++i) help.BitBtn_NextClick();
  QTest::mouseClick(help.BitBtn_Exit, Qt::LeftButton);
  EXPECT_FALSE(help.isVisible());
  help.show();
  EXPECT_EQ(help.HelpPage(), 5);
  EXPECT_EQ(help.PictureSource(), "Help_GE5.bmp");
}

}  // namespace
}  // namespace pelorin
