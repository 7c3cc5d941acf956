// One split driven through the main dialog off-screen, as the user runs it: the Split button's
// command, the copy on its worker thread and the pieces it reports shown on the bar and the status
// line, while another thread asks the window's thread every 10 ms, as a desktop pings a window.
//   dialog_split_bench SOURCE DEST_FOLDER
// Prints the seconds the split took, the pieces, the pixels repainted per piece, and the longest
// time the window's thread took to answer.

#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/qt/QtWindowPeer.h"
#include "res/DialogTemplates.h"

#include <QApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

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

// Asks the window's thread every 10 ms from its own and keeps the longest wait for the answer.
class Pinger {
public:
  Pinger() : m_thread([this] { Ask(); }) {}
  ~Pinger() { Stop(); }
  double Stop() {
    m_stop = true;
    if (m_thread.joinable())
      m_thread.join();
    return m_longest.count();
  }

private:
  struct Answer {
    std::mutex mutex;
    std::condition_variable given;
    bool answered = false;
  };
  void Ask() {
    while (!m_stop) {
      auto answer = std::make_shared<Answer>();
      const auto asked = std::chrono::steady_clock::now();
      platform::PostTask([answer] {
        std::lock_guard lock(answer->mutex);
        answer->answered = true;
        answer->given.notify_all();
      });
      std::unique_lock lock(answer->mutex);
      // The last one may go unanswered once the split has returned.
      if (!answer->given.wait_for(lock, std::chrono::seconds(1), [&] { return answer->answered; }))
        continue;
      m_longest = std::max<std::chrono::duration<double, std::milli>>(
          m_longest, std::chrono::steady_clock::now() - asked);
      lock.unlock();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::atomic<bool> m_stop = false;
  std::chrono::duration<double, std::milli> m_longest{0};
  std::thread m_thread;
};

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

    Pinger pinger;
    const auto start = std::chrono::steady_clock::now();
    Click(dialog, res::IDC_SPLIT);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    const double longestWait = pinger.Stop();

    // The dialog repaints once per piece.
    const auto pieces = std::distance(std::filesystem::directory_iterator(modal.folder),
                                      std::filesystem::directory_iterator());
    const std::uint64_t painted = PaintedPixels(window) - paintedBefore;
    const double dialogArea = double(window->width()) * window->height();
    const double perPiece = pieces ? double(painted) / double(pieces) : 0.0;
    std::printf("split %.4f s, %s, %ld pieces, %.0f pixels repainted per piece (%.1f%% of the "
                "dialog), longest wait for the window %.1f ms\n",
                took.count(), modal.lastText.c_str(), static_cast<long>(pieces), perPiece,
                100.0 * perPiece / dialogArea, longestWait);
  });
  SetModalUi(nullptr);
  if (!started) {
    std::fprintf(stderr, "dialog_split_bench: the dialog did not start (is a copy running?)\n");
    return 1;
  }
  return modal.lastText == "Splitted successfully" ? 0 : 1;
}
