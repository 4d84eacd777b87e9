#pragma once
// The user's default locale as a Windows locale identifier (LCID), which spreadsheet
// automation expects; derived from the POSIX locale environment.
#include <cstdint>
#include <string_view>

namespace pelorin {

inline constexpr int32_t kLcidEnglishUS = 1033;

// "de_DE.UTF-8", "en_GB", "fr" ... -> LCID; unknown, empty, "C" and "POSIX" -> 1033.
int32_t LcidFromLocaleName(std::string_view name);

// LC_ALL, else LC_NUMERIC, else LANG (the first that is set and not empty).
int32_t GetUserDefaultLCID();

// This year by the local clock (2000 when the clock cannot be read).
int LocalYear();

}  // namespace pelorin
