// The main window's long work on the sample card: busy states, the stop key, closing
// while work runs, errors that leave a command, and the two outputs through the real
// ship-list window.
#include <filesystem>
#include <functional>
#include <stdexcept>

#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableWidget>
#include <QTextCharFormat>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include "shell/main_window.h"
#include "shell/sheet_window.h"
#include "shell/shell_test_support.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

using test::TFakeOpener;
using test::TTempDir;

QString Samples() { return QString::fromStdString((test::SourceDir() / "samples").string()); }

// What the window looked like at some moment of its work.
struct TSnapshot {
  bool OpenEnabled = false, OutputsEnabled = false, StopHint = false, BusyCursor = false;
  int TotalValue = 0, TotalMax = 0;
};

TSnapshot Snap(TFormMain& w) {
  TSnapshot s;
  s.OpenEnabled = w.BitBtn_SD_Dir->isEnabled();
  s.OutputsEnabled = w.BitBtn_Excel->isEnabled() || w.BitBtn_Google->isEnabled();
  s.StopHint = !w.Label_StopESC->isHidden();
  const QCursor* cursor = QApplication::overrideCursor();
  s.BusyCursor = cursor != nullptr && cursor->shape() == Qt::WaitCursor;
  s.TotalValue = w.ProgressBar_Total->value();
  s.TotalMax = w.ProgressBar_Total->maximum();
  return s;
}

// Records the boxes and, optionally, how the window looked when each came up.
class TWatchingBox : public test::TRecordingMessageBox {
 public:
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    TRecordingMessageBox::Show(kind, caption, text);
    if (OnShow) OnShow();
  }
  std::function<void()> OnShow;
};

class TThrowingView : public TShipListView {
 public:
  void ShowShipList(const TShipList&) override { throw std::runtime_error("The sheet could not be shown."); }
};

struct RunFixture : ::testing::Test {
  TTempDir workDir;
  TWatchingBox box;
  TFakeOpener opener;
  std::unique_ptr<TFormMain> window;

  void Start(TDocumentOpener* documentOpener = nullptr, TShipListView* view = nullptr,
             const std::string& ini = "HINT=FALSE\r\nINTRO=FALSE\r\n") {
    if (!ini.empty()) workDir.Write("Pelorin.ini", ini);
    TFormMainOptions options;
    options.WorkingDir = workDir.Path().string();
    options.Messages = &box;
    options.Opener = documentOpener ? documentOpener : &opener;
    options.ShipListView = view;
    window = std::make_unique<TFormMain>(std::move(options));
    window->show();
    QApplication::processEvents();
  }
  void Open() {
    window->OpenDirectory(Samples());
    ASSERT_TRUE(window->Catalogue().DataAvailable);
  }
  // The card runs over midnight; ending on its second day takes in all its entries.
  void EndOnTheLastDay() {
    window->MonthCalendar_End->setSelectedDate(QDate(2011, 4, 8));
    emit window->MonthCalendar_End->clicked(QDate(2011, 4, 8));
  }
  std::filesystem::path Kml() const { return workDir.Path() / "SD_Belumar.kml"; }
  int Count(const QString& text, const QString& what) const { return static_cast<int>(text.count(what)); }
  void ExpectIdle(bool outputs) {
    TFormMain& w = *window;
    EXPECT_TRUE(w.BitBtn_SD_Dir->isEnabled());
    EXPECT_EQ(w.BitBtn_Excel->isEnabled(), outputs);
    EXPECT_EQ(w.BitBtn_Google->isEnabled(), outputs);
    EXPECT_TRUE(w.Label_StopESC->isHidden());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(w.Busy());
  }
};

TEST_F(RunFixture, OpenShowsTheBusyCursorFromItsFirstStep) {
  Start();
  std::optional<TSnapshot> atFirstPump;
  QTimer::singleShot(0, [&] { atFirstPump = Snap(*window); });  // the bars' reset pumps
  Open();
  ASSERT_TRUE(atFirstPump.has_value());
  EXPECT_TRUE(atFirstPump->BusyCursor);
  ExpectIdle(true);
}

TEST_F(RunFixture, CommandsAreOffWhileTheScanRunsAndTheBoxGetsTheNormalCursor) {
  Start();
  Open();
  TTempDir empty;
  std::optional<TSnapshot> atMessage;
  box.OnShow = [&] { atMessage = Snap(*window); };
  window->OpenDirectory(QString::fromStdString(empty.Path().string()));
  ASSERT_TRUE(atMessage.has_value());
  EXPECT_EQ(box.Shown.back().Text, "No AIS (*.LOG) files found!");
  EXPECT_FALSE(atMessage->OpenEnabled);
  EXPECT_FALSE(atMessage->OutputsEnabled);
  EXPECT_FALSE(atMessage->BusyCursor);
  ExpectIdle(false);
}

