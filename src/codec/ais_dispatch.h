#pragma once
// What becomes of a message, by its identifier: the one table that the workers' decoding,
// the log pass and the payload check read.
#include <cstdint>

namespace pelorin {

enum class TMsgKind : uint8_t { Unused, ClassA, ClassB, Static5, Static24A, Static24B, Safety14 };

struct TMsgRule {
  TMsgKind Kind = TMsgKind::Unused;
  unsigned MinPayloadChars = 0;  // shorter payloads are counted, not decoded
};

// For AIS_MsgID's identifiers (MsgID_24A and MsgID_24B for the parts of message 24).
TMsgRule AIS_MsgRule(int msgId);

}  // namespace pelorin
