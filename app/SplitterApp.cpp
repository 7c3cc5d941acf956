#include "app/SplitterApp.h"

#include "app/SplitterDialog.h"
#include "engine/StagedFile.h"
#include "framework/Mutex.h"
#include "res/Messages.h"
#include "framework/ResourceModule.h"
#include "framework/RunningCopy.h"
#include "res/Look.h"

#include <array>

namespace quorvel {

using namespace fw;

SplitterApp::SplitterApp() = default;

SplitterApp::~SplitterApp() = default;

std::span<const CommandMapEntry> SplitterApp::GetMessageMap() const {
  static const std::array kMessageMap{
      CommandMapEntry{ID_HELP, BN_CLICKED, Handler(&SplitterApp::OnHelp)},
  };
  return kMessageMap;
}

BOOL SplitterApp::InitInstance() {
  AfxSetResourceHandle(&res::ProgramResources());
  res::DeclareFaceStandIns();
  AfxEnableControlContainer();
  Enable3dControlsStatic();
  // Held until the process ends; the system frees it then, however the process ends.
  CreateMutex(nullptr, TRUE, m_pszAppName);
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    // The copy that runs comes to the front instead, as desktop programs do.
    BringRunningCopyToFront(m_pszAppName);
    return FALSE;
  }
  SetDialogBkColor(res::ColourRef(res::kDialogColour), res::ColourRef(res::kDialogTextColour));
  // Closing the program from outside while it splits must not leave a half-written piece behind.
  RemoveTemporaryFilesOnInterrupt();

  SplitterDialog dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}

void SplitterApp::OnHelp() {
  AfxMessageBox(res::Fill(res::Texts().noHelp, {m_pszAppName}), MB_ICONINFORMATION);
}

bool DriveSplitterApp(int argc, char **argv, const std::function<void(SplitterDialog &)> &drive) {
  SplitterApp application;
  bool driven = false;
  AfxWinMainDriven(argc, argv, "quorvel-splitter", [&] {
    auto *dialog = dynamic_cast<SplitterDialog *>(application.m_pMainWnd);
    if (!dialog)
      return;
    driven = true;
    drive(*dialog);
  });
  return driven;
}

} // namespace quorvel
