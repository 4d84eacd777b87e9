#include "codec/ais_dispatch.h"

#include "codec/ais_bits.h"

namespace pelorin {

TMsgRule AIS_MsgRule(int msgId) {
  switch (msgId) {
    case 1:
    case 2:
    case 3: return {TMsgKind::ClassA, 23};
    case 18: return {TMsgKind::ClassB, 28};
    case 5: return {TMsgKind::Static5, 70};
    case 14: return {TMsgKind::Safety14, 7};
    case MsgID_24A: return {TMsgKind::Static24A, 27};
    case MsgID_24B: return {TMsgKind::Static24B, 28};
    default: return {};
  }
}

}  // namespace pelorin
