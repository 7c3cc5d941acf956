// The program's dialog on real Win32 windows: a split and a join run through its buttons, the
// system's modal windows answered through the modal seam; and the real executable, started twice.
#include "app/SplitterApp.h"
#include "app/SplitterDialog.h"
#include "framework/ModalUi.h"
#include "framework/Platform.h"
#include "framework/win32/Utf16.h"
#include "res/DialogTemplates.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;
using fw::CString;
namespace fs = std::filesystem;

SplitterDialog *g_dialog = nullptr;
fs::path g_executable;

class AnsweringModalUi final : public fw::ModalUi {
public:
  AnsweringModalUi() { fw::SetModalUi(this); }
  ~AnsweringModalUi() override { fw::SetModalUi(nullptr); }

  int MessageBox(const fw::MessageBoxRequest &request) override {
    boxes.push_back(request.text);
    return IDOK;
  }
  std::optional<CString> OpenFile(const fw::FileOpenRequest &) override { return Next(files); }
  std::optional<fw::FolderChoice> BrowseForFolder(const fw::FolderBrowseRequest &) override {
    const auto folder = Next(folders);
    return folder ? std::optional{fw::FolderChoice{*folder}} : std::nullopt;
  }

  std::deque<CString> files;
  std::deque<CString> folders;
  std::vector<CString> boxes;

private:
  static std::optional<CString> Next(std::deque<CString> &answers) {
    if (answers.empty())
      return std::nullopt;
    CString answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

struct TempFolder {
  TempFolder()
      : path(fs::temp_directory_path() /
             ("quorvel-check-" + std::to_string(::GetCurrentProcessId()))) {
    fs::create_directories(path);
  }
  ~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

std::string Bytes(const fs::path &file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

CString Native(const fs::path &path) { return fw::win32::Utf8FromUtf16(path.wstring()); }

void Click(unsigned id) {
  ::SendMessageW(::GetDlgItem(g_dialog->m_hWnd, static_cast<int>(id)), BM_CLICK, 0, 0);
}

CString TextOf(unsigned id) {
  wchar_t text[256] = {};
  ::GetDlgItemTextW(g_dialog->m_hWnd, static_cast<int>(id), text, 256);
  return fw::win32::Utf8FromUtf16(text);
}

TEST(WindowsDialog, ShowsItsTitleAndColours) {
  wchar_t title[64] = {};
  ::GetWindowTextW(g_dialog->m_hWnd, title, 64);
  EXPECT_EQ(fw::win32::Utf8FromUtf16(title), "Quorvel File Splitter");
  EXPECT_TRUE(::IsWindowVisible(g_dialog->m_hWnd));
  ::UpdateWindow(g_dialog->m_hWnd);
  HDC dc = ::GetDC(g_dialog->m_hWnd);
  EXPECT_EQ(::GetPixel(dc, 1, 1), RGB(160, 180, 220)) << "the dialog's own background";
  ::ReleaseDC(g_dialog->m_hWnd, dc);
  EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(g_dialog->m_hWnd, res::IDC_SPLIT), GWL_STYLE) &
              BS_OWNERDRAW);
}

TEST(WindowsDialog, TheSystemMenuOpensTheAboutBox) {
  HMENU menu = ::GetSystemMenu(g_dialog->m_hWnd, FALSE);
  wchar_t item[32] = {};
  ::GetMenuStringW(menu, res::IDM_ABOUTBOX, item, 32, MF_BYCOMMAND);
  EXPECT_EQ(fw::win32::Utf8FromUtf16(item), "About(&A)...");

  bool aboutShown = false;
  // Runs inside the about box's own modal loop, and ends it.
  fw::platform::PostTask([&aboutShown] {
    HWND about = ::FindWindowW(L"#32770", L"About Quorvel File Splitter");
    aboutShown =
        about && ::IsWindowVisible(about) && ::GetWindow(about, GW_OWNER) == g_dialog->m_hWnd;
    fw::platform::CloseModalWindow();
  });
  ::SendMessageW(g_dialog->m_hWnd, WM_SYSCOMMAND, res::IDM_ABOUTBOX, 0);
  EXPECT_TRUE(aboutShown);
  EXPECT_TRUE(::IsWindowEnabled(g_dialog->m_hWnd)) << "the owner takes input again";
}

TEST(WindowsDialog, SplitsAndJoinsThroughItsButtons) {
  TempFolder folder;
  fs::create_directories(folder.path / "pieces");
  fs::create_directories(folder.path / "joined");
  std::string source(3'000'000, '\0');
  std::mt19937 random(7);
  for (char &byte : source)
    byte = static_cast<char>(random());
  std::ofstream(folder.path / "report.doc", std::ios::binary) << source;

  AnsweringModalUi modal;
  modal.files = {Native(folder.path / "report.doc")};
  modal.folders = {Native(folder.path / "pieces")};
  Click(res::IDC_BROWSE_SOURCE);
  Click(res::IDC_BROWSE_DEST);
  EXPECT_EQ(TextOf(res::IDC_SOURCE_PATH), Native(folder.path / "report.doc"));
  Click(res::IDC_SPLIT);
  EXPECT_EQ(fs::file_size(folder.path / "pieces" / "1_report.doc"), 1'400'000u);
  EXPECT_EQ(fs::file_size(folder.path / "pieces" / "3_report.doc"), 200'000u);
  EXPECT_EQ(TextOf(res::IDC_STATUS), "3Files created");

  Click(res::IDC_MODE_JOIN);
  modal.files = {Native(folder.path / "pieces" / "1_report.doc")};
  modal.folders = {Native(folder.path / "joined")};
  Click(res::IDC_BROWSE_SOURCE);
  Click(res::IDC_BROWSE_DEST);
  Click(res::IDC_JOIN);
  EXPECT_EQ(Bytes(folder.path / "joined" / "report.doc"), source);
  EXPECT_EQ(modal.boxes, (std::vector<CString>{"Splitted successfully", "Joined successfully"}));
}

// The real program under a name of the test's own, so that its mutex is apart from any other.
class Copy {
public:
  explicit Copy(const fs::path &executable) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    std::wstring command = L"\"" + executable.wstring() + L"\"";
    m_started = ::CreateProcessW(executable.c_str(), command.data(), nullptr, nullptr, FALSE, 0,
                                 nullptr, nullptr, &startup, &m_process);
    if (m_started)
      ::CloseHandle(m_process.hThread);
  }
  ~Copy() {
    if (!m_started)
      return;
    if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
      ::TerminateProcess(m_process.hProcess, 1);
    ::CloseHandle(m_process.hProcess);
  }
  // The exit code, or nothing when it still runs after `patience`.
  std::optional<DWORD> Wait(std::chrono::milliseconds patience) const {
    if (!m_started || ::WaitForSingleObject(m_process.hProcess,
                                            static_cast<DWORD>(patience.count())) != WAIT_OBJECT_0)
      return std::nullopt;
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
  }
  // The process's visible windows titled `title`.
  int WindowsTitled(const wchar_t *title) const {
    Search search{m_process.dwProcessId, title};
    ::EnumWindows(Count, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

private:
  struct Search {
    DWORD process;
    const wchar_t *title;
    int found = 0;
  };
  static BOOL CALLBACK Count(HWND window, LPARAM data) {
    auto &search = *reinterpret_cast<Search *>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    if (process == search.process && ::IsWindowVisible(window) &&
        std::wstring_view{text} == search.title)
      ++search.found;
    return TRUE;
  }

  PROCESS_INFORMATION m_process{};
  BOOL m_started = FALSE;
};

TEST(WindowsProgram, ASecondCopyEndsAtOnceWithoutAWindow) {
  TempFolder folder;
  const fs::path program = folder.path / "quorvel-splitter-check.exe";
  fs::copy_file(g_executable, program);
  const Copy first(program);
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (first.WindowsTitled(L"Quorvel File Splitter") == 0 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(50ms);
  ASSERT_EQ(first.WindowsTitled(L"Quorvel File Splitter"), 1);

  const Copy second(program);
  EXPECT_EQ(second.Wait(20s), std::optional<DWORD>{0});
  EXPECT_EQ(second.WindowsTitled(L"Quorvel File Splitter"), 0);
  EXPECT_FALSE(first.Wait(0ms)) << "the first copy runs on";
}

} // namespace
} // namespace quorvel::test

int main(int argc, char **argv) {
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s QUORVEL-SPLITTER.EXE\n", argv[0]);
    return 2;
  }
  quorvel::test::g_executable = argv[1];
  int result = 1;
  const bool started =
      quorvel::DriveSplitterApp(argc, argv, [&result](quorvel::SplitterDialog &dialog) {
        quorvel::test::g_dialog = &dialog;
        result = RUN_ALL_TESTS();
      });
  if (!started) {
    std::fprintf(stderr, "The application's start-up showed no main dialog.\n");
    return 1;
  }
  return result;
}
