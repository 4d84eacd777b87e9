#include "shell/track_replay_window.h"

#include <algorithm>
#include <cmath>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "codec/point_texts.h"
#include "coverage/reception_range.h"
#include "replay/map_text.h"
#include "shell/encounter_table_model.h"
#include "shell/gui_progress_sink.h"
#include "shell/map_widget.h"
#include "shell/stop_key.h"
#include "shell/timeline_strip.h"
#include "shell/network_tiles.h"
#include "shell/vessel_list_model.h"

namespace pelorin {

namespace {

constexpr int kTickMs = 16;  // about 60 frames a second while playing
constexpr int kDefaultSpeed = 2;  // 60x

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

TTrackReplayWindow::TTrackReplayWindow(TReplayWindowOptions options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)) {
  setWindowFlag(Qt::Window);
  setObjectName("FormTrackReplay");
  setWindowTitle("Track Replay");
  BuildWindow();
  BuildShortcuts();
  resize(1200, 800);

  const std::string landError = ReadLandFile(options_.LandFile.toStdString(), land_);
  Map->SetLand(land_.Rings.empty() ? nullptr : &land_);
  if (!landError.empty()) statusBar()->showMessage(Q(landError));

  if (!options_.TileTemplate.isEmpty()) {
    QString cache = options_.TileCacheDir;
    if (cache.isEmpty()) cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + "/tiles";
    tiles_ = new TNetworkTiles(options_.TileTemplate, cache, this);
    Map->SetTiles(tiles_);
  }

  timer_ = new QTimer(this);
  timer_->setTimerType(Qt::PreciseTimer);
  timer_->setInterval(kTickMs);
  connect(timer_, &QTimer::timeout, this, [this] { Tick(); });
}

// The map is a child, deleted after the model it may still be counting.
TTrackReplayWindow::~TTrackReplayWindow() { Map->SetModel(nullptr, nullptr); }

void TTrackReplayWindow::BuildWindow() {
  auto* central = new QWidget(this);
  auto* outer = new QVBoxLayout(central);
  outer->setContentsMargins(4, 4, 4, 4);
  auto* splitter = new QSplitter(Qt::Horizontal, central);
  Map = new TMapWidget(splitter);

  auto* side = new QWidget(splitter);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  Tabs_Side = new QTabWidget(side);
  auto* vessels = new QWidget(Tabs_Side);
  auto* vesselLayout = new QVBoxLayout(vessels);
  vesselLayout->setContentsMargins(2, 2, 2, 2);
  Edit_Filter = new QLineEdit(side);
  Edit_Filter->setPlaceholderText("Filter: name, MMSI or call sign");
  Edit_Filter->setClearButtonEnabled(true);
  list_ = new TVesselListModel(this);
  List_Vessels = new QTableView(side);
  List_Vessels->setModel(list_);
  List_Vessels->setSortingEnabled(true);
  List_Vessels->sortByColumn(-1, Qt::AscendingOrder);
  List_Vessels->setSelectionBehavior(QAbstractItemView::SelectRows);
  List_Vessels->setSelectionMode(QAbstractItemView::ExtendedSelection);
  List_Vessels->setEditTriggers(QAbstractItemView::NoEditTriggers);
  List_Vessels->verticalHeader()->hide();
  List_Vessels->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  List_Vessels->horizontalHeader()->setStretchLastSection(true);
  List_Vessels->setColumnWidth(TVesselListModel::Name, 125);
  List_Vessels->setColumnWidth(TVesselListModel::MMSI, 80);
  List_Vessels->setColumnWidth(TVesselListModel::Class, 45);
  side->setMinimumWidth(340);
  Label_Info = new QLabel(side);
  Label_Info->setTextFormat(Qt::RichText);
  Label_Info->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  Label_Info->setWordWrap(true);
  Label_Info->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // Two vessels' fields do not fit beside the tables: the panel scrolls.
  auto* infoScroll = new QScrollArea(side);
  infoScroll->setWidget(Label_Info);
  infoScroll->setWidgetResizable(true);
  infoScroll->setFrameShape(QFrame::NoFrame);
  infoScroll->setMinimumHeight(250);
  vesselLayout->addWidget(Edit_Filter);
  vesselLayout->addWidget(List_Vessels, 1);
  if (options_.Export) {
    Button_Export = new QToolButton(side);
    Button_Export->setText("Export…");
    Button_Export->setToolTip("Export the selected vessels, or all the list shows, as KMZ, GPX, GeoPackage or CSV");
    vesselLayout->addWidget(Button_Export, 0, Qt::AlignLeft);
    connect(Button_Export, &QToolButton::clicked, this, [this] { options_.Export(EntriesToExport()); });
  }
  Tabs_Side->addTab(vessels, "Vessels");
  Tabs_Side->addTab(BuildEncounterPage(Tabs_Side), "Encounters");
  connect(Tabs_Side, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == 1 && searchedGeneration_ != shipsGeneration_) SearchEncounters();
  });
  sideLayout->addWidget(Tabs_Side, 3);
  sideLayout->addWidget(infoScroll, 2);
  splitter->addWidget(Map);
  splitter->addWidget(side);
  splitter->setStretchFactor(0, 1);
  splitter->setSizes({860, 330});
  outer->addWidget(splitter, 1);

  auto* controls = new QHBoxLayout();
  const auto tool = [central](const QString& text, const QString& tip) {
    auto* b = new QToolButton(central);
    b->setText(text);
    b->setToolTip(tip);
    return b;
  };
  Button_Back = tool("−1 min", "One minute back (Left)");
  Button_Play = tool("Play", "Play or pause (Space)");
  Button_Forward = tool("+1 min", "One minute on (Right)");
  Slider_Time = new QSlider(Qt::Horizontal, central);
  Label_Time = new QLabel("0000-00-00 00:00:00", central);
  Label_Time->setMinimumWidth(Label_Time->sizeHint().width() + 8);
  Combo_Speed = new QComboBox(central);
  for (int speed : kReplaySpeeds) Combo_Speed->addItem(QString("%1×").arg(speed));
  Combo_Speed->setCurrentIndex(kDefaultSpeed);
  Combo_Trail = new QComboBox(central);
  Combo_Trail->addItems({"No trails", "Trails 10 min", "Trails 1 h", "Whole tracks"});
  Combo_Trail->setCurrentIndex(1);
  Check_AllTracks = new QCheckBox("All tracks", central);
  Combo_AllTracks = new QComboBox(central);
  Combo_AllTracks->addItems({"Lines", "Density"});
  Combo_AllTracks->setToolTip("All tracks as lines, or as a map of how many vessels passed each point");
  Check_ByType = new QCheckBox("Colour by ship type", central);
  Check_Follow = new QCheckBox("Follow", central);
  Check_Range = new QCheckBox("Reception range", central);
  Check_Range->setToolTip("The farthest position heard in each degree of bearing from the own vessel");
  Button_SavePicture = tool("Save Picture…", "Save the map as you see it as a PNG picture");
  Button_SavePicture->setPopupMode(QToolButton::InstantPopup);
  auto* pictureMenu = new QMenu(Button_SavePicture);
  connect(pictureMenu->addAction("At the window's size…"), &QAction::triggered, this, [this] { SavePicture(1); });
  connect(pictureMenu->addAction("At twice the size…"), &QAction::triggered, this, [this] { SavePicture(2); });
  Button_SavePicture->setMenu(pictureMenu);
  for (QWidget* w : std::initializer_list<QWidget*>{Button_Back, Button_Play, Button_Forward}) controls->addWidget(w);
  controls->addWidget(Slider_Time, 1);
  controls->addWidget(Label_Time);
  controls->addWidget(Combo_Speed);
  // What the map shows, on a row of its own: the clock's row keeps room for its slider.
  auto* display = new QHBoxLayout();
  for (QWidget* w : std::initializer_list<QWidget*>{Combo_Trail, Check_AllTracks, Combo_AllTracks, Check_ByType,
                                                    Check_Follow, Check_Range})
    display->addWidget(w);
  display->addStretch(1);
  display->addWidget(Button_SavePicture);
  // The timeline above the slider's row, as wide as the window: a day's traffic at a glance.
  Strip_Timeline = new TTimelineStrip(central);
  outer->addWidget(Strip_Timeline);
  outer->addLayout(controls);
  outer->addLayout(display);
  setCentralWidget(central);

  Label_Cursor = new QLabel(this);
  Label_Cursor->setMinimumWidth(fontMetrics().horizontalAdvance("00°00.000' N 000°00.000' E") + 12);
  statusBar()->addPermanentWidget(Label_Cursor);

  connect(Button_Play, &QToolButton::clicked, this, [this] { SetPlaying(!playing_); });
  connect(Button_Back, &QToolButton::clicked, this, [this] { StepMinutes(-1); });
  connect(Button_Forward, &QToolButton::clicked, this, [this] { StepMinutes(1); });
  connect(Slider_Time, &QSlider::valueChanged, this, [this](int value) {
    if (!showingTime_) SetTime(static_cast<double>(model_.StartSeconds) + value);
  });
  connect(Strip_Timeline, &TTimelineStrip::TimeChosen, this, [this](double t) { SetTime(std::floor(t)); });
  connect(Combo_Trail, &QComboBox::currentIndexChanged, this, [this](int index) {
    static constexpr TTrailKind kinds[] = {TTrailKind::None, TTrailKind::TenMinutes, TTrailKind::Hour,
                                           TTrailKind::Whole};
    Map->SetTrail(kinds[std::clamp(index, 0, 3)]);
  });
  connect(Check_AllTracks, &QCheckBox::toggled, Map, &TMapWidget::SetAllTracks);
  connect(Combo_AllTracks, &QComboBox::currentIndexChanged, this, [this](int index) { Map->SetDensity(index == 1); });
  connect(Check_ByType, &QCheckBox::toggled, Map, &TMapWidget::SetColourByType);
  connect(Check_Range, &QCheckBox::toggled, this, [this](bool on) { ShowRangeOutline(on); });
  connect(Check_Follow, &QCheckBox::toggled, this, [this](bool on) {
    if (on) SelectVessel(Map->Selected(), true);
  });
  connect(Edit_Filter, &QLineEdit::textChanged, this, [this](const QString& text) {
    list_->SetFilter(text);
    const int row = list_->RowOf(Map->Selected());
    if (row >= 0) List_Vessels->selectRow(row);
  });
  connect(List_Vessels, &QTableView::clicked, this,
          [this](const QModelIndex& index) { SelectVessel(list_->VesselAt(index.row()), true, true); });
  connect(List_Vessels, &QTableView::activated, this,
          [this](const QModelIndex& index) { SelectVessel(list_->VesselAt(index.row()), true, true); });
  connect(Map, &TMapWidget::VesselClicked, this, [this](qint64 vessel) { SelectVessel(vessel, false); });
  connect(Map, &TMapWidget::CursorMoved, Label_Cursor, &QLabel::setText);
}

