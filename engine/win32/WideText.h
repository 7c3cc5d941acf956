#pragma once

#include <string>
#include <string_view>

namespace quorvel::win32 {

// Text is UTF-8 inside the program and UTF-16 at every Windows call. Returns false for text that
// is not UTF-8, which no Windows name can be.
bool ToWide(std::string_view text, std::wstring &wide);
// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::wstring_view wide);

// The path as the W functions take it. One too long for MAX_PATH is given as the "\\?\" form of
// its full path, which has no such limit. False for a path that cannot name a file: not UTF-8, or
// with a name longer than any Windows file system takes.
bool ToWindowsPath(std::string_view path, std::wstring &windowsPath);

} // namespace quorvel::win32
