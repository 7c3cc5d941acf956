#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program and UTF-16 at every Windows call; the one conversion of both
// the file layer and the window system's backend.
namespace quorvel::win32 {

// Bytes that are not UTF-8 become U+FFFD, as text shown to the user may.
std::wstring Utf16FromUtf8(std::string_view text);
// False for text that is not UTF-8, which no Windows name can be: two such names must never
// become one.
bool ToWide(std::string_view text, std::wstring &wide);
// Unpaired surrogates become U+FFFD.
std::string Utf8FromUtf16(std::wstring_view text);

} // namespace quorvel::win32