QWidget* TTrackReplayWindow::BuildEncounterPage(QWidget* parent) {
  auto* page = new QWidget(parent);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(2, 2, 2, 2);
  const auto table = [this, page](TEncounterTableModel* model, int sortColumn) {
    auto* view = new QTableView(page);
    view->setModel(model);
    view->setSortingEnabled(true);
    view->sortByColumn(sortColumn, Qt::AscendingOrder);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    view->horizontalHeader()->setDefaultSectionSize(fontMetrics().horizontalAdvance("2011-04-07T23:58:24Z") / 2 + 12);
    const auto choose = [this, model](const QModelIndex& index) { ChooseEncounterRow(model, index.row()); };
    connect(view, &QTableView::clicked, this, choose);
    connect(view, &QTableView::activated, this, choose);
    return view;
  };
  ownRows_ = new TEncounterTableModel(TEncounterTableModel::TKind::OwnShip, this);
  encounterRows_ = new TEncounterTableModel(TEncounterTableModel::TKind::Encounters, this);
  Label_OwnShip = new QLabel("Closest approach of each vessel to the own ship", page);
  Table_OwnShip = table(ownRows_, 2);
  const auto widths = [this](QTableView* view, std::initializer_list<int> mmsi, std::initializer_list<int> names,
                             std::initializer_list<int> times) {
    for (int c : mmsi) view->setColumnWidth(c, fontMetrics().horizontalAdvance("000000000") + 12);
    for (int c : names) view->setColumnWidth(c, 125);
    for (int c : times) view->setColumnWidth(c, fontMetrics().horizontalAdvance("2011-04-07T23:58:24Z") + 12);
  };
  widths(Table_OwnShip, {0}, {1}, {3});
  Label_Encounters = new QLabel(page);
  Label_Encounters->setWordWrap(true);
  Table_Encounters = table(encounterRows_, 5);
  widths(Table_Encounters, {0, 2}, {1, 3}, {5, 8, 9});
  Bar_Encounters = new QProgressBar(page);
  Bar_Encounters->setVisible(false);
  Button_Search = new QToolButton(page);
  Button_Search->setText("Search again");
  Button_Search->setVisible(false);
  connect(Button_Search, &QToolButton::clicked, this, [this] { SearchEncounters(); });
  layout->addWidget(Label_OwnShip);
  layout->addWidget(Table_OwnShip, 1);
  layout->addWidget(Label_Encounters);
  layout->addWidget(Table_Encounters, 2);
  layout->addWidget(Bar_Encounters);
  layout->addWidget(Button_Search, 0, Qt::AlignLeft);
  stopKey_ = new TStopKeyFilter(this);
  sink_ = std::make_unique<TGuiProgressSink>(Bar_Encounters, nullptr, nullptr, nullptr, stopKey_);
  return page;
}

