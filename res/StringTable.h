#pragma once

#include "res/Language.h"

#include <string_view>

namespace quorvel::res {

inline constexpr unsigned IDS_ABOUTBOX = 101;
// The file-failure cause texts, one per cause, in cause order: the fifteen, then those added since.
inline constexpr unsigned IDS_FILE_CAUSE_FIRST = 61856;
inline constexpr unsigned IDS_FILE_CAUSE_LAST = 61873;

// The program's string table (UTF-8), in the user's language where a string has more than one.
// An id the table lacks gives the empty string, as a failed load does on Windows. (Not LoadString,
// which <windows.h> makes LoadStringW wherever it is included.)
std::string_view FindString(unsigned id);
std::string_view FindString(unsigned id, Language language);

} // namespace quorvel::res
