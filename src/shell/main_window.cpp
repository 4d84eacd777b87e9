#include "shell/main_window.h"

#include <exception>

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QTextCharFormat>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "exports/export_run.h"
#include "analysis/analysis_run.h"
#include "catalogue/log_scan.h"
#include "output/builtin_spreadsheet.h"
#include "shell/fonts.h"
#include "shell/gui_progress_sink.h"
#include "shell/help_window.h"
#include "shell/hint_notice.h"
#include "shell/intro_notice.h"
#include "shell/pictures.h"
#include "shell/qt_desktop.h"
#include "shell/reception_window.h"
#include "shell/sheet_window.h"
#include "shell/stop_key.h"
#include "shell/time_spin_box.h"
#include "shell/track_replay_window.h"

namespace pelorin {

namespace {

const QDate kEpoch(1899, 12, 30);

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QDate DateOfDay(TDateTime day) { return kEpoch.addDays(TDateTimeDay(day)); }

TDateTime DayOfDate(const QDate& date) { return static_cast<TDateTime>(kEpoch.daysTo(date)); }

// Whatever the logic has reported is shown before a modal box takes over the window.
class TFormMain::TFlushingMessageBox : public TMessageBox {
 public:
  TFlushingMessageBox(TMessageBox& box, TGuiProgressSink& sink) : box_(box), sink_(sink) {}
  void Show(TMessageKind kind, std::string_view caption, std::string_view text) override {
    sink_.Flush();
    // The box waits for the user: no busy cursor over it.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy) QApplication::restoreOverrideCursor();
    box_.Show(kind, caption, text);
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
  }

 private:
  TMessageBox& box_;
  TGuiProgressSink& sink_;
};

namespace {

// Hands a KML document over and remembers whether it got anywhere: with no application
// for KML, or a hand-over that fails, Pelorin shows the tracks itself.
class TKmlHandover : public TDocumentOpener {
 public:
  explicit TKmlHandover(TDocumentOpener& opener) : opener_(opener) {}
  void Open(const std::string& path) override {
    try {
      NotShown = !opener_.HasApplicationFor(path) || !opener_.TryOpen(path);
    } catch (const std::exception&) {
      NotShown = true;
    }
  }
  bool NotShown = false;

 private:
  TDocumentOpener& opener_;
};

}  // namespace

class TFormMain::TFlushingShipListView : public TShipListView {
 public:
  TFlushingShipListView(TShipListView& view, TGuiProgressSink& sink) : view_(view), sink_(sink) {}
  void ShowShipList(const TShipList& ships) override {
    sink_.Flush();
    view_.ShowShipList(ships);
  }

