#include "framework/WinApp.h"

#include "framework/ModalUi.h"
#include "framework/OperatingSystem.h"
#include "framework/Platform.h"
#include "framework/Utf8Path.h"

#include <cstdio>
#include <exception>

namespace quorvel::fw {
namespace {

CWinApp *g_application = nullptr;
std::optional<DialogColours> g_dialogColours;
ModalUi *g_modalUi = nullptr;

int RunApplication(int argc, char **argv, std::function<void()> drive) {
  CWinApp *application = AfxGetApp();
  if (!application)
    return 1;
  os::PrepareProcess();
  CString problem;
  if (!platform::OpenDisplay(argc, argv, application->m_pszAppName, problem)) {
    std::fprintf(stderr, "%s: %s\n", application->m_pszAppName.c_str(), problem.c_str());
    return 1;
  }
  if (drive)
    platform::PostTask(std::move(drive));
  application->InitInstance();
  platform::CloseDisplay();
  return 0;
}

} // namespace

CWinApp::CWinApp() { g_application = this; }

CWinApp::~CWinApp() {
  if (g_application == this)
    g_application = nullptr;
}

BOOL CWinApp::InitInstance() { return FALSE; }

void CWinApp::SetDialogBkColor(COLORREF background, COLORREF text) {
  g_dialogColours = {background, text};
}

void CWinApp::DoWaitCursor(int code) {
  if (code > 0) {
    if (m_nWaitCursorCount++ == 0)
      platform::ShowWaitCursor(true);
    return;
  }
  if (code < 0) {
    if (m_nWaitCursorCount > 0 && --m_nWaitCursorCount == 0)
      platform::ShowWaitCursor(false);
    return;
  }
  if (m_nWaitCursorCount > 0)
    platform::ShowWaitCursor(true);
}

CWinApp *AfxGetApp() { return g_application; }

void AfxEnableControlContainer() {}

void AfxWinInit(const CString &executablePath) {
  if (CWinApp *application = AfxGetApp())
    application->m_pszAppName = Utf8FromPath(PathFromUtf8(executablePath).stem());
}

int AfxWinMain(int argc, char **argv) {
  AfxWinInit(os::ExecutablePath(argc > 0 ? argv[0] : nullptr));
  return RunApplication(argc, argv, {});
}

int AfxWinMainDriven(int argc, char **argv, const CString &applicationName,
                     const std::function<void()> &drive) {
  if (CWinApp *application = AfxGetApp())
    application->m_pszAppName = applicationName;
  return RunApplication(argc, argv, [drive] {
    drive();
    CWinApp *application = AfxGetApp();
    if (CWnd *mainWindow = application ? application->m_pMainWnd : nullptr)
      mainWindow->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    else
      // A start-up that runs a window without making it the main one still ends.
      platform::CloseModalWindow();
  });
}

int AfxMessageBox(const CString &text, UINT type) {
  if (!(type & MB_ICONMASK))
    type |= MB_ICONEXCLAMATION;
  CWinApp *application = AfxGetApp();
  CWnd *mainWindow = application ? application->m_pMainWnd : nullptr;
  return GetModalUi().MessageBox({mainWindow ? mainWindow->m_hWnd : nullptr, text,
                                  application ? application->m_pszAppName : CString{}, type});
}

std::optional<DialogColours> AfxGetDialogColours() { return g_dialogColours; }

void ReportEscapedFailure() {
  CString text;
  try {
    throw;
  } catch (const std::exception &failure) {
    const std::string_view what = failure.what();
    text = what.substr(0, Utf8PrefixLength(what, kFailureReportBufferSize - 1));
  } catch (...) {
    text = "The operation stopped because of an unexpected failure.";
  }
  try {
    AfxMessageBox(text, MB_ICONSTOP);
  } catch (...) {
    // Nothing is left to tell the user with.
  }
}

ModalUi &GetModalUi() { return g_modalUi ? *g_modalUi : platform::PlatformModalUi(); }

void SetModalUi(ModalUi *modalUi) { g_modalUi = modalUi; }

} // namespace quorvel::fw
