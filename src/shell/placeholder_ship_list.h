#pragma once
// A plain grid of the ship list, used while the sheet window with its workbook export is
// not part of the build.
#include "platform/ship_list_view.h"

class QWidget;

namespace pelorin {

class TPlaceholderShipListView : public TShipListView {
 public:
  explicit TPlaceholderShipListView(QWidget* parent = nullptr) : parent_(parent) {}
  void ShowShipList(const TShipList& ships) override;

 private:
  QWidget* parent_;
};

}  // namespace pelorin
