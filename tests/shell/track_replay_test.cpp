// The Track Replay window through the main window on the sample card: the menu, the
// fallback when the desktop has no KML viewer, the clock, selection and the list.
#include <algorithm>

#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QTest>
#include <gtest/gtest.h>

#include "output/kml_writer.h"
#include "replay/map_text.h"
#include "replay/mercator.h"
#include "shell/main_window.h"
#include "shell/map_widget.h"
#include "shell/shell_test_support.h"
#include "shell/timeline_strip.h"
#include "shell/track_replay_window.h"
#include "shell/vessel_list_model.h"
#include "support/test_support.h"

namespace pelorin {
namespace {

struct ReplayFixture : ::testing::Test {
  test::TTempDir workDir;
  test::TRecordingMessageBox box;
  test::TFakeOpener opener;
  std::unique_ptr<TFormMain> window;
  std::optional<TExportChoice> exportChoice;  // the save dialog's answer

  void SetUp() override {
    workDir.Write("Pelorin.ini", "HINT=FALSE\r\nINTRO=FALSE\r\nTILES=off\r\nENCOUNTER_NM=5\r\n");
    TFormMainOptions options;
    options.WorkingDir = workDir.Path().string();
    options.Messages = &box;
    options.Opener = &opener;
    options.ChooseExport = [this](QWidget*) { return exportChoice; };
    window = std::make_unique<TFormMain>(std::move(options));
    window->show();
    window->OpenDirectory(QString::fromStdString((test::SourceDir() / "samples").string()));
    ASSERT_TRUE(window->Catalogue().DataAvailable);
    window->MonthCalendar_End->setSelectedDate(QDate(2011, 4, 8));
    emit window->MonthCalendar_End->clicked(QDate(2011, 4, 8));
  }
  TTrackReplayWindow& Replay() {
    window->TrackReplay1->trigger();
    QApplication::processEvents();
    return *window->Form_TrackReplay;
  }
};

TEST_F(ReplayFixture, MenuIsEnabledByACompletedRunAndKeepsItsTable) {
  EXPECT_FALSE(window->TrackReplay1->isEnabled());
  EXPECT_EQ(window->TrackReplay1->shortcut(), QKeySequence("Ctrl+T"));
  window->BitBtn_GoogleClick();
  ASSERT_TRUE(window->TrackReplay1->isEnabled());
  EXPECT_EQ(opener.Opened.size(), 1u);  // a viewer exists: nothing else happens
  EXPECT_EQ(window->Form_TrackReplay, nullptr);
  TTrackReplayWindow& replay = Replay();
  EXPECT_TRUE(replay.isVisible());
  EXPECT_FALSE(replay.isModal());
  EXPECT_EQ(replay.windowTitle(), "Track Replay");
  EXPECT_GT(replay.Model().Vessels.size(), 3u);
  // Own Track: the next run shows the own vessel alone.
  window->RadioButton_OwnTrack->click();
  window->BitBtn_GoogleClick();
  ASSERT_EQ(replay.Model().Vessels.size(), 1u);
  EXPECT_EQ(replay.Model().Vessels[0].Entry, 0u);
}

// "File" > "Export…" writes the run's vessels; the replay's button the selected ones, or
// with none selected those the filter shows.
TEST_F(ReplayFixture, ExportWritesTheRunsOrTheChosenVessels) {
  EXPECT_FALSE(window->Export1->isEnabled());
  window->BitBtn_GoogleClick();
  ASSERT_TRUE(window->Export1->isEnabled());
  const auto exported = [&](const char* name, const std::function<void()>& command) {
    box.Shown.clear();
    const std::string path = (workDir.Path() / name).string();
    exportChoice = TExportChoice{TExportFormat::Csv, QString::fromStdString(path)};
    command();
    EXPECT_TRUE(std::filesystem::exists(path)) << name;
    return box.Shown.empty() ? std::string() : box.Shown.back().Text;
  };
  const size_t vessels = ExportSetOf(*window->ReplayShips(), true).Vessels.size();
  EXPECT_NE(exported("all.csv", [&] { window->Export1->trigger(); })
                .find("Exported " + std::to_string(vessels) + " vessels"),
            std::string::npos);

  TTrackReplayWindow& replay = Replay();
  ASSERT_NE(replay.Button_Export, nullptr);
  auto* selection = replay.List_Vessels->selectionModel();
  // A click, then a Ctrl click adds a second vessel.
  for (const auto& [row, keys] : {std::pair{0, Qt::KeyboardModifiers()}, std::pair{2, Qt::KeyboardModifiers(Qt::ControlModifier)}})
    QTest::mouseClick(replay.List_Vessels->viewport(), Qt::LeftButton, keys,
                      replay.List_Vessels->visualRect(replay.List_Vessels->model()->index(row, 0)).center());
  EXPECT_EQ(selection->selectedRows().size(), 2);
  EXPECT_NE(exported("two.csv", [&] { replay.Button_Export->click(); }).find("Exported 2 vessels"), std::string::npos);
  selection->clearSelection();
  replay.Edit_Filter->setText("SOPHIE");
  selection->clearSelection();
  EXPECT_NE(exported("shown.csv", [&] { replay.Button_Export->click(); }).find("Exported 2 vessels"),
            std::string::npos);

  exportChoice.reset();  // cancelled: nothing happens
  box.Shown.clear();
  window->Export1->trigger();
  EXPECT_TRUE(box.Shown.empty());
}

TEST_F(ReplayFixture, WithoutAKmlViewerTheDocumentIsNamedAndTheWindowOpens) {
  opener.HasApplication = false;
  window->BitBtn_GoogleClick();
  const std::string path = (workDir.Path() / "SD_Belumar.kml").string();
  EXPECT_TRUE(opener.Opened.empty());
  EXPECT_TRUE(window->Memo1->toPlainText().endsWith(QString::fromStdString("Document: " + path)));
  ASSERT_EQ(box.Shown.size(), 1u);
  EXPECT_EQ(box.Shown[0].Caption, "Information");
  EXPECT_EQ(box.Shown[0].Text, "No program for KML documents is installed. The document was saved as " + path +
                                   "; Pelorin shows the tracks in its Track Replay window.");
  ASSERT_NE(window->Form_TrackReplay, nullptr);
  EXPECT_TRUE(window->Form_TrackReplay->isVisible());
}

// The sample's first vessel (after the own one) with two points some seconds apart.
struct TKnownStep {
  uint32_t Vessel = 0;
  TWorldPoint A, B;
  double TimeA = 0, TimeB = 0;
};

TKnownStep FindStep(const TReplayModel& model, const TShipList& ships) {
  for (uint32_t v = 1; v < model.Vessels.size(); ++v) {
    const TStatic& ship = ships[model.Vessels[v].Entry];
    for (size_t k = 0; k + 1 < ship.aPlot.size(); ++k) {
      const TDynamic &a = ship.aPlot[k], &b = ship.aPlot[k + 1];
      const int64_t ta = PointSeconds(ship.aPlot, a), tb = PointSeconds(ship.aPlot, b);
      if (!HasValidPosition(ship.aPlot, a) || !HasValidPosition(ship.aPlot, b) || tb - ta < 4 || tb - ta > kGapSeconds) continue;
      return {v, LatLonToWorld(LatDegrees(a), LonDegrees(a)), LatLonToWorld(LatDegrees(b), LonDegrees(b)), double(ta),
              double(tb)};
    }
  }
  ADD_FAILURE() << "no vessel with a step";
  return {};
}

TEST_F(ReplayFixture, SliderPutsAVesselAtItsInterpolatedPlaceAndAClickSelectsIt) {
  window->BitBtn_GoogleClick();
  TTrackReplayWindow& replay = Replay();
  const TReplayModel& model = replay.Model();
  const TKnownStep step = FindStep(model, *window->ReplayShips());
  const double quarter = step.TimeA + (step.TimeB - step.TimeA) / 4;
  replay.Slider_Time->setValue(static_cast<int>(std::ceil(quarter) - static_cast<double>(model.StartSeconds)));
  const double f = (std::ceil(quarter) - step.TimeA) / (step.TimeB - step.TimeA);
  const auto marker = std::ranges::find(replay.Map->Frame().Markers, step.Vessel, &TMarker::Vessel);
  ASSERT_NE(marker, replay.Map->Frame().Markers.end());
  const TViewTransform& view = replay.Map->View();
  const double worldX = step.A.X + f * (step.B.X - step.A.X) + marker->Shift;
  EXPECT_NEAR(marker->X, ScreenX(view, worldX), 0.5);
  EXPECT_NEAR(marker->Y, ScreenY(view, step.A.Y + f * (step.B.Y - step.A.Y)), 0.5);

  // A click 5 pixels beside the marker selects it and fills the info panel.
  QTest::mouseClick(replay.Map, Qt::LeftButton, Qt::NoModifier, QPoint(int(marker->X) + 5, int(marker->Y)));
  EXPECT_EQ(replay.Map->Selected(), static_cast<int64_t>(step.Vessel));
  const TStatic& ship = (*window->ReplayShips())[model.Vessels[step.Vessel].Entry];
  EXPECT_TRUE(replay.Label_Info->text().contains(QString::fromStdString(ship.MMSI)));
  // Far from every vessel: the selection goes.
  QTest::mouseClick(replay.Map, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_EQ(replay.Map->Selected(), -1);
  // A click on the timeline moves the replay there.
  TTimelineStrip* strip = replay.Strip_Timeline;
  QTest::mouseClick(strip, Qt::LeftButton, Qt::NoModifier, QPoint((strip->width() - 1) / 2, 5));
  EXPECT_NEAR(replay.Time(), static_cast<double>(model.StartSeconds + model.EndSeconds) / 2,
              static_cast<double>(model.EndSeconds - model.StartSeconds) / strip->width() + 1);
}

TEST_F(ReplayFixture, FilterNarrowsTheListAndARowSelectsAndCentres) {
  window->BitBtn_GoogleClick();
  TTrackReplayWindow& replay = Replay();
  QAbstractItemModel* list = replay.List_Vessels->model();
  const int all = list->rowCount();
  ASSERT_EQ(all, static_cast<int>(replay.Model().Vessels.size()));
  const struct {
    const char* Filter;
    const char* Expect;
  } cases[] = {{"sophie", "SOPHIE BREMEN"}, {"9108", "SOPHIE BREMEN"}, {"970575", "SART 970575026"}};
  for (const auto& c : cases) {
    QTest::keyClicks(replay.Edit_Filter, c.Filter);
    const int rows = list->rowCount();
    EXPECT_LT(rows, all) << c.Filter;
    EXPECT_FALSE(list->match(list->index(0, 0), Qt::DisplayRole, c.Expect, 1, Qt::MatchExactly).isEmpty()) << c.Filter;
    replay.Edit_Filter->clear();
  }
  for (const TReplayVessel& v : replay.Model().Vessels) {
    const std::string& callSign = (*window->ReplayShips())[v.Entry].CallSign;
    if (callSign.empty() || callSign == "n.a.") continue;
    QTest::keyClicks(replay.Edit_Filter, QString::fromStdString(callSign).toLower());
    EXPECT_FALSE(list->match(list->index(0, 0), Qt::DisplayRole, QString::fromStdString(v.Name).trimmed(), 1,
                                 Qt::MatchExactly)
                     .isEmpty());
    replay.Edit_Filter->clear();
    break;
  }
  QTest::keyClicks(replay.Edit_Filter, "no such vessel");
  EXPECT_EQ(list->rowCount(), 0);
  replay.Edit_Filter->clear();

  // Sorted by points, most first; then by name.
  replay.List_Vessels->sortByColumn(TVesselListModel::Points, Qt::DescendingOrder);
  for (int r = 1; r < list->rowCount(); ++r)
    EXPECT_GE(list->index(r - 1, TVesselListModel::Points).data().toInt(),
              list->index(r, TVesselListModel::Points).data().toInt());
  replay.List_Vessels->sortByColumn(TVesselListModel::Name, Qt::AscendingOrder);
  EXPECT_EQ(list->index(0, 0).data().toString(), "BUGSIER 11");

  const QModelIndex row = list->index(2, 0);
  emit replay.List_Vessels->clicked(row);
  const int64_t chosen = static_cast<TVesselListModel*>(list)->VesselAt(2);
  EXPECT_EQ(replay.Map->Selected(), chosen);
  const TVesselState state = VesselAt(replay.Model(), static_cast<uint32_t>(chosen), replay.Time());
  if (state.Visible) {
    const TViewTransform& view = replay.Map->View();
    EXPECT_NEAR(ScreenX(view, state.Position.X), replay.Map->width() / 2.0, 1.0);
  }
}

// The "Encounters" tab on the sample card (ENCOUNTER_NM=5 in the fixture's settings): the
// own-ship table by distance, a row chosen sets the clock, both vessels and the line; the
// measuring tool by Shift + drag and by a right click beside every vessel.
TEST_F(ReplayFixture, EncountersTabShowsTheClosestMomentAndTheMapMeasures) {
  window->BitBtn_GoogleClick();
  TTrackReplayWindow& replay = Replay();
  replay.Tabs_Side->setCurrentIndex(1);  // starts the search
  QAbstractItemModel* own = replay.Table_OwnShip->model();
  ASSERT_EQ(own->rowCount(), static_cast<int>(replay.Model().Vessels.size()) - 1);
  EXPECT_EQ(own->index(0, 0).data().toString(), "970575026");
  EXPECT_EQ(own->index(0, 2).data().toString(), "1.66");
  EXPECT_TRUE(replay.Label_Encounters->text().contains("within 5 NM"));
  EXPECT_GE(replay.Table_Encounters->model()->rowCount(), 2);

  emit replay.Table_OwnShip->clicked(own->index(0, 0));
  EXPECT_EQ(ReplayTimeText(replay.Time()), "2011-04-07 23:58:24");
  const TReplayModel& model = replay.Model();
  ASSERT_GE(replay.Map->Selected(), 0);
  EXPECT_EQ(model.Vessels[static_cast<size_t>(replay.Map->Selected())].Entry, 0u);
  EXPECT_NEAR(replay.Map->MeasureText().section(' ', 0, 0).toDouble(), 1.66, 0.02);
  EXPECT_TRUE(replay.Label_Info->text().contains("970575026") && replay.Label_Info->text().contains("211512340"));
  EXPECT_EQ(replay.List_Vessels->selectionModel()->selectedRows().size(), 2);

  replay.Table_OwnShip->sortByColumn(2, Qt::DescendingOrder);
  EXPECT_EQ(own->index(0, 1).data().toString(), "ELISABETH AURORA");

  const QPoint from(100, 100), to(200, 100);
  QTest::mousePress(replay.Map, Qt::LeftButton, Qt::ShiftModifier, from);
  QTest::mouseMove(replay.Map, to);
  QTest::mouseRelease(replay.Map, Qt::LeftButton, Qt::ShiftModifier, to);
  EXPECT_TRUE(replay.Map->MeasureText().endsWith("090°")) << replay.Map->MeasureText().toStdString();
  QTest::mouseClick(replay.Map, Qt::RightButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_TRUE(replay.Map->MeasureText().isEmpty());

  // The reception range's outline: one point per degree heard, gone when unticked.
  replay.Check_Range->setChecked(true);
  const QString heard = replay.statusBar()->currentMessage();
  ASSERT_TRUE(heard.startsWith("Reception range: ")) << heard.toStdString();
  EXPECT_GT(heard.section(' ', 2, 2).toInt(), 10);
}

// "Save Picture…" writes the map as shown at the window's size or twice it; a path that
// cannot be written is said on the status bar, a cancelled dialog writes nothing.
TEST_F(ReplayFixture, SavePictureWritesTheMapAtOneOrTwiceTheSize) {
  window->BitBtn_GoogleClick();
  QString answer;
  TReplayWindowOptions options;
  options.ChoosePicturePath = [&answer](QWidget*, const QString&) -> std::optional<QString> {
    if (answer.isEmpty()) return std::nullopt;
    return answer;
  };
  TTrackReplayWindow replay(options);
  replay.SetShips(window->ReplayShips(), true);
  replay.show();
  QApplication::processEvents();
  const QList<QAction*> sizes = replay.Button_SavePicture->menu()->actions();
  ASSERT_EQ(sizes.size(), 2);
  for (int ratio : {1, 2}) {
    answer = QString::fromStdString((workDir.Path() / ("map" + std::to_string(ratio) + ".png")).string());
    sizes[ratio - 1]->trigger();
    const QImage saved(answer);
    EXPECT_EQ(saved.size(), replay.Map->size() * ratio);
    EXPECT_TRUE(replay.statusBar()->currentMessage().startsWith("The picture was saved as"));
  }
  answer = "/nonexistent/folder/map.png";
  sizes[0]->trigger();
  EXPECT_TRUE(replay.statusBar()->currentMessage().startsWith("The picture could not be saved as /nonexistent"));
  replay.statusBar()->clearMessage();
  answer.clear();
  sizes[0]->trigger();
  EXPECT_TRUE(replay.statusBar()->currentMessage().isEmpty());
}

// The density of a new view is counted beside the window: the first frame shows the map
// without it, a saved picture waits for it, and the window shows the same once it is done;
// a new table while a count runs stops it.
TEST_F(ReplayFixture, DensityIsCountedBesideTheWindowAndAPictureWaitsForIt) {
  window->BitBtn_GoogleClick();
  QString path = QString::fromStdString((workDir.Path() / "density.png").string());
  TReplayWindowOptions options;
  options.ChoosePicturePath = [&path](QWidget*, const QString&) -> std::optional<QString> { return path; };
  TTrackReplayWindow replay(options);
  replay.SetShips(window->ReplayShips(), true);
  replay.Check_AllTracks->setChecked(true);
  replay.Combo_AllTracks->setCurrentIndex(1);
  replay.show();
  const auto shown = [&replay] { return replay.Map->grab().toImage().convertToFormat(QImage::Format_RGB32); };
  const QImage counting = shown();
  replay.Button_SavePicture->menu()->actions()[0]->trigger();
  const QImage saved = QImage(path).convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(saved.size(), counting.size());
  EXPECT_NE(saved, counting);
  QTRY_COMPARE(shown(), saved);
  replay.Map->ZoomBy(2);
  EXPECT_NE(shown(), saved);  // the counts stretched while the new scale is counted
  replay.Check_AllTracks->setChecked(false);  // stops the count
  replay.Check_AllTracks->setChecked(true);
  replay.SetShips(window->ReplayShips(), true);
}

// A table without a single valid position, and no land file: the window says so and its
// clock does nothing.
TEST(TrackReplayWindow, EmptyTableAndMissingLandFileAreSaidAndHarmless) {
  TReplayWindowOptions options;
  options.LandFile = "/nonexistent/ne_50m_land.pn2";
  TTrackReplayWindow window(options);
  auto ships = std::make_shared<TShipList>(2);
  (*ships)[1].MMSI = "211000001";
  (*ships)[1].aPlot.emplace_back().Lat_Raw = 91 * 600000;
  window.SetShips(ships, true);
  window.show();
  QApplication::processEvents();
  EXPECT_FALSE(window.statusBar()->currentMessage().isEmpty());
  EXPECT_EQ(window.Label_Info->text(), "No positions in this window");
  EXPECT_FALSE(window.Slider_Time->isEnabled());
  window.SetPlaying(true);
  window.StepMinutes(5);
  window.Advance(10);
  EXPECT_FALSE(window.Playing());
  EXPECT_EQ(window.List_Vessels->model()->rowCount(), 0);
  QTest::mouseClick(window.Map, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  EXPECT_EQ(window.Map->Selected(), -1);
}

}  // namespace
}  // namespace pelorin