std::vector<size_t> TTrackReplayWindow::EntriesToExport() const {
  std::vector<int> rows;
  for (const QModelIndex& index : List_Vessels->selectionModel()->selectedRows()) rows.push_back(index.row());
  if (rows.empty())
    for (int row = 0; row < list_->rowCount(); ++row) rows.push_back(row);
  std::vector<size_t> entries;
  for (int row : rows)
    if (const int64_t vessel = list_->VesselAt(row); vessel >= 0)
      entries.push_back(model_.Vessels[static_cast<size_t>(vessel)].Entry);
  return entries;
}

void TTrackReplayWindow::BuildShortcuts() {
  const auto shortcut = [this](QKeySequence keys, auto action) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
  };
  shortcut(QKeySequence(Qt::Key_Space), [this] { SetPlaying(!playing_); });
  shortcut(QKeySequence(Qt::Key_Left), [this] { StepMinutes(-1); });
  shortcut(QKeySequence(Qt::Key_Right), [this] { StepMinutes(1); });
  shortcut(QKeySequence(Qt::Key_Plus), [this] { Map->ZoomBy(2.0); });
  shortcut(QKeySequence(Qt::Key_Equal), [this] { Map->ZoomBy(2.0); });
  shortcut(QKeySequence(Qt::Key_Minus), [this] { Map->ZoomBy(0.5); });
}

