#pragma once
// UnitMain: the main window with its commands, options, choosers, progress bars and
// details pane. The work behind the commands is the window-free logic; this window
// feeds it values and shows what it reports.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDate>
#include <QMainWindow>
#include <QString>

#include "analysis/analysis_run.h"
#include "analysis/ship_table.h"
#include "catalogue/log_index.h"
#include "catalogue/time_window.h"
#include "platform/desktop.h"
#include "platform/ship_list_view.h"
#include "platform/spreadsheet_automation.h"
#include "exports/export_set.h"
#include "shell/picture_file.h"
#include "shell/export_dialog.h"
#include "shell/settings_file.h"

class QCalendarWidget;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class QToolButton;
class QAction;

namespace pelorin {

class TForm_Help;
class TForm_Hint;
class TForm_Intro;
class TForm_SpreadSheet;
class TGuiProgressSink;
class TQtMessageBox;
class TStopKeyFilter;
class TTimeSpinBox;
class TTrackReplayWindow;
class TReceptionWindow;

// What the window needs from outside; tests replace the dialogs and the desktop.
struct TFormMainOptions {
  std::string WorkingDir;               // where "Pelorin.ini" is read; empty: current directory
  QString HelpPageDir;                  // where "Help_GE<n>.bmp" are read; empty: relative names
  TMessageBox* Messages = nullptr;      // null: Qt message boxes
  TDocumentOpener* Opener = nullptr;    // null: the desktop's default application
  TShipListView* ShipListView = nullptr;  // null: the sheet window Form_SpreadSheet
  TAutomationFactory* Automation = nullptr;  // null: the built-in spreadsheet application
  // The folder dialog; empty optional = cancelled. Null: "Select SD-Card" dialog.
  std::function<std::optional<QString>(const QString& preselect)> ChooseDirectory;
  // Stands in for the file dialog of "Open Log Files…" (tests); empty: cancelled.
  std::function<QStringList()> ChooseFiles;
  QString LandFile;                     // the Track Replay map's land; empty: Marble's Natural Earth file
  // The export's save dialog; empty optional = cancelled. Null: the file dialog.
  std::function<std::optional<TExportChoice>(QWidget* parent)> ChooseExport;
  // Both pictures' "Save Picture…" (Track Replay, Reception Range); null: a save dialog.
  TPicturePathChooser ChoosePicturePath;
};

// One start or end chooser.
struct TChooserControls {
  QGroupBox* Group = nullptr;
  QLabel* Title = nullptr;
  QCalendarWidget* Calendar = nullptr;
  QLabel* MonthTitle = nullptr;
  QToolButton* Kleiner = nullptr;   // "<"
  QToolButton* Groesser = nullptr;  // ">"
  QLabel* HourLabel = nullptr;
  QLabel* MinuteLabel = nullptr;
  TTimeSpinBox* Hour = nullptr;
  TTimeSpinBox* Minute = nullptr;
  QLabel* BoldNote = nullptr;
};

class TFormMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TFormMain(TFormMainOptions options = {}, QWidget* parent = nullptr);
  ~TFormMain() override;

  static constexpr int kClientHeight = 485;
  static constexpr int kClientWidthNarrow = 632;
  // 1005 and 639 are outer widths with a 7-pixel frame; Qt sets the client width.
  static constexpr int kClientWidthWide = kClientWidthNarrow + (1005 - 639);

  // Commands, as the controls and menu call them.
  void BitBtn_SD_DirClick();
  // The Open command's steps after the folder dialog, for a chosen path.
  void OpenDirectory(const QString& path);
  // "File" > "Open Log Files…": files of any name, read as the card's files.
  void OpenLogFiles1Click();
  void BitBtn_ExcelClick();
  void BitBtn_GoogleClick();
  void CheckBox_ShowDetailsClick();
  void Exit1Click();
  void Short1Click();
  void About1Click();
  void BitBtn_CancelClick();
  void TrackReplay1Click();
  void ReceptionRange1Click();
  // "File" > "Export…": the last completed run's vessels; and the Track Replay's choice.
  void Export1Click();
  void ExportEntries(const std::vector<size_t>& entries);
  void FormShow();

  void MonthCalendar_StartClick();
  void MonthCalendar_EndClick();
  void BitBtn_StartKleinerClick();
  void BitBtn_StartGroesserClick();
  void BitBtn_EndKleinerClick();
  void BitBtn_EndGroesserClick();

  static QString AboutText();

  // State, for the tests and the program entry.
  const TCatalogue& Catalogue() const { return catalogue_; }
  const TAnalysisState& Analysis() const { return analysis_; }
  // The ship table of the last completed run, which the Track Replay window shows; null
  // before the first.
  const std::shared_ptr<const TShipList>& ReplayShips() const { return replayShips_; }
  const TSettingsState& Settings() const { return settings_; }
  bool HintDisplay() const { return settings_.HintDisplay; }
  bool Busy() const { return busy_; }
  TGuiProgressSink& Sink() { return *sink_; }
  TStopKeyFilter& StopKey() { return *stopKey_; }

