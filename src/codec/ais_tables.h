#pragma once
#include <string_view>

#include "codec/short_text.h"

namespace pelorin {

// Texts live in static storage: records may share them.
std::string_view NavStatusText(unsigned code);
// NavStatusText(code) as a shared text, made once.
const TSharedText& NavStatusShared(unsigned code);
std::string_view EPFDText(unsigned code);
std::string_view ShipTypeText(unsigned code);

}  // namespace pelorin
