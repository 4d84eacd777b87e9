#include "codec/ais_records.h"

namespace pelorin {

void ClearStatic(TStatic& s) {
  for (TText* text : {&s.MMSI, &s.AISclass, &s.IMO, &s.CallSign, &s.ShipName, &s.ShipsType, &s.Dimension.Laenge,
                      &s.Dimension.Breite, &s.GNSS, &s.ETA, &s.Draught, &s.Destination, &s.VendorID, &s.NavStatus})
    text->clear();
  s.ShipsTypeCode = -1;
  s.Num_Msg5 = 0;
  s.Num_Msg14 = 0;
  s.LastReport = 0;
  s.aPlot.clear();
}

}  // namespace pelorin
