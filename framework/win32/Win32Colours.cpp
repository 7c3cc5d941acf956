#include "framework/win32/Win32Colours.h"

#include "framework/WinApp.h"

namespace quorvel::fw::win32 {

bool IsColourMessage(UINT message) {
  return message == WM_CTLCOLORDLG || message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN ||
         message == WM_CTLCOLORMSGBOX;
}

HBRUSH PaintInDialogColours(HDC dc) {
  const auto colours = AfxGetDialogColours();
  if (!colours)
    return nullptr;
  // One brush for the program's life, remade only if the colours change.
  static HBRUSH brush = nullptr;
  static COLORREF brushColour = 0;
  if (!brush || brushColour != colours->background) {
    if (brush)
      ::DeleteObject(brush);
    brush = ::CreateSolidBrush(colours->background);
    brushColour = colours->background;
  }
  ::SetTextColor(dc, colours->text);
  ::SetBkColor(dc, colours->background);
  return brush;
}

} // namespace quorvel::fw::win32
