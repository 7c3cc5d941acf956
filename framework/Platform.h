#pragma once

#include "framework/Wnd.h"

#include <functional>

namespace quorvel::fw {
class ModalUi;
struct DialogTemplate;
} // namespace quorvel::fw

// What the framework asks of the window system. The backend implements every operation declared
// here.
namespace quorvel::fw::platform {

// False when the program can reach no display; `problem` then says why. `applicationName` names
// the program to the desktop.
bool OpenDisplay(int &argc, char **argv, const CString &applicationName, CString &problem);
void CloseDisplay();

// The object that the window's messages reach, or null.
CWnd *AttachedObject(HWND window);
// Null takes the object away; the window's messages then get the platform's own handling.
void AttachObject(HWND window, CWnd *object);
// With its children; the handle is invalid afterwards.
void DestroyWindow(HWND window);
CRect ClientRect(HWND window);
DWORD Style(HWND window);
// The window's dots per inch, 96 being 100 %; with a null window, the display's. 96 where the
// window system scales the program's pixels itself.
UINT Dpi(HWND window);
CString Text(HWND window);
void SetText(HWND window, const CString &text);
// What assistive technology calls the window, in place of its text.
void SetAccessibleName(HWND window, const CString &name);
bool IsEnabled(HWND window);
void Enable(HWND window, bool enabled);
// The child window with this control ID, or null.
HWND Child(HWND window, UINT controlId);
void Focus(HWND window);
bool IsMinimized(HWND window);
// The window menu; null when the window has none.
HMENU SystemMenu(HWND window);
// Widens the dropped-down list of a combo box, never the box, to show its widest entry whole.
void FitDroppedWidth(HWND combo);
// Whether files dropped on the window reach it as WM_DROPFILES.
void AcceptDroppedFiles(HWND window, bool accept);
std::vector<CString> DroppedPaths(HDROP drop);
// Null rect: the whole client area.
void Invalidate(HWND window, const CRect *rect, bool erase);
// Paints the invalid part now, if there is one.
void Update(HWND window);
// Through the attached object, when there is one.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// With `text` in lParam as the window system's own characters, terminated by a zero.
LRESULT SendText(HWND window, UINT message, WPARAM wParam, const CString &text);
// The platform's own handling of a message.
LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The dialog window with every control of the template, hidden. `owner` may be null.
HWND CreateDialogWindow(const DialogTemplate &dialogTemplate, HWND owner);
void ShowDialogWindow(HWND dialog);
// Puts the focus on the first control that takes it by tabbing.
void FocusFirstTabStop(HWND dialog);
// Processes events until EndModalLoop; the dialog takes all input meanwhile.
void RunModalLoop(HWND dialog);
void EndModalLoop(HWND dialog);

void ShowWaitCursor(bool shown);
// While the wait cursor shows, the mouse over `window` keeps the arrow.
void KeepArrowCursor(HWND window, bool keep);
// Calls `task` from the event loop's next turn. Safe from any thread; the task runs on the
// window system's.
void PostTask(std::function<void()> task);
// Processes events, the keys of `dialog` as its modal loop takes them, for as long as `running`
// says, which it is asked before each wait for the next event. Something that makes it false
// posts a task to end the wait.
void RunLoopWhile(HWND dialog, const std::function<bool()> &running);
// Closes the modal window in front, as its Close command does, if there is one.
void CloseModalWindow();

// The modal windows of the platform itself.
ModalUi &PlatformModalUi();

} // namespace quorvel::fw::platform
