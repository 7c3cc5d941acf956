#pragma once

#include "framework/Wnd.h"

#include <functional>
#include <optional>

// The application object and the program's top level.
namespace quorvel::fw {

// The one application object of the program: constructing it makes it AfxGetApp().
class CWinApp : public CCmdTarget {
public:
  CWinApp();
  ~CWinApp() override;

  // Start-up; the program ends when it returns FALSE, as every dialog-based program does.
  virtual BOOL InitInstance();

  void Enable3dControlsStatic() {}
  // The background and text colours of every dialog and message box of the program.
  void SetDialogBkColor(COLORREF background = RGB(192, 192, 192), COLORREF text = RGB(0, 0, 0));
  // +1 shows the wait cursor, -1 takes one request back, 0 shows it again if requests remain.
  void DoWaitCursor(int code);
  // Icon group `resourceId` of the resource module, at the size an icon is drawn; null when
  // there is none.
  HICON LoadIcon(UINT resourceId) const;

  // The executable's file name without its extension.
  CString m_pszAppName;
  CWnd *m_pMainWnd = nullptr;

private:
  int m_nWaitCursorCount = 0;
};

CWinApp *AfxGetApp();
void AfxEnableControlContainer();
// Takes the application's name from the executable's path.
void AfxWinInit(const CString &executablePath);
// Runs the application object as the program's own main does: names it after the executable,
// opens the display and runs InitInstance. Returns the exit status.
int AfxWinMain(int argc, char **argv);
// Runs the application object in the same way for a program that works its windows itself, as
// the tests, the benchmarks and the screenshots do: under the name `applicationName`, with
// `drive` called from the event loop once start-up waits there, which is when the main window's
// modal loop has begun. When `drive` returns, the main window is closed as its Close command
// closes it. Returns the exit status.
int AfxWinMainDriven(int argc, char **argv, const CString &applicationName,
                     const std::function<void()> &drive);

// A box under the application's title, owned by its main window. Without an icon in `type`, the
// exclamation icon is shown.
int AfxMessageBox(const CString &text, UINT type = 0);

struct DialogColours {
  COLORREF background;
  COLORREF text;
};
// The platform's own until SetDialogBkColor.
std::optional<DialogColours> AfxGetDialogColours();

// Shows the failure that escaped a handler as the program's failure report.
void ReportEscapedFailure();

} // namespace quorvel::fw
