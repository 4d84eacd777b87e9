#pragma once
// Messages of two sentences: a first part is kept until its second part comes.
#include <string>
#include <string_view>

#include "analysis/line_account.h"
#include "analysis/line_records.h"

namespace pelorin {

// TNMEA_Multi: the reassembly state of one pass.
struct TNMEA_Multi {
  std::string NMEA_No;
  std::string NMEA_Part;
  std::string AIS_Msg;
  bool Stored = false;  // a first part has been stored in this pass
  bool Joined = false;  // the stored first part has been joined (and counted so)
};

// What an AIS sentence's fields 1 and 2 make of it. Message: `payload` is the message to
// decode (for a second part, the two joined in `joined`). Kept: a first part, stored.
// Dropped: counted in `account`, nothing to decode.
enum class TPartOutcome { Message, Kept, Dropped };
TPartOutcome ReassembleParts(TNMEA_Multi& multi, TPartDigit count, TPartDigit number, std::string_view id,
                             std::string_view& payload, std::string& joined, TLineAccount& account);

// Message 5 is taken only as the second part of two, once for its first part.
bool TakeMessage5(TNMEA_Multi& multi, TPartDigit number);

// At the end of a pass: a first part never joined is counted.
void EndReassembly(const TNMEA_Multi& multi, TLineAccount& account);

}  // namespace pelorin
