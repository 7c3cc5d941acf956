#pragma once

#include "framework/Types.h"

// The dialog colours in the system's windows: the program's dialogs and the message boxes. The
// system's own colours are user32's GetSysColor.
namespace quorvel::fw::win32 {

// For a WM_CTLCOLOR* message: sets the dialog colours on `dc` and returns their brush, or null
// while the program keeps the system's colours.
HBRUSH PaintInDialogColours(HDC dc);

bool IsColourMessage(UINT message);

} // namespace quorvel::fw::win32
