#pragma once

#include "framework/Wnd.h"

#include <filesystem>
#include <vector>

// What the application tests do to and read from the window system as a user sees it; each
// backend's tests implement it (tests/app/qt, tests/app/win32).
namespace quorvel::test {

using fw::CString;

// Before the application starts; `scratch` lives as long as the process.
void PrepareTestProcess(const std::filesystem::path &scratch);

// Presses and releases the left mouse button over a control, as the user clicks it.
void Click(HWND control);
bool IsShown(HWND window);
// Presses and releases Escape in the dialog, as its event loop takes keys.
void PressEscape(HWND dialog);
// Drops files or folders (UTF-8 paths) from a file manager onto a control, as a user does: the
// drop goes to the control or, when it takes no drops, to the nearest window around it that does.
void DropPaths(HWND control, const std::vector<CString> &paths);
// Handles what was posted meanwhile, as the event loop's next turn does.
void HandlePostedMessages();
// The control of `dialog` that holds the focus, or null.
HWND FocusedControl(HWND dialog);
CString SelectedText(HWND edit);
std::vector<CString> ComboItems(HWND combo);
// Picks an entry of a drop-down list as the user does, which tells the list's dialog.
void ChooseComboItem(HWND combo, int index);
// Whether the entry's text shows whole, in the closed box when it is chosen or in the list dropped
// down.
bool ShowsComboItemWhole(HWND combo, int index, bool dropped);
bool HasWindowIcon(HWND window);
HWND OwnerOf(HWND window);

struct MenuItem {
  bool separator;
  UINT id;
  CString text;
};
std::vector<MenuItem> SystemMenuItems(HWND window);

// A title, the window menu and the close button, and no box to minimize or maximize with.
void ExpectDialogFrame(HWND window);
// A pixel of the client area as last painted.
COLORREF PixelAt(HWND window, int x, int y);
// Whether the mouse over `window` shows the wait cursor.
bool ShowsWaitCursor(HWND window);

// The modal window in front, called from inside its modal loop.
HWND FrontModalWindow();
// A hidden top-level window without an object, whose platform handling appends each message it
// gets to `handedOn`, which must outlive it. The window's object destroys it.
HWND MakeBareWindow(std::vector<UINT> *handedOn);

} // namespace quorvel::test