void TTrackReplayWindow::SetShips(std::shared_ptr<const TShipList> ships, bool allTracks) {
  SetPlaying(false);
  // The map and the list point into the model: let go of both before it is replaced.
  Map->SetModel(nullptr, nullptr);
  list_->SetVessels(nullptr, nullptr);
  ships_ = std::move(ships);
  model_ = ships_ ? BuildReplayModel(*ships_, !allTracks) : TReplayModel{};
  Map->SetModel(&model_, ships_.get());
  list_->SetVessels(&model_, ships_.get());
  // Lines of a few vessels say more than a density map; hundreds cover one another.
  Combo_AllTracks->setCurrentIndex(model_.Vessels.size() > kDensityDefaultVessels ? 1 : 0);
  Map->SetDensity(Combo_AllTracks->currentIndex() == 1);
  vesselOfEntry_.assign(ships_ ? ships_->size() : 0, -1);
  for (size_t v = 0; v < model_.Vessels.size(); ++v) vesselOfEntry_[model_.Vessels[v].Entry] = static_cast<int64_t>(v);
  partner_ = -1;
  rangeMade_ = false;
  ShowRangeOutline(Check_Range->isChecked());
  // The encounters are searched again for the new table, when asked for.
  ++shipsGeneration_;
  results_.reset();
  ownRows_->SetResults(nullptr);
  encounterRows_->SetResults(nullptr);
  if (searching_) sink_->RequestStop();
  Label_Encounters->setText(EncounterTitle());
  if (Tabs_Side->currentIndex() == 1) QTimer::singleShot(0, this, [this] {
      if (searchedGeneration_ != shipsGeneration_) SearchEncounters();
    });
  Map->FitAll();
  const bool any = !IsEmpty(model_);
  for (QWidget* w : std::initializer_list<QWidget*>{Button_Play, Button_Back, Button_Forward, Slider_Time, Combo_Speed})
    w->setEnabled(any);
  showingTime_ = true;
  Slider_Time->setRange(0, static_cast<int>(std::min<int64_t>(model_.EndSeconds - model_.StartSeconds, INT32_MAX)));
  Slider_Time->setPageStep(600);
  Strip_Timeline->SetBins(TimelineBinsOf(model_), model_.StartSeconds, model_.EndSeconds);
  showingTime_ = false;
  SetTime(static_cast<double>(model_.StartSeconds));
  ShowInfo();
}

