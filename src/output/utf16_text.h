#pragma once
// UTF-8 display text as UTF-16 code units, the form Excel files and automation hold text in.
#include <string>
#include <string_view>

namespace pelorin {

// Malformed sequences become U+FFFD each; never fails.
std::u16string Utf8ToUtf16(std::string_view text);

}  // namespace pelorin
