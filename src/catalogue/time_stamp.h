#pragma once
// Turning the texts of the time readers ("dd.mm.yy", "hh:mm:ss") into a TDateTime.
#include <string_view>

#include "codec/tdatetime.h"
#include "codec/time_sentence_year.h"

namespace pelorin {

// False when a text is not made of the expected numbers or names an impossible date or
// time (month 13, hour 25): such a line counts as having no time stamp.
bool ReadTimeStamp(std::string_view date, std::string_view time, int currentYear, TDateTime& stamp);

}  // namespace pelorin