void TTrackReplayWindow::SetTime(double t) {
  time_ = std::clamp(t, static_cast<double>(model_.StartSeconds), static_cast<double>(model_.EndSeconds));
  Map->SetTime(time_);
  Strip_Timeline->SetTime(time_);
  if (Check_Follow->isChecked() && Map->Selected() >= 0) {
    const TVesselState state = VesselAt(model_, static_cast<uint32_t>(Map->Selected()), time_);
    if (state.Visible) Map->CenterOn(state.Position);
  }
  ShowTime();
  ShowInfo();
}

void TTrackReplayWindow::ShowTime() {
  showingTime_ = true;
  Slider_Time->setValue(static_cast<int>(std::floor(time_ - static_cast<double>(model_.StartSeconds))));
  showingTime_ = false;
  Label_Time->setText(IsEmpty(model_) ? QString() : Q(ReplayTimeText(time_)));
}

// A closed window does not play on unseen, nor search.
void TTrackReplayWindow::hideEvent(QHideEvent* event) {
  SetPlaying(false);
  if (searching_) sink_->RequestStop();
  QMainWindow::hideEvent(event);
}

void TTrackReplayWindow::StepMinutes(int minutes) { SetTime(time_ + 60.0 * minutes); }

void TTrackReplayWindow::SetPlaying(bool on) {
  if (IsEmpty(model_)) on = false;
  // Play at the end starts again from the beginning.
  if (on && !playing_ && time_ >= static_cast<double>(model_.EndSeconds))
    SetTime(static_cast<double>(model_.StartSeconds));
  playing_ = on;
  Button_Play->setText(on ? "Pause" : "Play");
  if (on) {
    clock_.start();
    timer_->start();
  } else {
    timer_->stop();
  }
}

void TTrackReplayWindow::Tick() {
  const double elapsed = static_cast<double>(clock_.nsecsElapsed()) / 1e9;
  clock_.start();
  Advance(elapsed);
}

void TTrackReplayWindow::Advance(double realSeconds) {
  SetTime(time_ + realSeconds * kReplaySpeeds[std::clamp(Combo_Speed->currentIndex(), 0, 5)]);
  if (time_ >= static_cast<double>(model_.EndSeconds)) SetPlaying(false);
}

void TTrackReplayWindow::SavePicture(double ratio) {
  const std::optional<QString> path = ChoosePicturePath(options_.ChoosePicturePath, this, "track-replay.png");
  if (!path) return;
  const QImage picture = Map->Picture(ratio);
  const QString error = WritePicture(picture, *path);
  statusBar()->showMessage(error.isEmpty() ? QString("The picture was saved as %1 (%2 × %3).")
                                                 .arg(*path)
                                                 .arg(picture.width())
                                                 .arg(picture.height())
                                           : QString("The picture could not be saved as %1: %2").arg(*path, error));
}

