#pragma once
// The Track Replay window's vessel list: name, MMSI, class and points of every vessel of
// the model, sortable, narrowed by a filter on name, MMSI and call sign. Sorting and
// filtering work on an index array, so 100,000 vessels stay quick.
#include <cstdint>
#include <vector>

#include <QAbstractTableModel>
#include <QString>

#include "codec/ais_records.h"
#include "replay/replay_model.h"

namespace pelorin {

// A vessel's name as the window shows it: the KML document's, without the blanks that
// pad a name to its field's length.
inline QString VesselDisplayName(const TReplayVessel& vessel) { return QString::fromStdString(vessel.Name).trimmed(); }

class TVesselListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum TColumn { Name, MMSI, Class, Points, ColumnCount };

  using QAbstractTableModel::QAbstractTableModel;
  // Null model: an empty list.
  void SetVessels(const TReplayModel* model, const TShipList* ships);
  // Case-insensitive part of a name, MMSI or call sign; empty shows all.
  void SetFilter(const QString& text);
  // The model's vessel in a row, or -1; the row of a vessel, or -1 when filtered out.
  int64_t VesselAt(int row) const;
  int RowOf(int64_t vessel) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  void Rebuild();

  const TReplayModel* model_ = nullptr;
  const TShipList* ships_ = nullptr;
  QString filter_;
  int sortColumn_ = -1;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  std::vector<uint32_t> rows_;
};

}  // namespace pelorin
