#pragma once

#include "framework/Types.h"

#include <string>
#include <string_view>

// The framework's UTF-8 texts as the W functions take and give them.
namespace quorvel::fw::win32 {

std::wstring Utf16FromUtf8(std::string_view text);
CString Utf8FromUtf16(std::wstring_view text);

} // namespace quorvel::fw::win32