// The whole window's farthest positions in order of bearing, each longitude taken on the
// side of the one before, so that an outline across 180° stays one ring.
void TTrackReplayWindow::ShowRangeOutline(bool on) {
  if (on && !rangeMade_ && ships_) {
    TNullSink quiet;
    const TReceptionRanges ranges = ReceptionRangesOf(*ships_, quiet);
    rangeOutline_.clear();
    for (const TRangeBin& bin : ranges.Whole.Bins) {
      if (!bin.Heard) continue;
      TWorldPoint w = LatLonToWorld(bin.Lat, bin.Lon);
      if (!rangeOutline_.empty()) w.X += std::round(rangeOutline_.back().X - w.X);
      rangeOutline_.push_back(w);
    }
    rangeMade_ = true;
  }
  Map->SetRangeOutline(on ? rangeOutline_ : std::vector<TWorldPoint>{});
  // An empty outline would look like a box that does nothing.
  if (on)
    statusBar()->showMessage(rangeOutline_.empty()
                                 ? QString("No reception range: no vessel was heard while the own vessel had a position.")
                                 : QString("Reception range: %1 of 360 degrees heard.").arg(rangeOutline_.size()));
}

QString TTrackReplayWindow::EncounterTitle() const {
  QString title = QString("Encounters within %1 NM (a relative speed of 1 kn or more at the closest moment)")
                      .arg(QString::number(options_.EncounterNM, 'g', 6));
  if (!options_.EncounterNMError.isEmpty()) title += "; " + options_.EncounterNMError;
  return title;
}

void TTrackReplayWindow::SearchEncounters() {
  if (searching_) return;
  searching_ = true;
  const uint64_t generation = shipsGeneration_;
  auto results = std::make_shared<TEncounterResults>();
  results->Ships = ships_;  // kept alive should a new run replace the window's table meanwhile
  results->RangeNM = options_.EncounterNM;
  Button_Search->setVisible(false);
  Bar_Encounters->setVisible(true);
  Label_Encounters->setText("Searching… (ESC stops)");
  sink_->BeginWork();
  bool stopped = false;
  if (results->Ships) {
    results->Fleet = FleetMotionOf(*results->Ships);
    results->Own = OwnShipApproaches(results->Fleet, *sink_);
    results->Encounters = FindEncounters(results->Fleet, results->RangeNM, *sink_, stopped);
  }
  Bar_Encounters->setVisible(false);
  searching_ = false;
  if (generation != shipsGeneration_) {
    if (Tabs_Side->currentIndex() == 1) QTimer::singleShot(0, this, [this] { SearchEncounters(); });
    return;
  }
  if (stopped) {
    Label_Encounters->setText("The search was stopped; nothing is shown.");
    Button_Search->setVisible(true);
    return;
  }
  searchedGeneration_ = generation;
  results_ = std::move(results);
  for (auto [view, rows] : {std::pair{Table_OwnShip, ownRows_}, std::pair{Table_Encounters, encounterRows_}}) {
    rows->SetResults(results_);
    rows->sort(view->horizontalHeader()->sortIndicatorSection(), view->horizontalHeader()->sortIndicatorOrder());
  }
  Label_Encounters->setText(EncounterTitle() + QString(": %1").arg(results_->Encounters.size()));
}

void TTrackReplayWindow::ChooseEncounterRow(const TEncounterTableModel* rows, int row) {
  size_t a = 0, b = 0;
  int64_t seconds = 0;
  if (rows->RowPair(row, a, b, seconds)) ShowEncounter(a, b, seconds);
}

