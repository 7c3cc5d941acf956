// One split driven through the main dialog off-screen, as the user runs it: the Split button's
// command, each piece reported to the bar and the status line and repainted at once.
//   dialog_split_bench SOURCE DEST_FOLDER
// Prints the seconds the split took, the pieces, and the pixels repainted per piece.

#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/qt/QtWindowPeer.h"
#include "res/DialogTemplates.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>

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

std::uint64_t PaintedPixels(QWidget *dialog) {
  std::uint64_t total = qt::PeerOfWidget(dialog)->PaintedPixels();
  for (QObject *child : dialog->children())
    if (auto *control = qt::PeerOfWidget(child))
      total += control->PaintedPixels();
  return total;
}

void Click(CWnd &dialog, unsigned id) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: dialog_split_bench SOURCE DEST_FOLDER\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  SilentModalUi modal;
  modal.source = argv[1];
  modal.folder = argv[2];
  SetModalUi(&modal);

  const bool started = DriveSplitterApp(argc, argv, [&modal](SplitterDialog &dialog) {
    Click(dialog, res::IDC_BROWSE_SOURCE);
    Click(dialog, res::IDC_BROWSE_DEST);
    QApplication::processEvents();
    QWidget *window = qt::WidgetOf(dialog.m_hWnd);
    dialog.CWnd::UpdateWindow();
    const std::uint64_t paintedBefore = PaintedPixels(window);

    const auto start = std::chrono::steady_clock::now();
    Click(dialog, res::IDC_SPLIT);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;

    // The dialog repaints once per piece.
    const auto pieces = std::distance(std::filesystem::directory_iterator(modal.folder),
                                      std::filesystem::directory_iterator());
    const std::uint64_t painted = PaintedPixels(window) - paintedBefore;
    const double dialogArea = double(window->width()) * window->height();
    const double perPiece = pieces ? double(painted) / double(pieces) : 0.0;
    std::printf("split %.4f s, %s, %ld pieces, %.0f pixels repainted per piece (%.1f%% of the "
                "dialog)\n",
                took.count(), modal.lastText.c_str(), static_cast<long>(pieces), perPiece,
                100.0 * perPiece / dialogArea);
  });
  SetModalUi(nullptr);
  if (!started) {
    std::fprintf(stderr, "dialog_split_bench: the dialog did not start (is a copy running?)\n");
    return 1;
  }
  return modal.lastText == "Splitted successfully" ? 0 : 1;
}
