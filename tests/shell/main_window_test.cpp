#include "shell/main_window.h"

#include <filesystem>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "catalogue/log_report.h"
#include "shell/gui_progress_sink.h"
#include "shell/help_window.h"
#include "shell/hint_notice.h"
#include "shell/intro_notice.h"
#include "shell/shell_test_support.h"
#include "shell/time_spin_box.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::TFakeOpener;
using test::TFakeShipListView;
using test::TRecordingMessageBox;
using test::TTempDir;

QString Samples() { return QString::fromStdString((test::SourceDir() / "samples").string()); }

struct MainWindowFixture : ::testing::Test {
  TTempDir workDir;
  TRecordingMessageBox box;
  TFakeOpener opener;
  TFakeShipListView shipList;
  std::unique_ptr<TFormMain> window;

  void Start(const std::string& ini = "HINT=FALSE\r\nINTRO=FALSE\r\n") {
    if (!ini.empty()) workDir.Write("Pelorin.ini", ini);
    TFormMainOptions options;
    options.WorkingDir = workDir.Path().string();
    options.Messages = &box;
    options.Opener = &opener;
    options.ShipListView = &shipList;
    window = std::make_unique<TFormMain>(std::move(options));
    window->show();
    QApplication::processEvents();  // FormShow
  }
  std::string Ini() { return test::ReadFileBytes(workDir.Path() / "Pelorin.ini"); }
  bool Bold(QCalendarWidget* calendar, const QDate& date) {
    return calendar->dateTextFormat(date).fontWeight() == QFont::Bold;
  }
};

TEST_F(MainWindowFixture, StartUpStateAndTexts) {
  Start();
  TFormMain& w = *window;
  EXPECT_EQ(w.windowTitle(), "Pelorin");
  EXPECT_EQ(w.Client->size(), QSize(632, 485));
  EXPECT_EQ(w.centralWidget()->size(), QSize(632, 485));
  EXPECT_TRUE(w.BitBtn_SD_Dir->isEnabled());
  EXPECT_FALSE(w.BitBtn_Excel->isEnabled());
  EXPECT_FALSE(w.BitBtn_Google->isEnabled());
  EXPECT_FALSE(w.Label_StopESC->isVisible());
  EXPECT_FALSE(w.Memo1->isVisible());
  EXPECT_FALSE(w.Catalogue().DataAvailable);
  EXPECT_EQ(w.GroupBox_SD_Directory->title(), "Select SD-Card Directory");
  EXPECT_EQ(w.BitBtn_SD_Dir->text(), "Open");
  EXPECT_EQ(w.Label_StopESC->text(), "Stop  with <ESC>");
  EXPECT_EQ(w.Start.Group->title(), "Select Start : Date and Time");
  EXPECT_EQ(w.End.Group->title(), "Select End : Date and Time");
  EXPECT_EQ(w.Start.Title->text(), "START - DATE/TIME");
  EXPECT_EQ(w.End.Title->text(), "END - DATE/TIME");
  EXPECT_EQ(w.Start.BoldNote->text(), "* Only bold days have AIS data");
  EXPECT_EQ(w.GroupBox_Analysis->title(), "AIS Data Analysis");
  EXPECT_EQ(w.BitBtn_Excel->text(), "Ship-List/ Excel(TM)");
  EXPECT_EQ(w.BitBtn_Google->text(), "GoogleEarth(TM)");
  EXPECT_FALSE(w.RadioButton_OwnTrack->isChecked());
  EXPECT_TRUE(w.RadioButton_AllTracks->isChecked());
  EXPECT_TRUE(w.CheckBox_Data->isChecked());
  EXPECT_FALSE(w.CheckBox_ShowDetails->isChecked());
  EXPECT_EQ(w.Label12->text(), "SD-Card Logging-File Details:");
  EXPECT_EQ(w.Edit_StartTime_h->Text(), "0");
  EXPECT_EQ(w.Edit_StartTime_min->Text(), "0");
  EXPECT_EQ(w.Edit_EndTime_h->Text(), "23");
  EXPECT_EQ(w.Edit_EndTime_min->Text(), "59");
  EXPECT_EQ(w.MonthCalendar_Start->selectedDate(), QDate::currentDate());
  EXPECT_EQ(w.MonthCalendar_End->selectedDate(), QDate::currentDate());
  EXPECT_EQ(w.Start.Kleiner->size(), QSize(27, 24));
  EXPECT_FALSE(w.MonthCalendar_Start->isNavigationBarVisible());
}