void TTrackReplayWindow::ShowEncounter(size_t entryA, size_t entryB, int64_t seconds) {
  if (entryA >= vesselOfEntry_.size() || entryB >= vesselOfEntry_.size()) return;
  const int64_t a = vesselOfEntry_[entryA], b = vesselOfEntry_[entryB];
  SetTime(static_cast<double>(seconds));
  SelectVessel(a, false);
  partner_ = b;
  List_Vessels->clearSelection();
  for (const int64_t v : {a, b})
    if (const int row = list_->RowOf(v); row >= 0)
      List_Vessels->selectionModel()->select(list_->index(row, 0),
                                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
  if (a < 0 || b < 0) {
    Map->ClearMeasure();
    ShowInfo();
    return;
  }
  Map->SetMeasure({a, {}}, {b, {}});
  // Fitted to both, with room around them: at least a mile across.
  TWorldRect box;
  for (const int64_t v : {a, b}) {
    const TVesselState state = VesselAt(model_, static_cast<uint32_t>(v), time_);
    if (state.Visible) Extend(box, state.Position.X, state.Position.Y);
  }
  if (box.Valid) {
    const double mile = 1.0 / (360.0 * 60.0) / std::max(0.05, std::cos(WorldYToLat(box.MinY) * M_PI / 180.0));
    const double cx = (box.MinX + box.MaxX) / 2, cy = (box.MinY + box.MaxY) / 2;
    const double half = std::max({box.MaxX - box.MinX, box.MaxY - box.MinY, mile}) * 0.75;
    Map->SetView(FitView({cx - half, cy - half, cx + half, cy + half, true}, Map->width(), Map->height(), 0,
                         kMaxMapScale));
  }
  ShowInfo();
}

void TTrackReplayWindow::SelectVessel(int64_t vessel, bool centre, bool fromList) {
  partner_ = -1;
  Map->SetSelected(vessel);
  if (Map->Selected() >= 0) {
    const int row = list_->RowOf(vessel);
    if (row >= 0 && !fromList) {
      List_Vessels->selectRow(row);
      List_Vessels->scrollTo(list_->index(row, 0));
    }
    if (centre) {
      const TVesselState state = VesselAt(model_, static_cast<uint32_t>(vessel), time_);
      const TReplayVessel& v = model_.Vessels[static_cast<size_t>(vessel)];
      // Before its first point or after it faded, the track's first point stands in.
      Map->CenterOn(state.Visible ? state.Position : PointWorld(v, model_.Points[v.First]));
    }
  } else {
    List_Vessels->clearSelection();
  }
  ShowInfo();
}

// The label placemark's fields, and the report in force at the replay time; for a chosen
// encounter both vessels and the range and bearing between them now.
void TTrackReplayWindow::ShowInfo() {
  const int64_t selected = Map->Selected();
  if (selected < 0 || !ships_) {
    Label_Info->setText(IsEmpty(model_) ? "No positions in this window"
                                        : "Click a vessel on the map or in the list.");
    return;
  }
  QString text = VesselInfo(selected);
  if (partner_ >= 0) {
    const QString measure = Map->MeasureText();
    if (!measure.isEmpty()) text += QString("<p><b>Range, bearing:</b> %1</p>").arg(measure.toHtmlEscaped());
    text += VesselInfo(partner_);
  }
  Label_Info->setText(text);
}

QString TTrackReplayWindow::VesselInfo(int64_t vessel) const {
  const TReplayVessel& v = model_.Vessels[static_cast<size_t>(vessel)];
  const TStatic& ship = (*ships_)[v.Entry];
  const TVesselState state = VesselAt(model_, static_cast<uint32_t>(vessel), time_);
  const bool started = PointAtOrBefore(model_, static_cast<uint32_t>(vessel), time_) >= static_cast<int64_t>(v.First);
  TPointTexts texts;
  const TPointTexts* point = nullptr;
  if (started) {
    PointTexts(ship.aPlot, ship.aPlot[model_.Points[state.Point].Source], texts);
    point = &texts;
  }
  QString rows;
  const auto row = [&rows](const char* label, std::string_view value) {
    rows += QString("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(label, Q(value).toHtmlEscaped());
  };
  row("MMSI:", ship.MMSI);
  row("IMO:", ship.IMO);
  row("Call Sign:", ship.CallSign);
  row("Ship Type:", ship.ShipsType);
  row("Length:", ship.Dimension.Laenge);
  row("Width:", ship.Dimension.Breite);
  row("ETA:", ship.ETA);
  row("Draught:", ship.Draught);
  row("Dest.:", ship.Destination);
  row("Nav. Status:", point ? std::string_view(point->NavStatus) : std::string_view("–"));
  // The report's texts, with their units where they hold a number.
  const auto unit = [](std::string_view text, const char* suffix) {
    return text.empty() || text == "n.a." ? std::string(text) : std::string(text) + suffix;
  };
  row("Speed:", point ? unit(point->Speed, " kn") : "–");
  row("COG:", point ? unit(point->COG, "°") : "–");
  row("True Heading:", point ? unit(point->TH, "°") : "–");
  row("Points:", std::to_string(v.Count));
  return QString("<h3>%1</h3><table cellspacing=2>%2</table>").arg(VesselDisplayName(v).toHtmlEscaped(), rows);
}

}  // namespace pelorin
