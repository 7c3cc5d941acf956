// Takes the pictures of the main dialog, its boxes and the about box that the look of the program
// is judged by. Run it on a display with a window manager; tools/take-screenshots.sh does.
//   quorvel-screenshots OUTPUT_FOLDER

#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/WinApp.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
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
// folder choices from the script.
class PictureModalUi final : public ModalUi {
public:
  std::string nextBoxName;
  CString nextFile;
  CString nextFolder;

  int MessageBox(const MessageBoxRequest &request) override {
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

// Takes its picture half-way through a split.
class PictureDialog final : public SplitterDialog {
public:
  void UpdateWindow() override {
    SplitterDialog::UpdateWindow();
    if (m_strStatus == "4Files created")
      Grab(dynamic_cast<QWidget *>(m_hWnd), "3-splitting");
  }
};

void Click(SplitterDialog &dialog, int id) {
  dialog.m_hWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED));
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quorvel-screenshots OUTPUT_FOLDER\n");
    return 2;
  }
  std::signal(SIGXFSZ, SIG_IGN);
  g_output = argv[1];
  std::filesystem::create_directories(g_output);
  QApplication application(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  SplitterApp splitter;
  AfxWinInit("/usr/bin/quorvel-splitter");
  splitter.SetDialogBkColor(RGB(160, 180, 220), RGB(0, 0, 0));

  const std::filesystem::path work = std::filesystem::temp_directory_path() / "quorvel-screenshots";
  std::filesystem::create_directories(work / "pieces");
  const std::string source = (work / "holiday-video.mp4").string();
  std::ofstream(source, std::ios::binary) << std::string(11'000'000, 'q');

  PictureModalUi modal;
  SetModalUi(&modal);
  PictureDialog dialog;
  dialog.Create();
  splitter.m_pMainWnd = &dialog;
  QWidget *window = dynamic_cast<QWidget *>(dialog.m_hWnd);

  modal.nextFile = source;
  modal.nextFolder = (work / "pieces").string();
  Click(dialog, 4);
  Click(dialog, 5);
  Grab(window, "1-split-mode");

  modal.nextBoxName = "4-notice";
  Click(dialog, 1);

  Click(dialog, 1018);
  modal.nextFile = (work / "pieces" / "1_holiday-video.mp4").string();
  Click(dialog, 4);
  Grab(window, "2-join-mode");

  Click(dialog, 1017);
  modal.nextFile = (work / "missing-file.iso").string();
  Click(dialog, 4);
  modal.nextBoxName = "5-file-error";
  Click(dialog, 1);

  QTimer::singleShot(0, [] {
    QWidget *about = QApplication::activeModalWidget();
    Grab(about, "6-about");
    dynamic_cast<WindowPeer *>(about)->SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED));
  });
  dialog.m_hWnd->SendMessage(WM_SYSCOMMAND, 0x0010);

  splitter.m_pMainWnd = nullptr;
  SetModalUi(nullptr);
  std::filesystem::remove_all(work);
  return 0;
}