TEST_F(MainWindowFixture, NoTextIsClipped) {
  Start();
  window->CheckBox_ShowDetails->click();
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty() || !label->isVisible()) continue;
    EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
    EXPECT_LE(label->sizeHint().height(), label->height() + 2) << label->text().toStdString();
  }
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty() || !button->isVisible()) continue;
    EXPECT_LE(button->sizeHint().width(), button->width()) << button->text().toStdString();
    EXPECT_LE(button->sizeHint().height(), button->height()) << button->text().toStdString();
  }
  for (QGroupBox* group : window->findChildren<QGroupBox*>())
    EXPECT_LE(group->minimumSizeHint().width(), group->width()) << group->title().toStdString();
  // Narrower calendars cut their day names.
  for (QCalendarWidget* calendar : {window->MonthCalendar_Start, window->MonthCalendar_End}) {
    EXPECT_LE(calendar->minimumSizeHint().width(), calendar->width());
    EXPECT_LE(calendar->minimumSizeHint().height(), calendar->height());
  }
  EXPECT_LE(window->Label_StopESC->sizeHint().width(), window->Label_StopESC->width());
  for (QWidget* child : window->Client->findChildren<QWidget*>()) {
    if (!child->isVisible() || child->parentWidget() == nullptr) continue;
    EXPECT_TRUE(child->parentWidget()->rect().contains(child->geometry()))
        << child->metaObject()->className() << " " << child->objectName().toStdString();
  }
}

TEST_F(MainWindowFixture, TooltipsOnlyWithTheHintDisplay) {
  Start("HINT=TRUE\r\nINTRO=FALSE\r\n");
  EXPECT_EQ(window->CheckBox_Data->toolTip(), "reduced position plot to 30 sec interval");
  EXPECT_EQ(window->CheckBox_ShowDetails->toolTip(), "SD-Card parsing information");
  window.reset();
  Start("HINT=FALSE\r\nINTRO=FALSE\r\n");
  EXPECT_TRUE(window->CheckBox_Data->toolTip().isEmpty());
  EXPECT_TRUE(window->CheckBox_ShowDetails->toolTip().isEmpty());
}

TEST_F(MainWindowFixture, ScanOfTheSampleCardEnablesTheOutputsAndMarksDays) {
  Start();
  TFormMain& w = *window;
  w.OpenDirectory(Samples());
  EXPECT_TRUE(w.Catalogue().DataAvailable);
  EXPECT_TRUE(w.BitBtn_SD_Dir->isEnabled());
  EXPECT_TRUE(w.BitBtn_Excel->isEnabled());
  EXPECT_TRUE(w.BitBtn_Google->isEnabled());
  EXPECT_FALSE(w.Label_StopESC->isVisible());
  EXPECT_TRUE(box.Shown.empty());
  EXPECT_EQ(w.Edit_SD_Dir->text(), Samples() + "/");
  EXPECT_EQ(w.ProgressBar_Total->value(), w.ProgressBar_Total->maximum());
  const QString details = w.Memo1->toPlainText();
  EXPECT_TRUE(details.contains("Number of Files :3"));
  EXPECT_TRUE(details.contains("LogList[0]:"));

  const TLogList& list = w.Catalogue().LogList;
  ASSERT_FALSE(list.empty());
  const TDateParts start = DecodeDateTime(list.front().LogDateTime_Start);
  const TDateParts end = DecodeDateTime(list.front().LogDateTime_End);
  EXPECT_EQ(w.MonthCalendar_Start->selectedDate(), QDate(start.Year, start.Month, start.Day));
  EXPECT_EQ(w.MonthCalendar_End->selectedDate(), QDate(end.Year, end.Month, end.Day));
  EXPECT_EQ(w.Edit_StartTime_h->Text(), QString::number(start.Hour));
  EXPECT_EQ(w.Edit_StartTime_min->Text(), QStringLiteral("%1").arg(start.Minute, 2, 10, QChar('0')));
  EXPECT_EQ(w.Edit_EndTime_h->Text(), QString::number(end.Hour));

  // The sample card runs from 7 to 8 April 2011.
  EXPECT_EQ(w.MonthCalendar_Start->monthShown(), 4);
  EXPECT_TRUE(Bold(w.MonthCalendar_Start, QDate(2011, 4, 7)));
  EXPECT_TRUE(Bold(w.MonthCalendar_End, QDate(2011, 4, 8)));
  EXPECT_FALSE(Bold(w.MonthCalendar_Start, QDate(2011, 4, 9)));
  EXPECT_FALSE(Bold(w.MonthCalendar_End, QDate(2011, 4, 6)));
  for (const TLogDateTime& e : list) {
    const TDateParts d = DecodeDateTime(e.LogDateTime_Start);
    EXPECT_TRUE(Bold(w.MonthCalendar_Start, QDate(d.Year, d.Month, d.Day)));
  }
}

