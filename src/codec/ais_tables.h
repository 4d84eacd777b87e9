#pragma once
#include <string_view>

namespace pelorin {

// Texts live in static storage: records may share them.
std::string_view NavStatusText(unsigned code);
std::string_view EPFDText(unsigned code);
std::string_view ShipTypeText(unsigned code);

}  // namespace pelorin
