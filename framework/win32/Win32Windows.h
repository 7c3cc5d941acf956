#pragma once

#include "framework/Types.h"

// What the Win32 backend's window parts share.
namespace quorvel::fw::win32 {

// For a WM_CTLCOLOR* message: sets the dialog colours on `dc` and returns their brush, or null
// while the program keeps the system's colours.
HBRUSH PaintInDialogColours(HDC dc);

bool IsColourMessage(UINT message);

} // namespace quorvel::fw::win32