TEST_F(MainWindowFixture, FolderDialogPreselectsTheCurrentDirectoryAndCancelChangesNothing) {
  std::vector<QString> preselects;
  bool cancel = false;
  TFormMainOptions options;
  workDir.Write("Pelorin.ini", "HINT=FALSE\r\nINTRO=FALSE\r\n");
  options.WorkingDir = workDir.Path().string();
  options.Messages = &box;
  options.Opener = &opener;
  options.ChooseDirectory = [&](const QString& preselect) -> std::optional<QString> {
    preselects.push_back(preselect);
    if (cancel) return std::nullopt;
    return Samples();
  };
  window = std::make_unique<TFormMain>(std::move(options));
  window->BitBtn_SD_DirClick();
  EXPECT_TRUE(window->BitBtn_Google->isEnabled());
  cancel = true;
  window->BitBtn_SD_DirClick();
  ASSERT_EQ(preselects.size(), 2u);
  EXPECT_TRUE(preselects[0].isEmpty());
  EXPECT_EQ(preselects[1], Samples() + "/");
  EXPECT_TRUE(window->BitBtn_Google->isEnabled());
  EXPECT_TRUE(window->BitBtn_SD_Dir->isEnabled());
  EXPECT_FALSE(window->Label_StopESC->isVisible());
  EXPECT_FALSE(window->Busy());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowFixture, DirectoryWithoutLogFilesIsReported) {
  Start();
  TTempDir empty;
  window->OpenDirectory(QString::fromStdString(empty.Path().string()));
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Text, "No AIS (*.LOG) files found!");
  EXPECT_EQ(box.Shown[0].Caption, "Information");
  EXPECT_TRUE(window->BitBtn_SD_Dir->isEnabled());
  EXPECT_FALSE(window->BitBtn_Google->isEnabled());
  EXPECT_FALSE(window->Label_StopESC->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowFixture, EscDuringTheScanStopsIt) {
  Start();
  // Delivered at the scan's first event pump.
  QApplication::postEvent(window->Memo1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  window->OpenDirectory(Samples());
  const QString details = window->Memo1->toPlainText();
  EXPECT_TRUE(details.contains("USER  INTERRUPT  :  SD-Read stopped!")) << details.toStdString();
  EXPECT_FALSE(details.contains("LogList["));
  EXPECT_FALSE(window->Catalogue().DataAvailable);
  EXPECT_FALSE(window->BitBtn_Google->isEnabled());
  EXPECT_TRUE(window->BitBtn_SD_Dir->isEnabled());
  EXPECT_EQ(window->MonthCalendar_Start->selectedDate(), QDate(2011, 4, 7));
}

TEST_F(MainWindowFixture, ClosingDuringTheScanStopsItThenCloses) {
  Start();
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  window->OpenDirectory(Samples());
  EXPECT_TRUE(window->Memo1->toPlainText().contains("USER  INTERRUPT"));
  EXPECT_TRUE(window->isVisible());
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Ini(), "HINT=FALSE\r\nINTRO=FALSE\r\n");
}

TEST_F(MainWindowFixture, DetailsToggleWidensAndNarrows) {
  Start();
  window->OpenDirectory(Samples());
  QTest::mouseClick(window->CheckBox_ShowDetails, Qt::LeftButton, {}, QPoint(5, 5));
  ASSERT_TRUE(window->CheckBox_ShowDetails->isChecked());
  QApplication::processEvents();
  EXPECT_EQ(window->centralWidget()->width(), 998);
  EXPECT_EQ(window->width(), 998);
  EXPECT_TRUE(window->Memo1->isVisible());
  EXPECT_TRUE(window->Memo1->toPlainText().contains("Number of Files :3"));
  // It opens on the newest line, so that it follows those to come.
  const QScrollBar* bar = window->Memo1->verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
  QTest::mouseClick(window->CheckBox_ShowDetails, Qt::LeftButton, {}, QPoint(5, 5));
  QApplication::processEvents();
  EXPECT_EQ(window->centralWidget()->width(), 632);
  EXPECT_EQ(window->width(), 632);
  EXPECT_FALSE(window->Memo1->isVisible());
}

