#pragma once
// Sentence splitting, classification, checksum, and the two small time readers of the scan.
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The numbers matter: 0 and 1 are AIS sentences, 2 and 3 time sentences.
enum TSentenceKind : unsigned char { sk_AIS = 0, sk_OwnAIS = 1, sk_RMC = 2, sk_ZDA = 3, sk_Other = 4 };

// Views into the line passed to NMEA_Split; valid while that line's text lives.
using TFieldList = std::vector<std::string_view>;

// Clears `fields`, then fills it (also for sk_Other). Never allocates once `fields`
// has grown to the line's field count.
TSentenceKind NMEA_Split(std::string_view line, TFieldList& fields);
bool NMEA_ChecksumOK(std::string_view line);
// The kind NMEA_Split gives a sentence whose first field is `tag`, before its checksum test.
TSentenceKind NMEA_TagKind(std::string_view tag);
bool NMEA_HasTag(std::string_view line, std::string_view tag);
// date "dd.mm.yy", time "hh:mm:ss"; written only on success.
bool NMEA_RMC_DateTime(std::string_view line, std::string& date, std::string& time);
bool NMEA_ZDA_DateTime(std::string_view line, std::string& date, std::string& time);

}  // namespace pelorin
