// Takes the pictures of the main dialog, its boxes and the about box that the look of the program
// is judged by. Run it on a display with a window manager; tools/take-screenshots.sh does.
//   quorvel-screenshots OUTPUT_FOLDER

#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/qt/QtWindowPeer.h"
#include "res/DialogTemplates.h"
#include "tools/SlowRunDialog.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

using namespace quorvel;
using namespace quorvel::fw;

std::filesystem::path g_output;

// Lets the window manager frame and map what was shown.
void Settle() {
  for (int round = 0; round < 10; ++round) {
    QApplication::processEvents();
    QThread::msleep(40);
  }
}

void Grab(QWidget *window, const std::string &name) {
  Settle();
  const QRect frame = window->frameGeometry();
  const QPixmap shot =
      window->screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
  const std::string path = (g_output / (name + ".png")).string();
  shot.save(QString::fromStdString(path));
  std::printf("%s\n", path.c_str());
}

// Shows the platform's own boxes, takes a picture of each and closes it; answers the file and
// folder choices from the script. Before the box that stops a split half-way, it takes the
// picture of the dialog as the split left it.
class PictureModalUi final : public ModalUi {
public:
  std::string nextBoxName;
  QWidget *halfWayDialog = nullptr;
  CString nextFile;
  CString nextFolder;

  int MessageBox(const MessageBoxRequest &request) override {
    if (halfWayDialog)
      Grab(std::exchange(halfWayDialog, nullptr), "3-splitting");
    const std::string name = nextBoxName;
    QTimer::singleShot(0, [name] {
      QWidget *box = QApplication::activeModalWidget();
      Grab(box, name);
      qobject_cast<QDialog *>(box)->accept();
    });
    return platform::PlatformModalUi().MessageBox(request);
  }
  std::optional<CString> OpenFile(const FileOpenRequest &) override { return nextFile; }
  std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &) override {
    return FolderChoice{nextFolder};
  }
};

void Click(CWnd &dialog, unsigned id) {
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
}

// Presses a key where the focus is, as the user types it.
void Press(QWidget *window, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(window->focusWidget(), &press);
  QApplication::sendEvent(window->focusWidget(), &release);
}

// A long split in its middle, in a dialog of its own over the main one: what would start another
// run disabled, Exit reading Cancel; the picture is taken once the first piece shows, and the run
// cancelled.
void TakeRunningPicture(PictureModalUi &modal, const std::filesystem::path &work) {
  tools::SlowRunDialog running;
  running.Create();
  modal.nextFile = (work / "holiday-video.mp4").string();
  modal.nextFolder = (work / "running").string();
  Click(running, res::IDC_BROWSE_SOURCE);
  Click(running, res::IDC_BROWSE_DEST);
  std::function<void()> watch = [&] {
    CString status;
    running.GetDlgItem(static_cast<int>(res::IDC_STATUS))->GetWindowText(status);
    if (status == "Status")
      return platform::PostTask(watch);
    Grab(qt::WidgetOf(running.m_hWnd), "7-running");
    Click(running, res::IDC_EXIT);
  };
  platform::PostTask(watch);
  Click(running, res::IDC_SPLIT);
  QApplication::processEvents();
}

// The dialog in split mode with its files chosen, the notice its split ends with, and the dialog
// switched to join mode from the keyboard.
void TakeModePictures(SplitterDialog &dialog, PictureModalUi &modal,
                      const std::filesystem::path &work) {
  QWidget *window = qt::WidgetOf(dialog.m_hWnd);
  modal.nextFile = (work / "holiday-video.mp4").string();
  modal.nextFolder = (work / "pieces").string();
  Click(dialog, res::IDC_BROWSE_SOURCE);
  Click(dialog, res::IDC_BROWSE_DEST);
  Grab(window, "1-split-mode");

  modal.nextBoxName = "4-notice";
  Click(dialog, res::IDC_SPLIT);

  // Six Tabs from Split reach the mode, and the right arrow switches it.
  Settle();
  for (int tab = 0; tab < 6; ++tab)
    Press(window, Qt::Key_Tab);
  Press(window, Qt::Key_Right);
  modal.nextFile = (work / "pieces" / "1_holiday-video.mp4").string();
  Click(dialog, res::IDC_BROWSE_SOURCE);
  Grab(window, "2-join-mode");
}

// Back in split mode, a folder in the place of the fifth piece stops the split half-way.
void TakeStoppedSplitPictures(SplitterDialog &dialog, PictureModalUi &modal,
                              const std::filesystem::path &work) {
  QWidget *window = qt::WidgetOf(dialog.m_hWnd);
  Press(window, Qt::Key_Left);
  modal.nextFile = (work / "holiday-video.mp4").string();
  modal.nextFolder = (work / "blocked").string();
  Click(dialog, res::IDC_BROWSE_SOURCE);
  Click(dialog, res::IDC_BROWSE_DEST);
  modal.halfWayDialog = window;
  modal.nextBoxName = "5-file-error";
  Click(dialog, res::IDC_SPLIT);
}

void TakeAboutPicture(SplitterDialog &dialog) {
  QTimer::singleShot(0, [] {
    QWidget *about = QApplication::activeModalWidget();
    Grab(about, "6-about");
    qt::PeerOfWidget(about)->Send(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
  });
  dialog.SendMessage(WM_SYSCOMMAND, res::IDM_ABOUTBOX);
}

void TakePictures(SplitterDialog &dialog, PictureModalUi &modal,
                  const std::filesystem::path &work) {
  TakeModePictures(dialog, modal, work);
  TakeStoppedSplitPictures(dialog, modal, work);
  TakeAboutPicture(dialog);
  TakeRunningPicture(modal, work);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvel-screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  g_output = argv[1];
  std::filesystem::create_directories(g_output);

  const std::filesystem::path work = std::filesystem::temp_directory_path() / "quorvel-screenshots";
  std::filesystem::create_directories(work / "pieces");
  std::filesystem::create_directories(work / "running");
  std::filesystem::create_directories(work / "blocked" / "5_holiday-video.mp4");
  std::ofstream(work / "holiday-video.mp4", std::ios::binary) << std::string(11'000'000, 'q');

  PictureModalUi modal;
  SetModalUi(&modal);
  const bool started = DriveSplitterApp(
      argc, argv, [&](SplitterDialog &dialog) { TakePictures(dialog, modal, work); });
  SetModalUi(nullptr);
  std::filesystem::remove_all(work);
  if (!started) {
    std::fprintf(stderr, "quorvel-screenshots: the dialog did not start (is a copy running?)\n");
    return 1;
  }
  return 0;
}
