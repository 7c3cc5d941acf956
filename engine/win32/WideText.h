#pragma once

#include "base/win32/Utf16.h"

#include <string>
#include <string_view>

namespace quorvel::win32 {

// The path as the W functions take it. One too long for MAX_PATH is given as the "\\?\" form of
// its full path, which has no such limit. False for a path that cannot name a file: not UTF-8, or
// with a name longer than any Windows file system takes.
bool ToWindowsPath(std::string_view path, std::wstring &windowsPath);

} // namespace quorvel::win32