TEST_F(RunFixture, FolderDialogGetsTheNormalCursorAndTheStopHint) {
  workDir.Write("Pelorin.ini", "HINT=FALSE\r\nINTRO=FALSE\r\n");
  TFormMainOptions options;
  options.WorkingDir = workDir.Path().string();
  options.Messages = &box;
  options.Opener = &opener;
  std::optional<TSnapshot> atDialog;
  options.ChooseDirectory = [&](const QString&) -> std::optional<QString> {
    atDialog = Snap(*window);
    return std::nullopt;
  };
  window = std::make_unique<TFormMain>(std::move(options));
  window->BitBtn_SD_DirClick();
  ASSERT_TRUE(atDialog.has_value());
  EXPECT_FALSE(atDialog->BusyCursor);
  EXPECT_TRUE(atDialog->StopHint);
  ExpectIdle(false);
}

// Files of any name, in the order chosen, are the card's files; the run reads them as such.
TEST_F(RunFixture, OpenLogFilesReadsTheChosenFilesInTheirOrder) {
  workDir.Write("Pelorin.ini", "HINT=FALSE\r\nINTRO=FALSE\r\n");
  TTempDir other;
  std::filesystem::copy_file(test::SourceDir() / "samples/00000001.LOG", other.Path() / "first.nmea");
  const QStringList chosen = {QString::fromStdString((other.Path() / "first.nmea").string()), Samples() + "/00000002.LOG"};
  TFormMainOptions options;
  options.WorkingDir = workDir.Path().string();
  options.Messages = &box;
  options.Opener = &opener;
  options.ChooseFiles = [&] { return chosen; };
  window = std::make_unique<TFormMain>(std::move(options));
  window->OpenLogFiles1Click();
  ASSERT_TRUE(window->Catalogue().DataAvailable);
  const std::vector<std::string> want = {chosen[0].toStdString(), chosen[1].toStdString()};
  EXPECT_EQ(window->Catalogue().SD_Info.FileListe, want);
  EXPECT_EQ(window->Edit_SD_Dir->text(), "2 files");
  EXPECT_TRUE(window->Memo1->toPlainText().startsWith(chosen[0] + "\n" + chosen[1] + "\nNumber of Files :2"));
  ExpectIdle(true);
  EndOnTheLastDay();
  window->BitBtn_GoogleClick();
  EXPECT_EQ(opener.Opened.size(), 1u);
}

TEST_F(RunFixture, KmlRunReplacesTheDocumentAndHandsItOver) {
  Start();
  Open();
  EndOnTheLastDay();
  workDir.Write("SD_Belumar.kml", "an earlier document");
  window->BitBtn_GoogleClick();
  ASSERT_EQ(opener.Opened.size(), 1u);
  EXPECT_EQ(std::filesystem::path(opener.Opened[0]), Kml());
  const std::string kml = test::ReadFileBytes(Kml());
  EXPECT_EQ(kml.rfind("<?xml", 0), 0u);
  EXPECT_NE(kml.find("</kml>"), std::string::npos);
  // Every named vessel with a track of the run is labelled in the document.
  int labelled = 0;
  ASSERT_TRUE(window->ReplayShips());
  for (const TStatic& ship : *window->ReplayShips()) {
    if (ship.aPlot.empty() || ship.ShipName.empty() || ship.ShipName.find_first_of("&<>\"'") != std::string::npos)
      continue;
    EXPECT_NE(kml.find("<name> " + ship.ShipName + " </name>"), std::string::npos) << ship.ShipName;
    ++labelled;
  }
  EXPECT_GT(labelled, 2);
  const QString details = window->Memo1->toPlainText();
  EXPECT_EQ(Count(details, "Log-File: "), static_cast<int>(window->Catalogue().LogList.size()));
  EXPECT_TRUE(details.contains("-Number Dynam. : "));
  EXPECT_TRUE(details.contains("Lines read : "));
  EXPECT_EQ(window->ProgressBar_Total->value(), window->ProgressBar_Total->maximum());
  EXPECT_TRUE(box.Shown.empty());
  ExpectIdle(true);
}

TEST_F(RunFixture, OwnTrackOptionReachesTheDocument) {
  Start();
  Open();
  EndOnTheLastDay();
  window->BitBtn_GoogleClick();
  const std::string all = test::ReadFileBytes(Kml());
  window->RadioButton_OwnTrack->click();
  window->BitBtn_GoogleClick();
  const std::string own = test::ReadFileBytes(Kml());
  EXPECT_LT(own.size(), all.size());
}

