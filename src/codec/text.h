#pragma once
// Display texts of decoded values. A track point's texts are the compact kinds of
// short_text.h instead; readers treat both as read-only strings (size, data, ==, empty,
// conversion to std::string_view).
#include <string>
#include <string_view>

namespace pelorin {
using TText = std::string;
}