TEST_F(MainWindowFixture, AboutBox) {
  Start();
  window->About1Click();
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Caption, "Information");
  EXPECT_EQ(box.Shown[0].Kind, TMessageKind::Information);
  const QStringList lines = QString::fromStdString(box.Shown[0].Text).split('\n');
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0], "Pelorin");
  EXPECT_EQ(lines[1], "Version : 1.3");
  EXPECT_EQ(lines[2], "");
  EXPECT_FALSE(lines[3].isEmpty());
}

TEST_F(MainWindowFixture, OutputCommandsWithoutData) {
  Start();
  window->BitBtn_ExcelClick();
  window->BitBtn_GoogleClick();
  ASSERT_EQ(box.Shown.size(), 2u);
  EXPECT_EQ(box.Shown[0].Text, "No Data for Spreadsheet availabel!");
  EXPECT_EQ(box.Shown[1].Text, "No Data for GoogleEarth availabel!");
  EXPECT_EQ(shipList.Shows, 0);
  EXPECT_TRUE(opener.Opened.empty());
}

TEST_F(MainWindowFixture, GoogleNoticeComesFirstWhileTheHintDisplayIsOn) {
  Start("HINT=TRUE\r\nINTRO=FALSE\r\n");
  bool noticeShown = false;
  test::OnNextModal([&](QWidget* modal) {
    auto* hint = qobject_cast<TForm_Hint*>(modal);
    ASSERT_NE(hint, nullptr);
    noticeShown = true;
    hint->CheckBox_Hide->setChecked(true);
    hint->BitBtn1->click();
  });
  window->BitBtn_GoogleClick();
  EXPECT_TRUE(noticeShown);
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Text, "No Data for GoogleEarth availabel!");
  window->close();
  EXPECT_EQ(Ini(), "HINT=FALSE\r\nINTRO=FALSE\r\n");
}

TEST_F(MainWindowFixture, KmlRunFromTheWindow) {
  Start();
  window->OpenDirectory(Samples());
  window->BitBtn_GoogleClick();
  const std::string kml = workDir.Path().string() + "/SD_Belumar.kml";
  ASSERT_EQ(opener.Opened.size(), 1u);
  EXPECT_EQ(opener.Opened[0], kml);
  EXPECT_TRUE(std::filesystem::file_size(kml) > 1000);
  EXPECT_TRUE(window->Memo1->toPlainText().contains("-Number Static : "));
  EXPECT_TRUE(box.Shown.empty());
  EXPECT_TRUE(window->BitBtn_SD_Dir->isEnabled());
  EXPECT_TRUE(window->BitBtn_Google->isEnabled());
  EXPECT_TRUE(window->BitBtn_Excel->isEnabled());
  EXPECT_FALSE(window->Label_StopESC->isVisible());
  EXPECT_FALSE(window->Busy());
}

TEST_F(MainWindowFixture, ShipListRunShowsTheVessels) {
  Start();
  window->OpenDirectory(Samples());
  window->BitBtn_ExcelClick();
  EXPECT_EQ(shipList.Shows, 1);
  EXPECT_GT(shipList.Vessels, 1u);
  EXPECT_EQ(window->ProgressBar_Total->value(), 0);  // reset when the list closed
}

TEST_F(MainWindowFixture, TypedTimesAreKeptAndBadOnesReported) {
  Start();
  window->OpenDirectory(Samples());
  window->Edit_EndTime_min->SetText("x");
  window->BitBtn_GoogleClick();
  EXPECT_TRUE(opener.Opened.empty());
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(window->Edit_EndTime_min->Text(), "x");
  EXPECT_TRUE(window->BitBtn_Google->isEnabled());
}