  // Controls, named as the program's units name them.
  QWidget* Client = nullptr;
  QGroupBox* GroupBox_SD_Directory = nullptr;
  QLabel* Image1 = nullptr;
  QLineEdit* Edit_SD_Dir = nullptr;
  QToolButton* BitBtn_SD_Dir = nullptr;
  QProgressBar* ProgressBar_Load = nullptr;
  QProgressBar* ProgressBar_Total = nullptr;
  QLabel* Label_StopESC = nullptr;
  TChooserControls Start, End;
  QCalendarWidget* MonthCalendar_Start = nullptr;
  QCalendarWidget* MonthCalendar_End = nullptr;
  TTimeSpinBox* Edit_StartTime_h = nullptr;
  TTimeSpinBox* Edit_StartTime_min = nullptr;
  TTimeSpinBox* Edit_EndTime_h = nullptr;
  TTimeSpinBox* Edit_EndTime_min = nullptr;
  QGroupBox* GroupBox_Analysis = nullptr;
  QRadioButton* RadioButton_OwnTrack = nullptr;
  QRadioButton* RadioButton_AllTracks = nullptr;
  QToolButton* BitBtn_Excel = nullptr;
  QToolButton* BitBtn_Google = nullptr;
  QCheckBox* CheckBox_Data = nullptr;
  QCheckBox* CheckBox_ShowDetails = nullptr;
  QLabel* Image_Logo = nullptr;
  QLabel* Label_Maker1 = nullptr;
  QLabel* Label_Maker2 = nullptr;
  QLabel* Label12 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QAction* Exit1 = nullptr;
  QAction* Short1 = nullptr;
  QAction* About1 = nullptr;
  QAction* TrackReplay1 = nullptr;
  QAction* ReceptionRange1 = nullptr;
  QAction* Export1 = nullptr;
  QAction* OpenLogFiles1 = nullptr;

  TForm_SpreadSheet* Form_SpreadSheet = nullptr;
  TForm_Help* Form_Help = nullptr;
  TForm_Hint* Form_Hint = nullptr;
  TForm_Intro* Form_Intro = nullptr;
  TTrackReplayWindow* Form_TrackReplay = nullptr;  // made when first opened
  TReceptionWindow* Form_ReceptionRange = nullptr;  // the same

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class TFlushingMessageBox;
  class TFlushingShipListView;

  void FormCreate();
  void FormClose();
  void BuildWindow();
  void BuildDirectoryGroup();
  TChooserControls BuildChooser(int left, const QString& caption, const QString& title, const QString& hour,
                                const QString& minute);
  void BuildAnalysisGroup();
  void BuildDetails();
  void BuildMenu();
  void ApplyTooltips();

  void ReadChooser();
  void ShowChooser(const TTimeWindowState& state);
  void ShowChooser() { ShowChooser(window_); }
  void ShowPageTitle(const TChooserControls& chooser);
  void RefreshBoldDays(QCalendarWidget* calendar, TCalendarSide side);
  void RefreshBoldDays();
  void ChooserCommand(void (*command)(const TCatalogue&, TTimeWindowState&, const TShowAndPump&));

  void RunCommand(TAnalysisMode mode);
  void KeepRunForReplay();
  void RunExport(const TExportSet& set, QWidget* dialogParent);
  void ShowTracksInstead(const std::string& kmlPath);
  void SetCommandsEnabled(bool open, bool outputs);
  void BeginWork();
  std::optional<std::string> BeginOpen();
  void RunOpen(const QString& path);
  // RunOpen for the chosen files (`paths`), or else for `directory`, shown as `shown`.
  void RunOpenPaths(const QString& shown, const std::vector<std::string>& paths, const std::string& directory);
  // Runs `command`; an error that leaves it comes back as its text, to be reported once
  // the window is idle again.
  template <typename F>
  std::optional<std::string> Attempt(F&& command);
  void ReportFailure(const std::optional<std::string>& error);
  void EndWork();

  TFormMainOptions options_;
  TSettingsState settings_;
  std::string settingsError_;
  TCatalogue catalogue_;
  TAnalysisState analysis_;
  TTimeWindowState window_;
  bool reducedData_ = true;
  bool allTracks_ = true;
  std::shared_ptr<const TShipList> replayShips_;
  bool replayAllTracks_ = true;  // the option as the last completed run read it

  std::unique_ptr<TStopKeyFilter> stopKey_;
  std::unique_ptr<TGuiProgressSink> sink_;
  std::unique_ptr<TMessageBox> ownMessages_;
  std::unique_ptr<TDocumentOpener> ownOpener_;
  std::unique_ptr<TAutomationFactory> ownAutomation_;
  std::unique_ptr<TQtMessageBox> sheetMessages_;
  std::unique_ptr<TFlushingMessageBox> messages_;
  std::unique_ptr<TFlushingShipListView> shipListView_;

  bool busy_ = false;
  bool chooserBusy_ = false;
  bool formClosed_ = false;
  bool closePending_ = false;
  bool shown_ = false;
};

// TDateTime days <-> calendar dates.
QDate DateOfDay(TDateTime day);
TDateTime DayOfDate(const QDate& date);

}  // namespace pelorin