TEST_F(RunFixture, EscDuringTheRunStopsAfterTheEntryJustRead) {
  Start();
  Open();
  EndOnTheLastDay();
  ASSERT_GE(window->Catalogue().LogList.size(), 3u);
  const int before = Count(window->Memo1->toPlainText(), "Log-File: ");
  // Pressed and still held when the run asks after its second entry.
  QApplication::postEvent(window->Memo1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  window->BitBtn_GoogleClick();
  const QString details = window->Memo1->toPlainText();
  EXPECT_EQ(Count(details, "Log-File: ") - before, 2);
  // The stop lines, then the account of the lines read so far.
  EXPECT_TRUE(details.contains("========================================\n"
                               "USER  INTERRUPT  :  SD-Read stopped!\n"
                               "========================================\n"
                               "========================================\n"
                               "Lines read : "))
      << details.right(400).toStdString();
  EXPECT_FALSE(details.contains("-Number Static : "));
  EXPECT_TRUE(opener.Opened.empty());
  EXPECT_FALSE(std::filesystem::exists(Kml()));
  EXPECT_EQ(window->ProgressBar_Total->value(), 0);
  ExpectIdle(true);
}

TEST_F(RunFixture, ClosingDuringTheRunStopsItThenCloses) {
  Start();
  Open();
  EndOnTheLastDay();
  QTimer::singleShot(0, window.get(), [this] { window->close(); });
  window->BitBtn_GoogleClick();
  EXPECT_TRUE(window->Memo1->toPlainText().contains("USER  INTERRUPT"));
  EXPECT_TRUE(opener.Opened.empty());
  QApplication::processEvents();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(test::ReadFileBytes(workDir.Path() / "Pelorin.ini"), "HINT=FALSE\r\nINTRO=FALSE\r\n");
}

TEST_F(RunFixture, AnErrorLeavingACommandIsReportedAndTheWindowGoesBackToIdle) {
  TThrowingView throwing;
  Start(nullptr, &throwing);
  Open();
  window->BitBtn_ExcelClick();
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Kind, TMessageKind::Error);
  EXPECT_EQ(box.Shown[0].Text, "The sheet could not be shown.");
  ExpectIdle(true);
  EXPECT_FALSE(window->TrackReplay1->isEnabled());  // a failed run leaves nothing to replay
  // And the window still works.
  window->BitBtn_GoogleClick();
  EXPECT_EQ(opener.Opened.size(), 1u);
}

TEST_F(RunFixture, ShipListRunShowsTheSheetWindowWithTheSavedWorkbook) {
  Start();
  Open();
  EndOnTheLastDay();
  bool checked = false;
  test::OnNextModal([&](QWidget* modal) {
    auto* sheet = qobject_cast<TForm_SpreadSheet*>(modal);
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(sheet, window->Form_SpreadSheet);
    const TShipList& ships = window->Analysis().aShipList;
    ASSERT_GT(ships.size(), 1u);
    // The vessels and one empty row below them; the header row is the grid's header.
    EXPECT_EQ(sheet->StringGrid_ShipList->rowCount(), static_cast<int>(ships.size()) + 1);
    const TShipGrid grid = sheet->GridCells();
    ASSERT_GT(grid.size(), 2u);
    EXPECT_EQ(grid[0][1], "MMSI");
    EXPECT_EQ(grid[2][1], ships[1].MMSI);
    EXPECT_TRUE(std::filesystem::exists(workDir.Path() / "Mappe_SD.xls"));
    EXPECT_TRUE(sheet->LastExport() == TExportOutcome::Shown || sheet->LastExport() == TExportOutcome::NotShown);
    if (sheet->LastExport() == TExportOutcome::Shown) {
      ASSERT_NE(sheet->WorkbookCells->item(0, 1), nullptr);
      EXPECT_EQ(sheet->WorkbookCells->item(0, 1)->text(), "MMSI");
    }
    // Both bars stand full while the list is open; the commands are still off.
    const TSnapshot now = Snap(*window);
    EXPECT_EQ(now.TotalValue, now.TotalMax);
    EXPECT_FALSE(now.OpenEnabled);
    EXPECT_FALSE(now.StopHint);
    checked = true;
    sheet->accept();
  });
  window->BitBtn_ExcelClick();
  EXPECT_TRUE(checked);
  EXPECT_EQ(window->ProgressBar_Total->value(), 0);
  EXPECT_EQ(window->ProgressBar_Load->value(), 0);
  ExpectIdle(true);
}