TEST_F(MainWindowFixture, CalendarClicksAndMonthStepsSnapToDaysWithData) {
  Start();
  TFormMain& w = *window;
  // Before a scan nothing snaps.
  w.MonthCalendar_Start->setSelectedDate(QDate(2011, 4, 1));
  emit w.MonthCalendar_Start->clicked(QDate(2011, 4, 1));
  EXPECT_EQ(w.MonthCalendar_Start->selectedDate(), QDate(2011, 4, 1));

  w.OpenDirectory(Samples());
  const TLogList& list = w.Catalogue().LogList;
  const TDateParts first = DecodeDateTime(list.front().LogDateTime_Start);
  const TDateParts last = DecodeDateTime(list.back().LogDateTime_End);

  w.MonthCalendar_Start->setSelectedDate(QDate(2011, 3, 2));
  emit w.MonthCalendar_Start->clicked(QDate(2011, 3, 2));
  EXPECT_EQ(w.MonthCalendar_Start->selectedDate(), QDate(2011, 4, 7));
  EXPECT_EQ(w.Edit_StartTime_h->Text(), QString::number(first.Hour));

  w.MonthCalendar_End->setSelectedDate(QDate(2011, 6, 30));
  emit w.MonthCalendar_End->clicked(QDate(2011, 6, 30));
  EXPECT_EQ(w.MonthCalendar_End->selectedDate(), QDate(last.Year, last.Month, last.Day));
  EXPECT_EQ(w.Edit_EndTime_h->Text(), QString::number(last.Hour));
  EXPECT_EQ(w.Edit_EndTime_min->Text(), QStringLiteral("%1").arg(last.Minute, 2, 10, QChar('0')));

  // No data in May: the start falls back forward to the last day with data, the end stays.
  QTest::mouseClick(w.Start.Groesser, Qt::LeftButton);
  EXPECT_EQ(w.MonthCalendar_Start->selectedDate().month(), 4);
  QTest::mouseClick(w.End.Kleiner, Qt::LeftButton);
  EXPECT_EQ(w.MonthCalendar_End->selectedDate(), QDate(2011, 4, 7));
  EXPECT_EQ(w.MonthCalendar_End->monthShown(), 4);
  EXPECT_TRUE(Bold(w.MonthCalendar_End, QDate(2011, 4, 8)));
}

TEST_F(MainWindowFixture, FirstStartShowsTheIntroAndTickingItHidesItForGood) {
  // Showing the window shows the notice modally; answer it from inside its loop.
  bool introShown = false;
  test::OnNextModal([&](QWidget* modal) {
    auto* intro = qobject_cast<TForm_Intro*>(modal);
    ASSERT_NE(intro, nullptr);
    introShown = true;
    intro->CheckBox_HideIntro->setChecked(true);
    intro->BitBtn1->click();
  });
  Start("");  // no file yet
  EXPECT_EQ(Ini(), "[Version]\r\nVersion=A038\r\n\r\n[Hint]\r\nHINT=TRUE\r\n\r\n[Intro]\r\nINTRO=TRUE\r\n\r\n");
  EXPECT_TRUE(window->HintDisplay());
  EXPECT_TRUE(introShown);
  EXPECT_FALSE(window->Settings().IntroFlag);
  window->FormShow();  // the flag is clear now: no notice, nothing to answer
  window->Exit1Click();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Ini(), "[Version]\r\nVersion=A038\r\n\r\n[Hint]\r\nHINT=TRUE\r\n\r\n[Intro]\r\nINTRO=FALSE\r\n\r\n");

  window.reset();
  Start("");  // keeps the file
  EXPECT_FALSE(window->Settings().IntroFlag);
}

TEST_F(MainWindowFixture, SettingsThatCannotBeSavedAreReportedAndTheWindowStillCloses) {
  Start();
  std::filesystem::remove(workDir.Path() / "Pelorin.ini");
  std::filesystem::create_directory(workDir.Path() / "Pelorin.ini");
  window->close();
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Kind, TMessageKind::Error);
  EXPECT_NE(box.Shown[0].Text.find("Pelorin.ini"), std::string::npos);
}

TEST_F(MainWindowFixture, HelpMenuShowsTheHelpWindow) {
  Start();
  bool shown = false;
  test::OnNextModal([&](QWidget* modal) {
    shown = qobject_cast<TForm_Help*>(modal) != nullptr;
    modal->close();
  });
  window->Short1->trigger();
  EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace pelorin
