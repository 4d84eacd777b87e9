#include "shell/vessel_list_model.h"

#include <algorithm>
#include <string_view>

namespace pelorin {

namespace {

bool ContainsNoCase(std::string_view text, const std::string& lowerNeedle) {
  if (lowerNeedle.size() > text.size()) return false;
  const auto it = std::search(text.begin(), text.end(), lowerNeedle.begin(), lowerNeedle.end(), [](char a, char b) {
    return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
  });
  return it != text.end();
}

}  // namespace

void TVesselListModel::SetVessels(const TReplayModel* model, const TShipList* ships) {
  beginResetModel();
  model_ = model;
  ships_ = ships;
  Rebuild();
  endResetModel();
}

void TVesselListModel::SetFilter(const QString& text) {
  beginResetModel();
  filter_ = text.trimmed().toLower();
  Rebuild();
  endResetModel();
}

void TVesselListModel::Rebuild() {
  rows_.clear();
  if (!model_ || !ships_) return;
  const std::string needle = filter_.toStdString();
  for (uint32_t v = 0; v < model_->Vessels.size(); ++v) {
    if (!needle.empty()) {
      const TReplayVessel& vessel = model_->Vessels[v];
      const TStatic& ship = (*ships_)[vessel.Entry];
      if (!ContainsNoCase(vessel.Name, needle) && !ContainsNoCase(ship.MMSI, needle) &&
          !ContainsNoCase(ship.CallSign, needle))
        continue;
    }
    rows_.push_back(v);
  }
  if (sortColumn_ < 0) return;
  const auto key = [this](uint32_t v) -> std::string_view {
    const TReplayVessel& vessel = model_->Vessels[v];
    const TStatic& ship = (*ships_)[vessel.Entry];
    return sortColumn_ == Name ? std::string_view(vessel.Name)
           : sortColumn_ == MMSI ? std::string_view(ship.MMSI)
                                 : std::string_view(ship.AISclass);
  };
  const bool up = sortOrder_ == Qt::AscendingOrder;
  if (sortColumn_ == Points) {
    std::stable_sort(rows_.begin(), rows_.end(), [&](uint32_t a, uint32_t b) {
      const uint32_t ca = model_->Vessels[a].Count, cb = model_->Vessels[b].Count;
      return up ? ca < cb : cb < ca;
    });
  } else {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [&](uint32_t a, uint32_t b) { return up ? key(a) < key(b) : key(b) < key(a); });
  }
}

void TVesselListModel::sort(int column, Qt::SortOrder order) {
  emit layoutAboutToBeChanged();
  sortColumn_ = column;
  sortOrder_ = order;
  Rebuild();
  emit layoutChanged();
}

int64_t TVesselListModel::VesselAt(int row) const {
  return row >= 0 && static_cast<size_t>(row) < rows_.size() ? rows_[static_cast<size_t>(row)] : -1;
}

int TVesselListModel::RowOf(int64_t vessel) const {
  const auto it = std::find(rows_.begin(), rows_.end(), static_cast<uint32_t>(vessel));
  return vessel < 0 || it == rows_.end() ? -1 : static_cast<int>(it - rows_.begin());
}

int TVesselListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TVesselListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TVesselListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) return {};
  const TReplayVessel& vessel = model_->Vessels[rows_[static_cast<size_t>(index.row())]];
  const TStatic& ship = (*ships_)[vessel.Entry];
  switch (index.column()) {
    case Name: return VesselDisplayName(vessel);
    case MMSI: return QString::fromStdString(ship.MMSI);
    case Class: return QString::fromStdString(ship.AISclass);
    case Points: return static_cast<qulonglong>(vessel.Count);
    default: return {};
  }
}

QVariant TVesselListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  switch (section) {
    case Name: return QStringLiteral("Name");
    case MMSI: return QStringLiteral("MMSI");
    case Class: return QStringLiteral("Class");
    case Points: return QStringLiteral("Points");
    default: return {};
  }
}

}  // namespace pelorin
