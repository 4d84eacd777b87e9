#pragma once
// The Track Replay window: the last completed run's vessels on a map, moving as the
// replay clock runs, with a vessel list, an info panel for the selected vessel and the
// clock's controls. Not modal; remembers nothing between program runs.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>

#include "codec/ais_records.h"
#include "encounters/encounter_tables.h"
#include "replay/land_file.h"
#include "replay/replay_model.h"
#include "shell/picture_file.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QSlider;
class QTabWidget;
class QTableView;
class QTimer;
class QToolButton;

namespace pelorin {

class TEncounterTableModel;
class TGuiProgressSink;
class TMapWidget;
class TStopKeyFilter;
class TTimelineStrip;
class TTileSource;
class TVesselListModel;
struct TEncounterResults;

struct TReplayWindowOptions {
  QString LandFile;      // Natural Earth land (".pn2"); a missing one leaves sea and graticule
  QString TileTemplate;  // online tiles ({z}/{x}/{y}); empty: offline map only
  QString TileCacheDir;  // empty: the user's cache folder
  // "Export…": the table entries of the chosen vessels. Null: no such button.
  std::function<void(const std::vector<size_t>& entries)> Export;
  double EncounterNM = kDefaultEncounterNM;  // the "Encounters" tab's range
  TPicturePathChooser ChoosePicturePath;  // "Save Picture…"; null: a save dialog
  QString EncounterNMError;                  // why the user's range was not taken
};

// Replay speeds, times real time.
inline constexpr int kReplaySpeeds[] = {1, 10, 60, 300, 1800, 3600};

class TTrackReplayWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit TTrackReplayWindow(TReplayWindowOptions options, QWidget* parent = nullptr);
  ~TTrackReplayWindow() override;

  // The table to show, kept alive by the window; allTracks false: the own track alone.
  void SetShips(std::shared_ptr<const TShipList> ships, bool allTracks);

  const TReplayModel& Model() const { return model_; }
  double Time() const { return time_; }
  void SetTime(double t);             // clamped to the span
  void StepMinutes(int minutes);
  void SetPlaying(bool on);
  bool Playing() const { return playing_; }
  // `fromList`: the list has made its own selection (a Ctrl or Shift click adds to it),
  // which is left as it is.
  void SelectVessel(int64_t vessel, bool centre, bool fromList = false);
  // Advances the clock as a timer tick does, by `realSeconds` times the speed.
  void Advance(double realSeconds);

  // The "Encounters" tab: searches the shown table (progress on the tab's bar, ESC
  // stops), once per table; showing the tab starts it.
  void SearchEncounters();
  // Writes the map as shown, `ratio` times the window's pixels each way, to a chosen file;
  // the outcome on the status bar.
  void SavePicture(double ratio);
  // A row chosen: the replay at the closest moment, both vessels selected, the map fitted
  // to them with the line between them.
  void ShowEncounter(size_t entryA, size_t entryB, int64_t seconds);

  TMapWidget* Map = nullptr;
  QSlider* Slider_Time = nullptr;
  TTimelineStrip* Strip_Timeline = nullptr;
  QToolButton* Button_Play = nullptr;
  QToolButton* Button_Back = nullptr;
  QToolButton* Button_Forward = nullptr;
  QLabel* Label_Time = nullptr;
  QComboBox* Combo_Speed = nullptr;
  QComboBox* Combo_Trail = nullptr;
  QCheckBox* Check_AllTracks = nullptr;
  QComboBox* Combo_AllTracks = nullptr;  // Lines / Density
  QCheckBox* Check_ByType = nullptr;
  QCheckBox* Check_Follow = nullptr;
  QCheckBox* Check_Range = nullptr;  // the reception range's outline on the map
  QLineEdit* Edit_Filter = nullptr;
  QTableView* List_Vessels = nullptr;
  QLabel* Label_Info = nullptr;
  QLabel* Label_Cursor = nullptr;
  QToolButton* Button_Export = nullptr;
  QToolButton* Button_SavePicture = nullptr;  // its menu: the window's size, or twice it
  QTabWidget* Tabs_Side = nullptr;
  QLabel* Label_OwnShip = nullptr;
  QLabel* Label_Encounters = nullptr;
  QTableView* Table_OwnShip = nullptr;
  QTableView* Table_Encounters = nullptr;
  QProgressBar* Bar_Encounters = nullptr;
  QToolButton* Button_Search = nullptr;

  // The entries "Export…" exports: the selected vessels, or with none selected those the
  // filter shows.
  std::vector<size_t> EntriesToExport() const;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  void BuildWindow();
  QWidget* BuildEncounterPage(QWidget* parent);
  void BuildShortcuts();
  void ChooseEncounterRow(const TEncounterTableModel* model, int row);
  QString VesselInfo(int64_t vessel) const;
  QString EncounterTitle() const;
  void ShowRangeOutline(bool on);
  void ShowTime();
  void ShowInfo();
  void Tick();

  TReplayWindowOptions options_;
  std::shared_ptr<const TShipList> ships_;
  TReplayModel model_;
  TLandMap land_;
  TTileSource* tiles_ = nullptr;
  TVesselListModel* list_ = nullptr;
  QTimer* timer_ = nullptr;
  QElapsedTimer clock_;
  double time_ = 0;
  bool playing_ = false;
  bool showingTime_ = false;

  std::vector<int64_t> vesselOfEntry_;  // the model's vessel of each table entry, or -1
  int64_t partner_ = -1;
  TEncounterTableModel* ownRows_ = nullptr;
  TEncounterTableModel* encounterRows_ = nullptr;
  std::shared_ptr<const TEncounterResults> results_;
  TStopKeyFilter* stopKey_ = nullptr;
  std::unique_ptr<TGuiProgressSink> sink_;
  bool searching_ = false;
  uint64_t shipsGeneration_ = 0;  // a new table while a search runs makes its result stale
  uint64_t searchedGeneration_ = UINT64_MAX;
  std::vector<TWorldPoint> rangeOutline_;  // made when first shown for a table
  bool rangeMade_ = false;
};

}  // namespace pelorin
