// Shows the main dialog in the middle of a long split for a while, then cancels the split and
// ends, so that a picture of the run can be taken from outside, ten seconds in all:
// scripts/screenshot-windows.sh OUT.png running.

#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"
#include "res/DialogTemplates.h"
#include "res/Resources.h"
#include "tools/SlowRunDialog.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace quorvel;
using namespace quorvel::fw;

// Chooses the source and the folder of the run; no box shows.
class ScriptedChoices final : public ModalUi {
public:
  int MessageBox(const MessageBoxRequest &) override { return IDOK; }
  std::optional<CString> OpenFile(const FileOpenRequest &) override { return source; }
  std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &) override {
    return FolderChoice{folder};
  }

  CString source, folder;
};

void Click(CWnd &dialog, unsigned id) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
}

class RunningDialogApp final : public CWinApp {
public:
  BOOL InitInstance() override {
    AfxSetResourceHandle(&res::ProgramResources());
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / "quorvel-running-dialog";
    std::filesystem::create_directories(work / "pieces");
    // About twelve seconds at the slowed pace.
    std::ofstream(work / "holiday-video.mp4", std::ios::binary) << std::string(64'000'000, 'q');
    ScriptedChoices choices;
    choices.source = (work / "holiday-video.mp4").string();
    choices.folder = (work / "pieces").string();
    SetModalUi(&choices);

    tools::SlowRunDialog dialog;
    m_pMainWnd = &dialog;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::function<void()> cancelLater = [&] {
      if (std::chrono::steady_clock::now() >= until)
        return Click(dialog, res::IDC_EXIT);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      platform::PostTask(cancelLater);
    };
    platform::PostTask([&] {
      Click(dialog, res::IDC_BROWSE_SOURCE);
      Click(dialog, res::IDC_BROWSE_DEST);
      platform::PostTask(cancelLater);
      Click(dialog, res::IDC_SPLIT);
      dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    m_pMainWnd = nullptr;
    SetModalUi(nullptr);
    std::filesystem::remove_all(work);
    return FALSE;
  }
};

RunningDialogApp theApp;

} // namespace
