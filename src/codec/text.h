#pragma once
// Display texts of decoded values. Track points keep numbers instead, and give their
// texts when read (point_texts.h).
#include <string>
#include <string_view>

namespace pelorin {
using TText = std::string;
}
