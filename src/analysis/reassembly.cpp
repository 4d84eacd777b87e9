#include "analysis/reassembly.h"

namespace pelorin {

TPartOutcome ReassembleParts(TNMEA_Multi& multi, TPartDigit count, TPartDigit number, std::string_view id,
                             std::string_view& payload, std::string& joined, TLineAccount& account) {
  if (count == pd_One) return TPartOutcome::Message;
  if (count == pd_Two && number == pd_One) {
    if (multi.Stored && !multi.Joined) ++account.FirstPartsUnjoined;
    multi.Joined = false;
    multi.NMEA_No.assign(id);
    multi.NMEA_Part = "1";
    multi.AIS_Msg.assign(payload);
    multi.Stored = true;
    return TPartOutcome::Kept;
  }
  if (count == pd_Two && multi.Stored && id == multi.NMEA_No) {
    // Without a stored first part a second part would be decoded on its own, from bits
    // that belong in the middle of a message.
    if (!multi.Joined) ++account.FirstPartsJoined;
    multi.Joined = true;
    multi.NMEA_Part = "2";
    joined.assign(multi.AIS_Msg);
    joined.append(payload);
    payload = joined;
    return TPartOutcome::Message;
  }
  if (count == pd_Two)
    ++account.SecondPartsAlone;
  else
    ++account.PartCountOther;
  return TPartOutcome::Dropped;
}

bool TakeMessage5(TNMEA_Multi& multi, TPartDigit number) {
  if (multi.NMEA_Part == "1" || number != pd_Two) return false;
  multi.NMEA_Part = "0";
  return true;
}

void EndReassembly(const TNMEA_Multi& multi, TLineAccount& account) {
  if (multi.Stored && !multi.Joined) ++account.FirstPartsUnjoined;
}

}  // namespace pelorin
