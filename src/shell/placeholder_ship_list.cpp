#include "shell/placeholder_ship_list.h"

#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "output/ship_grid.h"

namespace pelorin {

void TPlaceholderShipListView::ShowShipList(const TShipList& ships) {
  QDialog dialog(parent_);
  dialog.setWindowTitle("Ship-List");
  auto* layout = new QVBoxLayout(&dialog);
  const TShipGrid grid = ShipGridCells(ships);
  auto* table = new QTableWidget(static_cast<int>(grid.size()), kShipGridColumns, &dialog);
  table->horizontalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  for (int r = 0; r < static_cast<int>(grid.size()); ++r)
    for (int c = 0; c < kShipGridColumns; ++c)
      table->setItem(r, c, new QTableWidgetItem(QString::fromStdString(grid[static_cast<size_t>(r)][static_cast<size_t>(c)])));
  for (int c = 0; c < kShipGridColumns; ++c) table->setColumnWidth(c, ShipGridColumns[static_cast<size_t>(c)].Width);
  layout->addWidget(table);
  dialog.resize(900, 500);
  dialog.exec();
}

}  // namespace pelorin