TEST_F(RunFixture, BoldDaysFollowTheShownMonth) {
  Start();
  Open();
  QCalendarWidget* calendar = window->MonthCalendar_Start;
  const auto bold = [&](const QDate& d) { return calendar->dateTextFormat(d).fontWeight() == QFont::Bold; };
  ASSERT_TRUE(bold(QDate(2011, 4, 7)));
  calendar->setCurrentPage(2011, 6);
  EXPECT_FALSE(bold(QDate(2011, 4, 7)));
  for (int day = 1; day <= 30; ++day) EXPECT_FALSE(bold(QDate(2011, 6, day))) << day;
  calendar->setCurrentPage(2011, 4);
  EXPECT_TRUE(bold(QDate(2011, 4, 7)));
  EXPECT_TRUE(bold(QDate(2011, 4, 8)));
  EXPECT_FALSE(bold(QDate(2011, 4, 9)));
}

TEST_F(RunFixture, HintsThatWereNeverConfirmedStayOnAtExit) {
  Start(nullptr, nullptr, "HINT=TRUE\r\nINTRO=FALSE\r\n");
  EXPECT_TRUE(window->HintDisplay());
  window->Exit1Click();
  EXPECT_EQ(test::ReadFileBytes(workDir.Path() / "Pelorin.ini"), "HINT=TRUE\r\nINTRO=FALSE\r\n");
}

TEST_F(RunFixture, UnwritableDefaultSettingsAreReportedAndStartUpGoesOn) {
  std::filesystem::create_directory(workDir.Path() / "Pelorin.ini");  // neither readable nor writable as a file
  Start(nullptr, nullptr, "");
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Kind, TMessageKind::Error);
  EXPECT_NE(box.Shown[0].Text.find("Pelorin.ini"), std::string::npos);
  EXPECT_FALSE(window->HintDisplay());
  EXPECT_FALSE(window->Settings().IntroFlag);
  EXPECT_TRUE(window->Settings().StartupDir.empty());
  EXPECT_TRUE(window->CheckBox_Data->toolTip().isEmpty());
  ExpectIdle(false);
}

// The card changes after "Open": the run stops before writing, says so, and leaves the
// document and the Track Replay as they were; a file that only grew or was touched is read.
TEST_F(RunFixture, ChangedCardStopsTheRunAndKeepsThePreviousOne) {
  namespace fs = std::filesystem;
  struct TCase {
    const char* Name;
    std::function<void(const fs::path&)> Change;  // given the first file
    bool Refused;
  } cases[] = {
      {"shrunk", [](const fs::path& f) { fs::resize_file(f, fs::file_size(f) - 100); }, true},
      {"same size, other content",
       [](const fs::path& f) {
         std::string text = test::ReadFileBytes(f);
         text[text.size() / 2] = text[text.size() / 2] == 'A' ? 'B' : 'A';
         test::WriteFileBytes(f, text);
       },
       true},
      {"removed", [](const fs::path& f) { fs::remove(f); }, true},
      {"made a directory",
       [](const fs::path& f) {
         fs::remove(f);
         fs::create_directory(f);
       },
       true},
      {"grown", [](const fs::path& f) { test::AppendFileBytes(f, "!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*24\r\n"); },
       false},
      {"touched, identical", [](const fs::path& f) { test::WriteFileBytes(f, test::ReadFileBytes(f)); }, false},
  };
  Start();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTempDir card;
    for (const char* name : {"00000001.LOG", "00000002.LOG", "00000003.LOG"})
      fs::copy_file(test::SourceDir() / "samples" / name, card.Path() / name);
    window->OpenDirectory(QString::fromStdString(card.Path().string()));
    ASSERT_TRUE(window->Catalogue().DataAvailable);
    EndOnTheLastDay();
    window->BitBtn_GoogleClick();
    const auto before = window->ReplayShips();
    const std::string kml = test::ReadFileBytes(Kml());
    const size_t opened = opener.Opened.size();
    box.Shown.clear();
    c.Change(card.Path() / "00000001.LOG");
    window->BitBtn_GoogleClick();
    if (!c.Refused) {
      EXPECT_TRUE(box.Shown.empty());
      EXPECT_EQ(opener.Opened.size(), opened + 1);
      continue;
    }
    const std::string text = "The SD card has changed since it was opened: 00000001.LOG. Please open it again.";
    ASSERT_EQ(box.Shown.size(), 1u);
    EXPECT_EQ(box.Shown[0].Caption, "Information");
    EXPECT_EQ(box.Shown[0].Text, text);
    EXPECT_TRUE(window->Memo1->toPlainText().contains(QString::fromStdString(text)));
    EXPECT_EQ(test::ReadFileBytes(Kml()), kml);
    EXPECT_EQ(opener.Opened.size(), opened);
    EXPECT_EQ(window->ReplayShips(), before);
    ExpectIdle(true);
  }
}

}  // namespace
}  // namespace pelorin
