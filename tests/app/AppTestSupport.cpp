#include "tests/app/AppTestSupport.h"

#include "app/SplitterApp.h"
#include "framework/WinApp.h"
#include "framework/linux/NamedLock.h"
#include "framework/qt/QtWindowPeer.h"

#include <QApplication>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

namespace quorvel::test {

int ScriptedModalUi::MessageBox(const fw::MessageBoxRequest &request) {
  boxes.push_back(request);
  return IDOK;
}

std::optional<fw::CString> ScriptedModalUi::OpenFile(const fw::FileOpenRequest &request) {
  fileRequests.push_back(request);
  if (fileAnswers.empty())
    return std::nullopt;
  auto answer = fileAnswers.front();
  fileAnswers.pop_front();
  return answer;
}

std::optional<fw::FolderChoice>
ScriptedModalUi::BrowseForFolder(const fw::FolderBrowseRequest &request) {
  folderRequests.push_back(request);
  if (folderAnswers.empty())
    return std::nullopt;
  auto answer = folderAnswers.front();
  folderAnswers.pop_front();
  return answer;
}

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-app-XXXXXX").string();
  m_path = ::mkdtemp(pattern.data());
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(m_path, ignored);
}

std::vector<char> RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 generator(seed);
  std::vector<char> bytes(size);
  for (char &byte : bytes)
    byte = static_cast<char>(generator());
  return bytes;
}

void WriteFile(const std::string &path, const std::vector<char> &bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<char> ReadFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void ExpectDialogFrame(Qt::WindowFlags flags) {
  EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

QWidget *WidgetOf(const fw::CWnd &window) { return fw::qt::PeerOf(window.m_hWnd); }

void ClickWith(QWidget *control) {
  const QPointF centre(control->width() / 2.0, control->height() / 2.0);
  const QPointF global = control->mapToGlobal(centre);
  QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(control, &press);
  QApplication::sendEvent(control, &release);
}

namespace {
SplitterDialog *g_applicationDialog = nullptr;
}

SplitterDialog &ApplicationDialog() { return *g_applicationDialog; }

void DialogTest::SetUp() {
  ASSERT_TRUE(dialog.Create());
  m_applicationWindow = std::exchange(fw::AfxGetApp()->m_pMainWnd, &dialog);
}

void DialogTest::TearDown() { fw::AfxGetApp()->m_pMainWnd = m_applicationWindow; }

fw::CString DialogTest::TextOf(unsigned id) const {
  fw::CString text;
  dialog.GetDlgItem(static_cast<int>(id))->GetWindowText(text);
  return text;
}

bool DialogTest::IsEnabled(unsigned id) const {
  return dialog.GetDlgItem(static_cast<int>(id))->IsWindowEnabled() != FALSE;
}

void DialogTest::ChooseSource(const std::string &path) {
  modal.fileAnswers.push_back(path);
  Click(res::IDC_BROWSE_SOURCE);
}

void DialogTest::ChooseDestination(const std::string &folder) {
  modal.folderAnswers.push_back(fw::FolderChoice{folder});
  Click(res::IDC_BROWSE_DEST);
}

} // namespace quorvel::test

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  testing::InitGoogleTest(&argc, argv);
  // The guard takes its lock among the test's own files, apart from a copy the user runs.
  const quorvel::test::TempFolder locks;
  quorvel::fw::SetNamedLockFolder(locks.path());
  int result = 1;
  const bool started =
      quorvel::DriveSplitterApp(argc, argv, [&result](quorvel::SplitterDialog &dialog) {
        quorvel::test::g_applicationDialog = &dialog;
        result = RUN_ALL_TESTS();
      });
  if (!started) {
    std::fprintf(stderr, "The application's start-up showed no main dialog.\n");
    return 1;
  }
  return result;
}
