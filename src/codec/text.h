#pragma once
// Display texts of decoded values. Kept behind one alias so that the track's storage can
// be made compact without touching its readers: treat a TText as a read-only string
// (size, data, ==, empty, conversion to std::string_view).
#include <string>
#include <string_view>

namespace pelorin {
using TText = std::string;
}
