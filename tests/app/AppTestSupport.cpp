#include "tests/app/AppTestSupport.h"

#include "app/SplitterApp.h"

#include <QApplication>
#include <QMouseEvent>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace quorvel::test {

int ScriptedModalUi::MessageBox(const fw::MessageBoxRequest &request) {
  boxes.push_back(request);
  return fw::IDOK;
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

QWidget *WidgetOf(const fw::CWnd &window) { return dynamic_cast<QWidget *>(window.m_hWnd); }

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

void DialogTest::SetUp() {
  ASSERT_TRUE(dialog.Create());
  fw::AfxGetApp()->m_pMainWnd = &dialog;
}

void DialogTest::TearDown() { fw::AfxGetApp()->m_pMainWnd = nullptr; }

fw::CString DialogTest::TextOf(int id) const {
  fw::CString text;
  dialog.GetDlgItem(id)->GetWindowText(text);
  return text;
}

void DialogTest::ChooseSource(const std::string &path) {
  modal.fileAnswers.push_back(path);
  Click(4);
}

void DialogTest::ChooseDestination(const std::string &folder) {
  modal.folderAnswers.push_back(fw::FolderChoice{folder});
  Click(5);
}

} // namespace quorvel::test

int main(int argc, char **argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // As the program does: a write past the file-size limit fails and is reported.
  std::signal(SIGXFSZ, SIG_IGN);
  QApplication application(argc, argv);
  // The application object as start-up leaves it, without the modal dialog.
  quorvel::SplitterApp splitter;
  quorvel::fw::AfxWinInit("/usr/bin/quorvel-splitter");
  splitter.SetDialogBkColor(quorvel::fw::RGB(160, 180, 220), quorvel::fw::RGB(0, 0, 0));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
