#pragma once
// What a static report changes in its vessel's entry, by the report's kind.
#include "codec/ais_records.h"

namespace pelorin {

// A usable message 5 (msgId 5) or part of message 24 (MsgID_24A, MsgID_24B), decoded into
// `rec`, copied into `ship`. The own vessel's reports keep its IMO and call sign.
void MergeStaticReport(TStatic& ship, const TStatic& rec, int msgId, bool own);
// A safety broadcast (message 14) marks its sender.
void MergeSafetyBroadcast(TStatic& ship, TStatic&& rec);

}  // namespace pelorin
