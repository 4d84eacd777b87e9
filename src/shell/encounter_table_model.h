#pragma once
// The Track Replay window's two tables of who came close: each vessel's closest approach
// to the own ship, and every encounter. Cells are made when shown, sorting works on the
// values behind them through an index array: a busy day has some hundred thousand rows.
#include <cstdint>
#include <memory>
#include <vector>

#include <QAbstractTableModel>

#include "codec/ais_records.h"
#include "encounters/encounter_report.h"
#include "encounters/encounter_tables.h"

namespace pelorin {

// One search's results, with the table and motions they refer to.
struct TEncounterResults {
  std::shared_ptr<const TShipList> Ships;
  TFleetMotion Fleet;
  std::vector<TOwnApproach> Own;
  std::vector<TEncounter> Encounters;
  double RangeNM = kDefaultEncounterNM;
};

class TEncounterTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum class TKind { OwnShip, Encounters };
  TEncounterTableModel(TKind kind, QObject* parent) : QAbstractTableModel(parent), kind_(kind) {}

  // Null: an empty table.
  void SetResults(std::shared_ptr<const TEncounterResults> results);
  // A row's two vessels (table entries; the own ship first in its table) and the moment
  // of their closest approach; false for a vessel that never shared time with the own ship.
  bool RowPair(int row, size_t& entryA, size_t& entryB, int64_t& seconds) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  size_t Count() const;
  double NumberKey(size_t item, int column) const;  // NaN: no value (sorted last)

  TKind kind_;
  std::shared_ptr<const TEncounterResults> results_;
  std::vector<uint32_t> rows_;  // items in display order
  // A view asks for a row's cells one by one; the row is made once for all ten.
  mutable size_t cachedItem_ = SIZE_MAX;
  mutable TEncounterRow cachedCells_;
};

}  // namespace pelorin