 private:
  TShipListView& view_;
  TGuiProgressSink& sink_;
};

TFormMain::TFormMain(TFormMainOptions options, QWidget* parent) : QMainWindow(parent), options_(std::move(options)) {
  setObjectName("FormMain");
  setWindowTitle("Pelorin");
  setWindowIcon(WindowIcon());
  setFont(BaseFont());

  BuildWindow();

  stopKey_ = std::make_unique<TStopKeyFilter>();
  sink_ = std::make_unique<TGuiProgressSink>(ProgressBar_Load, ProgressBar_Total, Memo1, Label_StopESC, stopKey_.get());
  TMessageBox* box = options_.Messages;
  if (!box) {
    ownMessages_ = std::make_unique<TQtMessageBox>(this);
    box = ownMessages_.get();
  }
  messages_ = std::make_unique<TFlushingMessageBox>(*box, *sink_);
  if (!options_.Opener) {
    ownOpener_ = std::make_unique<TQtDocumentOpener>();
    options_.Opener = ownOpener_.get();
  }
  if (!options_.Automation) {
    ownAutomation_ = std::make_unique<TBuiltInSpreadsheetFactory>();
    options_.Automation = ownAutomation_.get();
  }

  FormCreate();

  // The windows of the program, created once in this order and reused.
  TMessageBox* sheetBox = messages_.get();
  if (!options_.Messages) {
    sheetMessages_ = std::make_unique<TQtMessageBox>();
    sheetBox = sheetMessages_.get();
  }
  Form_SpreadSheet =
      new TForm_SpreadSheet(*options_.Automation, *sheetBox, *options_.Opener, settings_.StartupDir, this);
  if (sheetMessages_) sheetMessages_->SetParent(Form_SpreadSheet);
  TShipListView* view = options_.ShipListView ? options_.ShipListView : Form_SpreadSheet;
  shipListView_ = std::make_unique<TFlushingShipListView>(*view, *sink_);
  Form_Help = new TForm_Help(*messages_, options_.HelpPageDir, this);
  Form_Hint = new TForm_Hint(settings_.HintFlag, this);
  Form_Intro = new TForm_Intro(settings_.IntroFlag, this);

  ApplyTooltips();
  adjustSize();
  if (QScreen* s = screen()) move(s->availableGeometry().center() - frameGeometry().center() + pos());
}

TFormMain::~TFormMain() = default;

// Start-up: settings, hint display, StartupDir. A default file that cannot be written is
// reported at once, and start-up goes on with everything off.
void TFormMain::FormCreate() {
  std::string error;
  if (!SettingsFormCreate(options_.WorkingDir, settings_, error)) {
    settingsError_ = error;
    messages_->Show(TMessageKind::Error, "Error", settingsError_);
  }
  catalogue_.CalendarsReady = false;
}

void TFormMain::FormShow() {
  if (settings_.IntroFlag) Form_Intro->exec();
  if (catalogue_.CalendarsReady) return;  // a scan has already placed the calendars
  ReadChooser();
  window_.StartDay = window_.EndDay = DayOfDate(QDate::currentDate());
  ShowChooser();
}

void TFormMain::FormClose() {
  if (formClosed_) return;
  formClosed_ = true;
  std::string error;
  if (!SettingsFormClose(settings_, error)) messages_->Show(TMessageKind::Error, "Error", error);
}

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // After the window is on screen, as the notice belongs in front of it.
  QTimer::singleShot(0, this, [this] { ReportFailure(Attempt([this] { FormShow(); })); });
}

void TFormMain::closeEvent(QCloseEvent* event) {
  if (busy_) {
    // Work runs inside a command further down the stack: stop it and close when it
    // has returned, never under its feet.
    sink_->RequestStop();
    closePending_ = true;
    event->ignore();
    return;
  }
  FormClose();
  event->accept();
}

// ---- building the window ----

void TFormMain::BuildWindow() {
  Client = new QWidget(this);
  Client->setObjectName("Client");
  Client->setFixedSize(kClientWidthNarrow, kClientHeight);
  setCentralWidget(Client);
  BuildMenu();
  BuildDirectoryGroup();
  Start = BuildChooser(8, "Select Start : Date and Time", "START - DATE/TIME", "0", "0");
  End = BuildChooser(241, "Select End : Date and Time", "END - DATE/TIME", "23", "59");
  MonthCalendar_Start = Start.Calendar;
  MonthCalendar_End = End.Calendar;
  Edit_StartTime_h = Start.Hour;
  Edit_StartTime_min = Start.Minute;
  Edit_EndTime_h = End.Hour;
  Edit_EndTime_min = End.Minute;
  BuildAnalysisGroup();
  BuildDetails();
  layout()->setSizeConstraint(QLayout::SetFixedSize);

  connect(Start.Calendar, &QCalendarWidget::clicked, this, [this] { MonthCalendar_StartClick(); });
  connect(End.Calendar, &QCalendarWidget::clicked, this, [this] { MonthCalendar_EndClick(); });
  connect(Start.Kleiner, &QToolButton::clicked, this, [this] { BitBtn_StartKleinerClick(); });
  connect(Start.Groesser, &QToolButton::clicked, this, [this] { BitBtn_StartGroesserClick(); });
  connect(End.Kleiner, &QToolButton::clicked, this, [this] { BitBtn_EndKleinerClick(); });
  connect(End.Groesser, &QToolButton::clicked, this, [this] { BitBtn_EndGroesserClick(); });
  connect(Start.Calendar, &QCalendarWidget::currentPageChanged, this, [this] {
    ShowPageTitle(Start);
    RefreshBoldDays(MonthCalendar_Start, TCalendarSide::Start);
  });
  connect(End.Calendar, &QCalendarWidget::currentPageChanged, this, [this] {
    ShowPageTitle(End);
    RefreshBoldDays(MonthCalendar_End, TCalendarSide::End);
  });
  ShowPageTitle(Start);
  ShowPageTitle(End);
}

void TFormMain::BuildMenu() {
  QMenu* file = menuBar()->addMenu("File");
  OpenLogFiles1 = file->addAction("Open Log Files…");
  connect(OpenLogFiles1, &QAction::triggered, this, [this] { OpenLogFiles1Click(); });
  Export1 = file->addAction("&Export…");
  Export1->setEnabled(false);
  connect(Export1, &QAction::triggered, this, [this] { Export1Click(); });
  Exit1 = file->addAction("Exit");
  QMenu* view = menuBar()->addMenu("&View");
  TrackReplay1 = view->addAction("&Track Replay");
  TrackReplay1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  TrackReplay1->setEnabled(false);
  connect(TrackReplay1, &QAction::triggered, this, [this] { TrackReplay1Click(); });
  ReceptionRange1 = view->addAction("&Reception Range");
  ReceptionRange1->setEnabled(false);
  connect(ReceptionRange1, &QAction::triggered, this, [this] { ReceptionRange1Click(); });
  QMenu* help = menuBar()->addMenu("Help");
  Short1 = help->addAction("How To");
  About1 = help->addAction("About");
  connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
  connect(Short1, &QAction::triggered, this, [this] { Short1Click(); });
  connect(About1, &QAction::triggered, this, [this] { About1Click(); });
}

void TFormMain::BuildDirectoryGroup() {
  GroupBox_SD_Directory = new QGroupBox("Select SD-Card Directory", Client);
  GroupBox_SD_Directory->setGeometry(8, 8, 616, 140);
  QWidget* g = GroupBox_SD_Directory;

  Image1 = new QLabel(g);
  Image1->setGeometry(24, 24, 49, 65);
  Image1->setPixmap(SdCardPicture());

  Edit_SD_Dir = new QLineEdit(g);
  Edit_SD_Dir->setGeometry(96, 24, 505, 21);
  Edit_SD_Dir->setReadOnly(true);

  // A tool button: a push button asks for more width than "Open" needs in some styles.
  BitBtn_SD_Dir = new QToolButton(g);
  BitBtn_SD_Dir->setText("Open");
  BitBtn_SD_Dir->setToolButtonStyle(Qt::ToolButtonTextOnly);
  BitBtn_SD_Dir->setGeometry(96, 51, 75, 47);
  connect(BitBtn_SD_Dir, &QToolButton::clicked, this, [this] { BitBtn_SD_DirClick(); });

  ProgressBar_Load = new QProgressBar(g);
  ProgressBar_Load->setGeometry(177, 53, 425, 22);
  ProgressBar_Total = new QProgressBar(g);
  ProgressBar_Total->setGeometry(177, 77, 425, 23);
  for (QProgressBar* bar : {ProgressBar_Load, ProgressBar_Total}) {
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
  }

  Label_StopESC = new QLabel("Stop  with <ESC>", g);
  Label_StopESC->setFont(PixelFont(font(), 15, true));
  QPalette red = Label_StopESC->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label_StopESC->setPalette(red);
  Label_StopESC->move(98, 111);
  Label_StopESC->adjustSize();
  Label_StopESC->hide();
}

TChooserControls TFormMain::BuildChooser(int left, const QString& caption, const QString& title, const QString& hour,
                                         const QString& minute) {
  TChooserControls c;
  c.Group = new QGroupBox(caption, Client);
  c.Group->setGeometry(left, 154, 225, 319);
  QWidget* g = c.Group;

  c.Title = new QLabel(title, g);
  c.Title->setFont(PixelFont(font(), 19));
  c.Title->setGeometry(8, 20, 209, 26);
  c.Title->setAlignment(Qt::AlignCenter);

  // The calendar's own navigation is replaced by the month steps, which snap.
  c.Calendar = new QCalendarWidget(g);
  c.Calendar->setNavigationBarVisible(false);
  c.Calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
  c.Calendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
  // As wide as the group allows, so that no day name is cut.
  c.Calendar->setGeometry(4, 76, 217, 150);

  c.Kleiner = new QToolButton(g);
  c.Kleiner->setText("<");
  c.Kleiner->setGeometry(4, 50, 27, 24);
  c.Groesser = new QToolButton(g);
  c.Groesser->setText(">");
  c.Groesser->setGeometry(194, 50, 27, 24);
  c.MonthTitle = new QLabel(g);
  c.MonthTitle->setGeometry(33, 50, 159, 24);
  c.MonthTitle->setAlignment(Qt::AlignCenter);
  c.MonthTitle->setFont(PixelFont(font(), 12, true));

  const QFont fieldFont = PixelFont(QFont("Arial"), 16);
  c.HourLabel = new QLabel("Hour:", g);
  c.HourLabel->setGeometry(16, 232, 80, 16);
  c.Hour = new TTimeSpinBox(23, hour, g);
  c.Hour->setFont(fieldFont);
  c.Hour->setGeometry(16, 249, 80, 30);
  c.MinuteLabel = new QLabel("Minute:", g);
  c.MinuteLabel->setGeometry(120, 232, 80, 16);
  c.Minute = new TTimeSpinBox(59, minute, g);
  c.Minute->setFont(fieldFont);
  c.Minute->setGeometry(120, 249, 80, 30);

  c.BoldNote = new QLabel("* Only bold days have AIS data", g);
  c.BoldNote->setGeometry(8, 290, 209, 18);
  return c;
}

void TFormMain::BuildAnalysisGroup() {
  GroupBox_Analysis = new QGroupBox("AIS Data Analysis", Client);
  GroupBox_Analysis->setGeometry(472, 155, 153, 238);
  QWidget* g = GroupBox_Analysis;

  RadioButton_OwnTrack = new QRadioButton("Own Track", g);
  // The options start at the buttons' left edge: "Show Analysis Details" needs the width.
  RadioButton_OwnTrack->move(8, 23);
  RadioButton_AllTracks = new QRadioButton("All Vessel Tracks", g);
  RadioButton_AllTracks->move(8, 46);
  RadioButton_AllTracks->setChecked(true);
  for (QRadioButton* r : {RadioButton_OwnTrack, RadioButton_AllTracks}) r->adjustSize();
  connect(RadioButton_AllTracks, &QRadioButton::toggled, this, [this](bool on) { allTracks_ = on; });

  auto makeButton = [g](const QString& text, const QPixmap& glyph, int top) {
    auto* b = new QToolButton(g);
    b->setText(text);
    b->setIcon(QIcon(glyph));
    b->setIconSize(QSize(24, 24));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setGeometry(8, top, 137, 49);
    b->setEnabled(false);
    return b;
  };
  BitBtn_Excel = makeButton("Ship-List/ Excel(TM)", SheetGlyph(), 79);
  BitBtn_Google = makeButton("GoogleEarth(TM)", GlobeGlyph(), 134);
  connect(BitBtn_Excel, &QToolButton::clicked, this, [this] { BitBtn_ExcelClick(); });
  connect(BitBtn_Google, &QToolButton::clicked, this, [this] { BitBtn_GoogleClick(); });

  CheckBox_Data = new QCheckBox("Reduced Data", g);
  CheckBox_Data->move(8, 197);
  CheckBox_Data->setChecked(true);
  CheckBox_ShowDetails = new QCheckBox("Show Analysis Details", g);
  CheckBox_ShowDetails->move(8, 216);
  for (QCheckBox* b : {CheckBox_Data, CheckBox_ShowDetails}) b->adjustSize();
  connect(CheckBox_Data, &QCheckBox::toggled, this, [this](bool on) { reducedData_ = on; });
  connect(CheckBox_ShowDetails, &QCheckBox::clicked, this, [this] { CheckBox_ShowDetailsClick(); });

  Image_Logo = new QLabel(Client);
  Image_Logo->setGeometry(480, 399, 137, 41);
  Image_Logo->setPixmap(LogoPicture());
  Label_Maker1 = new QLabel("AIS SD-Card Viewer", Client);
  Label_Maker1->setGeometry(472, 443, 153, 16);
  Label_Maker2 = new QLabel("Version 1.3", Client);
  Label_Maker2->setGeometry(472, 460, 153, 16);
  for (QLabel* l : {Label_Maker1, Label_Maker2}) l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void TFormMain::BuildDetails() {
  Label12 = new QLabel("SD-Card Logging-File Details:", Client);
  Label12->move(631, 13);
  Label12->adjustSize();
  Memo1 = new QPlainTextEdit(Client);
  Memo1->setGeometry(631, 32, 361, 441);
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo1->setUndoRedoEnabled(false);
  // The report is a listing: its separator lines must not break.
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Label12->hide();
  Memo1->hide();
}

void TFormMain::ApplyTooltips() {
  const bool on = settings_.HintDisplay;
  CheckBox_Data->setToolTip(on ? "reduced position plot to 30 sec interval" : QString());
  CheckBox_ShowDetails->setToolTip(on ? "SD-Card parsing information" : QString());
}

// ---- chooser ----

void TFormMain::ReadChooser() {
  window_.StartDay = DayOfDate(MonthCalendar_Start->selectedDate());
  window_.EndDay = DayOfDate(MonthCalendar_End->selectedDate());
  window_.Edit_StartTime_h = Edit_StartTime_h->Text().toStdString();
  window_.Edit_StartTime_min = Edit_StartTime_min->Text().toStdString();
  window_.Edit_EndTime_h = Edit_EndTime_h->Text().toStdString();
  window_.Edit_EndTime_min = Edit_EndTime_min->Text().toStdString();
}

void TFormMain::ShowChooser(const TTimeWindowState& state) {
  const auto place = [](QCalendarWidget* calendar, TDateTime day) {
    const QDate date = DateOfDay(day);
    calendar->setSelectedDate(date);
    calendar->setCurrentPage(date.year(), date.month());
  };
  place(MonthCalendar_Start, state.StartDay);
  place(MonthCalendar_End, state.EndDay);
  Edit_StartTime_h->SetText(Q(state.Edit_StartTime_h));
  Edit_StartTime_min->SetText(Q(state.Edit_StartTime_min));
  Edit_EndTime_h->SetText(Q(state.Edit_EndTime_h));
  Edit_EndTime_min->SetText(Q(state.Edit_EndTime_min));
}

void TFormMain::ShowPageTitle(const TChooserControls& chooser) {
  const QCalendarWidget* cal = chooser.Calendar;
  chooser.MonthTitle->setText(
      QStringLiteral("%1 %2").arg(cal->locale().standaloneMonthName(cal->monthShown())).arg(cal->yearShown()));
}

void TFormMain::RefreshBoldDays(QCalendarWidget* calendar, TCalendarSide side) {
  calendar->setDateTextFormat(QDate(), QTextCharFormat());
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  const QDate shown(calendar->yearShown(), calendar->monthShown(), 1);
  // The page also shows the ends of the months before and after.
  for (int offset = -1; offset <= 1; ++offset) {
    const QDate first = shown.addMonths(offset);
    const uint32_t mask = MonthCalendar_GetMonthInfo(catalogue_, first.year(), first.month(), side);
    for (int d = 1; d <= first.daysInMonth() && d <= 31; ++d)
      if (mask & (uint32_t{1} << (d - 1))) calendar->setDateTextFormat(first.addDays(d - 1), bold);
  }
}

void TFormMain::RefreshBoldDays() {
  RefreshBoldDays(MonthCalendar_Start, TCalendarSide::Start);
  RefreshBoldDays(MonthCalendar_End, TCalendarSide::End);
}

void TFormMain::ChooserCommand(void (*command)(const TCatalogue&, TTimeWindowState&, const TShowAndPump&)) {
  if (chooserBusy_) return;
  chooserBusy_ = true;
  const auto error = Attempt([this, command] {
    ReadChooser();
    command(catalogue_, window_, [this](const TTimeWindowState& state) {
      ShowChooser(state);
      QCoreApplication::processEvents();
    });
  });
  ShowChooser();
  chooserBusy_ = false;
  ReportFailure(error);
}

void TFormMain::MonthCalendar_StartClick() { ChooserCommand(&pelorin::MonthCalendar_StartClick); }
void TFormMain::MonthCalendar_EndClick() { ChooserCommand(&pelorin::MonthCalendar_EndClick); }
void TFormMain::BitBtn_StartKleinerClick() { ChooserCommand(&pelorin::BitBtn_StartKleinerClick); }
void TFormMain::BitBtn_StartGroesserClick() { ChooserCommand(&pelorin::BitBtn_StartGroesserClick); }
void TFormMain::BitBtn_EndKleinerClick() { ChooserCommand(&pelorin::BitBtn_EndKleinerClick); }
void TFormMain::BitBtn_EndGroesserClick() { ChooserCommand(&pelorin::BitBtn_EndGroesserClick); }

// ---- commands ----

template <typename F>
std::optional<std::string> TFormMain::Attempt(F&& command) {
  try {
    command();
  } catch (const std::exception& e) {
    return std::string(e.what());
  } catch (...) {
    return std::string("Unknown error.");
  }
  return std::nullopt;
}

void TFormMain::ReportFailure(const std::optional<std::string>& error) {
  if (error) messages_->Show(TMessageKind::Error, "Error", *error);
}

void TFormMain::SetCommandsEnabled(bool open, bool outputs) {
  BitBtn_SD_Dir->setEnabled(open);
  OpenLogFiles1->setEnabled(open);
  BitBtn_Excel->setEnabled(outputs);
  BitBtn_Google->setEnabled(outputs);
}

void TFormMain::BeginWork() {
  busy_ = true;
  sink_->BeginWork();
}

void TFormMain::EndWork() {
  sink_->SetStopHintVisible(false);
  sink_->Flush();
  busy_ = false;
  if (closePending_) {
    closePending_ = false;
    QTimer::singleShot(0, this, [this] { close(); });
  }
}

// Steps 1 and 2 of the Open command, under the busy cursor: the card let go of. The
// cursor is normal again afterwards (choosing is the user's turn); the work goes on.
std::optional<std::string> TFormMain::BeginOpen() {
  BeginWork();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  auto error = Attempt([&] {
    BeginOpenLogDirectory(catalogue_, *sink_);
    sink_->Flush();
  });
  QApplication::restoreOverrideCursor();
  return error;
}

void TFormMain::BitBtn_SD_DirClick() {
  if (busy_) return;
  auto error = BeginOpen();
  std::optional<QString> chosen;
  if (!error) {
    error = Attempt([&] {
      const QString current = Q(catalogue_.SD_Info.DirectoryName);
      const QString preselect = !current.isEmpty() && QDir(current).exists() ? current : QString();
      if (options_.ChooseDirectory) {
        chosen = options_.ChooseDirectory(preselect);
      } else {
        // Read-only: choosing a card is no occasion for making folders.
        const QString dir = QFileDialog::getExistingDirectory(this, "Select SD-Card", preselect,
                                                              QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
        if (!dir.isEmpty()) chosen = dir;
      }
    });
  }
  if (!chosen || error) {
    EndWork();
    ReportFailure(error);
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunOpen(*chosen);
}

void TFormMain::OpenDirectory(const QString& path) {
  if (busy_) return;
  if (const auto error = BeginOpen()) {
    EndWork();
    ReportFailure(error);
    return;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunOpen(path);
}

void TFormMain::OpenLogFiles1Click() {
  if (busy_) return;
  auto error = BeginOpen();
  QStringList chosen;
  if (!error)
    error = Attempt([&] {
      chosen = options_.ChooseFiles ? options_.ChooseFiles()
                                    : QFileDialog::getOpenFileNames(
                                          this, "Open Log Files", QString(),
                                          "Log files (*.LOG *.log *.nmea *.txt *.aivdm *.ais);;All files (*)");
    });
  if (chosen.isEmpty() || error) {
    EndWork();
    ReportFailure(error);
    return;
  }
  std::vector<std::string> paths;
  for (const QString& path : chosen) paths.push_back(path.toStdString());
  QApplication::setOverrideCursor(Qt::WaitCursor);
  RunOpenPaths(chosen.size() == 1 ? QDir::toNativeSeparators(chosen.front())
                                  : QString("%1 files").arg(chosen.size()),
               paths, {});
}

// Steps 3 to 10 of the Open command, under the busy cursor that the caller has set.
void TFormMain::RunOpen(const QString& path) {
  QString shown = QDir::toNativeSeparators(path);
  if (!shown.isEmpty() && !shown.endsWith('/')) shown += '/';
  RunOpenPaths(shown, {}, path.toStdString());
}

void TFormMain::RunOpenPaths(const QString& shown, const std::vector<std::string>& paths,
                             const std::string& directory) {
  Edit_SD_Dir->setText(shown);
  SetCommandsEnabled(false, false);
  const auto error = Attempt([&] {
    const int year = QDate::currentDate().year();
    // A folder is opened as a card; files are read in the order chosen.
    const TOpenResult result = paths.empty()
                                   ? OpenLogDirectory(catalogue_, directory, *sink_, *messages_, year)
                                   : OpenLogPaths(catalogue_, paths, *sink_, *messages_, year);
    sink_->Flush();
    if (result.SetCalendars) {
      window_ = result.Window;
      ShowChooser();
    }
  });
  RefreshBoldDays();
  // A scan that failed half-way offers nothing to run on.
  SetCommandsEnabled(true, !error && catalogue_.DataAvailable);
  QApplication::restoreOverrideCursor();
  EndWork();
  ReportFailure(error);
}

void TFormMain::BitBtn_ExcelClick() {
  if (busy_) return;
  if (!catalogue_.DataAvailable) {
    messages_->Show(TMessageKind::Information, "Information", "No Data for Spreadsheet availabel!");
    return;
  }
  RunCommand(TAnalysisMode::ShipList);
}

void TFormMain::BitBtn_GoogleClick() {
  if (busy_) return;
  if (settings_.HintDisplay) Form_Hint->exec();
  if (!catalogue_.DataAvailable) {
    messages_->Show(TMessageKind::Information, "Information", "No Data for GoogleEarth availabel!");
    return;
  }
  RunCommand(TAnalysisMode::Kml);
}

void TFormMain::RunCommand(TAnalysisMode mode) {
  BeginWork();
  SetCommandsEnabled(false, false);
  TKmlHandover handover(*options_.Opener);
  TRunOutcome outcome = TRunOutcome::NoData;
  const auto error = Attempt([&] {
    ReadChooser();
    TShowAndPump pump = [this](const TTimeWindowState& state) {
      ShowChooser(state);
      chooserBusy_ = true;
      QCoreApplication::processEvents();
      chooserBusy_ = false;
    };
    TRunInputs in{analysis_,     catalogue_,           window_,  static_cast<unsigned>(mode), &reducedData_,
                  &allTracks_,   settings_.StartupDir, *sink_,   *messages_,                  &handover,
                  shipListView_.get(), std::move(pump)};
    outcome = RunAnalysis(in);
    if (outcome == TRunOutcome::Completed) KeepRunForReplay();
  });
  ShowChooser();
  SetCommandsEnabled(true, catalogue_.DataAvailable);
  EndWork();
  ReportFailure(error);
  if (!error && outcome == TRunOutcome::Completed && mode == TAnalysisMode::Kml && handover.NotShown)
    ShowTracksInstead(KmlPath(settings_.StartupDir));
}

// The finished table moves to the Track Replay window's side (copying millions of points
// would double the memory); the next run starts from an empty one anyway.
void TFormMain::KeepRunForReplay() {
  replayShips_ = std::make_shared<const TShipList>(std::move(analysis_.aShipList));
  ClearShipTable(analysis_);
  replayAllTracks_ = allTracks_;
  TrackReplay1->setEnabled(true);
  Export1->setEnabled(true);
  if (Form_TrackReplay) Form_TrackReplay->SetShips(replayShips_, replayAllTracks_);
  ReceptionRange1->setEnabled(true);
  if (Form_ReceptionRange) Form_ReceptionRange->SetShips(replayShips_, *sink_);
}

void TFormMain::ShowTracksInstead(const std::string& kmlPath) {
  sink_->AppendDetail("Document: " + kmlPath);
  messages_->Show(TMessageKind::Information, "Information",
                  "No program for KML documents is installed. The document was saved as " + kmlPath +
                      "; Pelorin shows the tracks in its Track Replay window.");
  TrackReplay1Click();
}

void TFormMain::TrackReplay1Click() {
  if (!replayShips_) return;
  if (!Form_TrackReplay) {
    TReplayWindowOptions options;
    options.LandFile = options_.LandFile;
    if (options.LandFile.isEmpty())
      options.LandFile = QString::fromUtf8(kDefaultLandFile.data(), static_cast<qsizetype>(kDefaultLandFile.size()));
    options.TileTemplate = QString::fromStdString(settings_.TileTemplate);
    options.Export = [this](const std::vector<size_t>& entries) { ExportEntries(entries); };
    options.ChoosePicturePath = options_.ChoosePicturePath;
    options.EncounterNM = settings_.EncounterNM;
    options.EncounterNMError = QString::fromStdString(settings_.EncounterNMError);
    Form_TrackReplay = new TTrackReplayWindow(std::move(options), this);
    Form_TrackReplay->SetShips(replayShips_, replayAllTracks_);
  }
  Form_TrackReplay->show();
  Form_TrackReplay->raise();
  Form_TrackReplay->activateWindow();
}

void TFormMain::ReceptionRange1Click() {
  if (!replayShips_) return;
  if (!Form_ReceptionRange) {
    Form_ReceptionRange = new TReceptionWindow({options_.ChoosePicturePath, messages_.get()}, this);
    Form_ReceptionRange->SetShips(replayShips_, *sink_);
  }
  Form_ReceptionRange->show();
  Form_ReceptionRange->raise();
  Form_ReceptionRange->activateWindow();
}

void TFormMain::Export1Click() {
  if (replayShips_) RunExport(ExportSetOf(*replayShips_, replayAllTracks_), this);
}

void TFormMain::ExportEntries(const std::vector<size_t>& entries) {
  if (replayShips_) RunExport(ExportSetOfEntries(*replayShips_, entries), Form_TrackReplay);
}

// Runs in the window's thread like the other commands: the bars move, ESC stops, and
// the window stays responsive through the sink's pump.
void TFormMain::RunExport(const TExportSet& set, QWidget* dialogParent) {
  if (busy_) return;
  const QString folder = QString::fromStdString(settings_.StartupDir);
  const std::optional<TExportChoice> choice =
      options_.ChooseExport ? options_.ChooseExport(dialogParent) : ChooseExportTarget(dialogParent, folder);
  if (!choice) return;
  BeginWork();
  SetCommandsEnabled(false, false);
  Export1->setEnabled(false);
  const std::string path = choice->Path.toStdString();
  TTrafficResult result;
  const auto error = Attempt([&] {
    sink_->SetStopHintVisible(true);
    result = ExportTraffic(choice->Format, path, set, *sink_);
    sink_->SetStopHintVisible(false);
    sink_->Flush();
  });
  SetCommandsEnabled(true, catalogue_.DataAvailable);
  Export1->setEnabled(true);
  EndWork();
  if (error) {
    ReportFailure(error);
    return;
  }
  switch (result.Outcome) {
    case TTrafficOutcome::Written:
      sink_->AppendDetail("Export: " + path);
      messages_->Show(TMessageKind::Information, "Information",
                      "Exported " + std::to_string(set.Vessels.size()) + " vessels to " + path + ".");
      break;
    case TTrafficOutcome::Stopped:
      messages_->Show(TMessageKind::Information, "Information", "Export stopped; nothing was written.");
      break;
    case TTrafficOutcome::Failed:
      messages_->Show(TMessageKind::Error, "Error", result.Message);
      break;
  }
}

void TFormMain::CheckBox_ShowDetailsClick() {
  const bool on = CheckBox_ShowDetails->isChecked();
  if (on) sink_->Flush();
  Label12->setVisible(on);
  Memo1->setVisible(on);
  Client->setFixedSize(on ? kClientWidthWide : kClientWidthNarrow, kClientHeight);
  // The pane opens on the newest line, so that it follows the lines to come. Its scroll
  // range is known only once the window has laid it out.
  if (on)
    QTimer::singleShot(0, Memo1, [this] { Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum()); });
}

void TFormMain::Exit1Click() { close(); }

void TFormMain::Short1Click() { Form_Help->exec(); }

QString TFormMain::AboutText() {
  return QStringLiteral("Pelorin\nVersion : 1.3\n\nMade by the Pelorin contributors");
}

void TFormMain::About1Click() {
  messages_->Show(TMessageKind::Information, "Information", AboutText().toStdString());
}

void TFormMain::BitBtn_CancelClick() { sink_->RequestStop(); }

}  // namespace pelorin
