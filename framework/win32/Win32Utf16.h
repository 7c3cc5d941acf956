#pragma once

#include "base/win32/Utf16.h"

// The framework's UTF-8 texts as the W functions take and give them.
namespace quorvel::fw::win32 {

using quorvel::win32::Utf16FromUtf8;
using quorvel::win32::Utf8FromUtf16;

} // namespace quorvel::fw::win32
