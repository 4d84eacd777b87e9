#include "shell/encounter_table_model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "codec/point_texts.h"
#include "codec/vessel_rules.h"
#include "encounters/encounter_report.h"

namespace pelorin {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

double Number(uint32_t value) { return static_cast<double>(value); }

double MMSIKey(const TStatic& ship) {
  uint32_t n = 0;
  return MMSINumberOf(ship.MMSI, n) ? Number(n) : kNone;
}

// The reported speed (course: `course`) at or before the moment, in tenths.
double ReportedKey(const TMotionTrack& track, int64_t seconds, bool course) {
  const TDynamic* report = ReportAt(track, seconds);
  if (report == nullptr) return kNone;
  const int tenths = course ? CourseTenths(*report) : SpeedTenths(*report);
  return tenths < 0 ? kNone : tenths;
}

}  // namespace

void TEncounterTableModel::SetResults(std::shared_ptr<const TEncounterResults> results) {
  beginResetModel();
  results_ = std::move(results);
  cachedItem_ = SIZE_MAX;
  rows_.resize(Count());
  std::iota(rows_.begin(), rows_.end(), 0u);
  endResetModel();
}

size_t TEncounterTableModel::Count() const {
  if (!results_) return 0;
  return kind_ == TKind::OwnShip ? results_->Own.size() : results_->Encounters.size();
}

bool TEncounterTableModel::RowPair(int row, size_t& entryA, size_t& entryB, int64_t& seconds) const {
  if (!results_ || row < 0 || static_cast<size_t>(row) >= rows_.size()) return false;
  const size_t item = rows_[static_cast<size_t>(row)];
  if (kind_ == TKind::OwnShip) {
    const TOwnApproach& a = results_->Own[item];
    entryA = 0, entryB = a.Entry, seconds = a.Closest.Seconds;
    return a.Closest.Found;
  }
  const TEncounter& e = results_->Encounters[item];
  entryA = e.EntryA, entryB = e.EntryB, seconds = e.Stretch.Closest.Seconds;
  return true;
}

int TEncounterTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TEncounterTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(kOwnApproachColumns.size());
}

QVariant TEncounterTableModel::data(const QModelIndex& index, int role) const {
  if (!results_ || !index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) return {};
  const size_t item = rows_[static_cast<size_t>(index.row())];
  const bool name = index.column() == 1 || (kind_ == TKind::Encounters && index.column() == 3);
  if (role == Qt::TextAlignmentRole)
    return QVariant::fromValue(name ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (item != cachedItem_) {
    cachedCells_ = kind_ == TKind::OwnShip ? OwnApproachCells(*results_->Ships, results_->Fleet, results_->Own[item])
                                           : EncounterCells(*results_->Ships, results_->Encounters[item]);
    cachedItem_ = item;
  }
  const std::string& cell = cachedCells_[static_cast<size_t>(index.column())];
  return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

QVariant TEncounterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
      static_cast<size_t>(section) >= kOwnApproachColumns.size())
    return {};
  return QString(kind_ == TKind::OwnShip ? kOwnApproachColumns[static_cast<size_t>(section)]
                                         : kEncounterColumns[static_cast<size_t>(section)]);
}

double TEncounterTableModel::NumberKey(size_t item, int column) const {
  const TShipList& ships = *results_->Ships;
  if (kind_ == TKind::OwnShip) {
    const TOwnApproach& a = results_->Own[item];
    if (column == 0) return MMSIKey(ships[a.Entry]);
    if (!a.Closest.Found) return kNone;
    const TApproach& c = a.Closest;
    switch (column) {
      case 2: return c.DistanceNM;
      case 3: return static_cast<double>(c.Seconds);
      case 4: return c.Bearing;
      case 5: return ReportedKey(results_->Fleet.Tracks[0], c.Seconds, false);
      case 6: return ReportedKey(results_->Fleet.Tracks[0], c.Seconds, true);
      case 7: return ReportedKey(results_->Fleet.Tracks[a.Motion], c.Seconds, false);
      case 8: return ReportedKey(results_->Fleet.Tracks[a.Motion], c.Seconds, true);
      default: return c.RelativeKn;
    }
  }
  const TEncounter& e = results_->Encounters[item];
  const TApproach& c = e.Stretch.Closest;
  switch (column) {
    case 0: return MMSIKey(ships[e.EntryA]);
    case 2: return MMSIKey(ships[e.EntryB]);
    case 4: return c.DistanceNM;
    case 5: return static_cast<double>(c.Seconds);
    case 6: return c.Bearing;
    case 7: return c.RelativeKn;
    case 8: return static_cast<double>(e.Stretch.Start);
    default: return static_cast<double>(e.Stretch.End);
  }
}

void TEncounterTableModel::sort(int column, Qt::SortOrder order) {
  if (!results_ || column < 0 || column >= columnCount()) return;
  emit layoutAboutToBeChanged();
  const bool descending = order == Qt::DescendingOrder;
  std::vector<uint32_t> items(Count());
  std::iota(items.begin(), items.end(), 0u);
  const bool name = column == 1 || (kind_ == TKind::Encounters && column == 3);
  if (name) {
    std::vector<QString> keys(items.size());
    for (uint32_t i : items) {
      const TStatic& ship = (*results_->Ships)[kind_ == TKind::OwnShip ? results_->Own[i].Entry
                                               : column == 1 ? results_->Encounters[i].EntryA
                                                             : results_->Encounters[i].EntryB];
      keys[i] = QString::fromStdString(VesselTitle(ship));
    }
    std::stable_sort(items.begin(), items.end(), [&](uint32_t x, uint32_t y) {
      const int c = QString::compare(keys[x], keys[y], Qt::CaseInsensitive);
      return descending ? c > 0 : c < 0;
    });
  } else {
    std::vector<double> keys(items.size());
    for (uint32_t i : items) keys[i] = NumberKey(i, column);
    // Rows without a value stay last either way.
    std::stable_sort(items.begin(), items.end(), [&](uint32_t x, uint32_t y) {
      if (std::isnan(keys[x]) || std::isnan(keys[y])) return !std::isnan(keys[x]) && std::isnan(keys[y]);
      return descending ? keys[x] > keys[y] : keys[x] < keys[y];
    });
  }
  rows_ = std::move(items);
  emit layoutChanged();
}

}  // namespace pelorin
