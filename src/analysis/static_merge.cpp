#include "analysis/static_merge.h"

#include <utility>

#include "codec/ais_bits.h"

namespace pelorin {

namespace {

void CopyVoyage(TStatic& ship, const TStatic& rec) {
  ship.ShipsType = rec.ShipsType;
  ship.ShipsTypeCode = rec.ShipsTypeCode;
  ship.Dimension = rec.Dimension;
  ship.GNSS = rec.GNSS;
  ship.ETA = rec.ETA;
  ship.Draught = rec.Draught;
  ship.Destination = rec.Destination;
  ship.VendorID = rec.VendorID;
}

}  // namespace

// Copies into the entry's texts, whose memory (from earlier reports) is used again.
void MergeStaticReport(TStatic& ship, const TStatic& rec, int msgId, bool own) {
  ship.MMSI = rec.MMSI;
  if (own) {
    if (msgId == MsgID_24A) {
      ship.ShipName = rec.ShipName;
      return;
    }
    ship.AISclass = rec.AISclass;
    CopyVoyage(ship, rec);
    ++ship.Num_Msg5;
    return;
  }
  ship.AISclass = rec.AISclass;
  ship.IMO = rec.IMO;
  ship.CallSign = rec.CallSign;
  if (msgId == MsgID_24A) {
    ship.ShipName = rec.ShipName;
    return;
  }
  if (msgId == 5) ship.ShipName = rec.ShipName;
  CopyVoyage(ship, rec);
  ++ship.Num_Msg5;
}

void MergeSafetyBroadcast(TStatic& ship, TStatic&& rec) {
  ship.MMSI = std::move(rec.MMSI);
  ship.AISclass = std::move(rec.AISclass);
  ++ship.Num_Msg14;
}

}  // namespace pelorin
