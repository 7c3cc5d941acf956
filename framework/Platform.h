#pragma once

#include "framework/Wnd.h"

#include <functional>

namespace quorvel::fw {
class ModalUi;
}

namespace quorvel::res {
struct DialogTemplate;
}

// What the framework asks of the window system beyond single windows. The backend implements
// every operation declared here.
namespace quorvel::fw::platform {

// Null when the program can reach no display; `problem` then says why.
bool OpenDisplay(int &argc, char **argv, CString &problem);
void CloseDisplay();

// The dialog window with every control of the template, hidden. `owner` may be null.
HWND CreateDialogWindow(const res::DialogTemplate &dialogTemplate, HWND owner);
void ShowDialogWindow(HWND dialog);
// Puts the focus on the first control that takes it by tabbing.
void FocusFirstTabStop(HWND dialog);
// Processes events until EndModalLoop; the dialog takes all input meanwhile.
void RunModalLoop(HWND dialog);
void EndModalLoop(HWND dialog);

void ShowWaitCursor(bool shown);
// Calls `task` from the event loop's next turn.
void PostTask(std::function<void()> task);
// Closes the modal window in front, as its Close command does, if there is one.
void CloseModalWindow();

// The modal windows of the platform itself.
ModalUi &PlatformModalUi();

} // namespace quorvel::fw::platform
