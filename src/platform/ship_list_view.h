#pragma once
// How the run shows the ship list: the desktop opens its sheet window (which fills its
// grid and exports the workbook); the command line prints the grid.
#include "codec/ais_records.h"

namespace pelorin {

class TShipListView {
 public:
  virtual ~TShipListView() = default;
  // Modal: returns when the user has closed the list.
  virtual void ShowShipList(const TShipList& ships) = 0;
};

}  // namespace pelorin
