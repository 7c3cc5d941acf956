// One split driven through the main dialog off-screen, as the user runs it: the Split button's
// command, each piece reported to the bar and the status line and repainted at once.
//   dialog_split_bench SOURCE DEST_FOLDER
// Prints the seconds the split took, the pieces, the repaints and the pixels they painted.

#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/WinApp.h"
#include "framework/qt/QtWindowPeer.h"

#include <QApplication>

#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

using namespace quorvel;
using namespace quorvel::fw;

class SilentModalUi final : public ModalUi {
public:
  int MessageBox(const MessageBoxRequest &request) override {
    lastText = request.text;
    return IDOK;
  }
  std::optional<CString> OpenFile(const FileOpenRequest &) override { return source; }
  std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &) override {
    return FolderChoice{folder};
  }

  CString source, folder, lastText;
};

class CountingDialog final : public SplitterDialog {
public:
  void UpdateWindow() override {
    ++repaints;
    SplitterDialog::UpdateWindow();
  }
  long repaints = 0;
};

std::uint64_t PaintedPixels(QWidget *dialog) {
  std::uint64_t total = dynamic_cast<qt::QtWindowPeer *>(dialog)->PaintedPixels();
  for (QObject *child : dialog->children())
    if (auto *control = dynamic_cast<qt::QtWindowPeer *>(child))
      total += control->PaintedPixels();
  return total;
}

void Click(CWnd &dialog, int id) {
  dialog.m_hWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dialog_split_bench SOURCE DEST_FOLDER\n");
    return 2;
  }
  std::signal(SIGXFSZ, SIG_IGN);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  SplitterApp splitter;
  AfxWinInit("/usr/bin/quorvel-splitter");
  splitter.SetDialogBkColor(RGB(160, 180, 220), RGB(0, 0, 0));
  SilentModalUi modal;
  modal.source = argv[1];
  modal.folder = argv[2];
  SetModalUi(&modal);

  CountingDialog dialog;
  dialog.Create();
  splitter.m_pMainWnd = &dialog;
  Click(dialog, 4);
  Click(dialog, 5);
  QApplication::processEvents();
  QWidget *window = dynamic_cast<QWidget *>(dialog.m_hWnd);
  dialog.CWnd::UpdateWindow();
  const std::uint64_t paintedBefore = PaintedPixels(window);

  const auto start = std::chrono::steady_clock::now();
  Click(dialog, 1);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

  const std::uint64_t painted = PaintedPixels(window) - paintedBefore;
  const std::uint64_t dialogArea = static_cast<std::uint64_t>(window->width()) * window->height();
  std::printf("split %.4f s, %s, %ld repaints, %.0f pixels per repaint (%.1f%% of the dialog)\n",
              took.count(), modal.lastText.c_str(), dialog.repaints,
              dialog.repaints ? double(painted) / dialog.repaints : 0.0,
              dialog.repaints
                  ? 100.0 * double(painted) / double(dialog.repaints) / double(dialogArea)
                  : 0.0);
  splitter.m_pMainWnd = nullptr;
  SetModalUi(nullptr);
  return modal.lastText == "Splitted successfully" ? 0 : 1;
}
