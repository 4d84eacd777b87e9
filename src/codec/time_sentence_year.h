#pragma once
// The one rule by which a time sentence's year is read, by the scan and by the pass alike:
// the calendars and the tracks must put a receiver's "99" in the same century.
#include <string_view>

namespace pelorin {

// The year of two-digit `yy` that lies between 50 years before and 49 after `currentYear`.
int CenturyYear(int yy, int currentYear);

// `digits`: the year's two digits as the sentence gives them ($GPRMC date characters 5-6,
// ZDA year characters 3-4). False unless they are exactly two digits.
bool SentenceYear(std::string_view digits, int currentYear, int& year);

}  // namespace pelorin
