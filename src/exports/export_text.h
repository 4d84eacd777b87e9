#pragma once
// Number and time texts of the export formats, appended to a reused buffer without
// allocating once it has grown.
#include <cstdint>
#include <string>
#include <string_view>

#include "codec/tdatetime.h"

namespace pelorin {

// Degrees with 6 decimals: 1/10,000 minute is 1/600,000 degree, so the sender's value
// comes back by rounding.
void AppendDegrees(std::string& out, double degrees);
// Any number with `decimals` decimals ("6.431").
void AppendFixed(std::string& out, double value, int decimals);
// "12.3" from 123.
void AppendTenths(std::string& out, int tenths);
void AppendInt(std::string& out, int64_t value);
// YYYY-MM-DDTHH:MM:SS of the log's seconds (TDateTimeToSeconds), "Z" appended when
// asked; false, and nothing appended, for a year outside 0..9999.
bool AppendUtcTime(std::string& out, int64_t seconds, bool zone);
// `text` with every byte that is not part of well-formed UTF-8 as U+FFFD.
void AppendUtf8(std::string& out, std::string_view text);
// The civil parts of the log's seconds; false for a year outside 0..9999 (a damaged date).
bool UtcPartsOf(int64_t seconds, TDateParts& parts);
// The IMO number of the table's text (30 bits, up to ten digits); 0 when none.
uint32_t ImoNumberOf(std::string_view text);
// A length or draught text of the ship table as metres; false for "n.a." and other texts.
// "> 25 m" is the sender's 25.5, its largest value.
bool MetresOf(std::string_view text, double& metres);

}  // namespace pelorin
