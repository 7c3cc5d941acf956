// The real program started twice: the second copy ends at once, without a window.
#include "tests/app/AppTestSupport.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <thread>

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// The program as built, in the tests' own folder.
fs::path ProgramBesideTheTests() {
  wchar_t self[MAX_PATH] = {};
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return fs::path(self).parent_path() / "quorvel-splitter.exe";
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
  int WindowsTitled(const wchar_t *title) const { return Find(title).found; }
  // The last of them, or null.
  HWND WindowTitled(const wchar_t *title) const { return Find(title).window; }

private:
  struct Search {
    DWORD process;
    const wchar_t *title;
    int found = 0;
    HWND window = nullptr;
  };
  Search Find(const wchar_t *title) const {
    Search search{m_process.dwProcessId, title};
    ::EnumWindows(Count, reinterpret_cast<LPARAM>(&search));
    return search;
  }
  static BOOL CALLBACK Count(HWND window, LPARAM data) {
    auto &search = *reinterpret_cast<Search *>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    if (process == search.process && ::IsWindowVisible(window) &&
        std::wstring_view{text} == search.title) {
      ++search.found;
      search.window = window;
    }
    return TRUE;
  }

  PROCESS_INFORMATION m_process{};
  BOOL m_started = FALSE;
};

TEST(SecondCopyTest, ASecondCopyEndsAtOnceWithoutAWindowAndBringsTheFirstBackRestored) {
  TempFolder folder;
  const fs::path program = folder.path() / "quorvel-splitter-check.exe";
  fs::copy_file(ProgramBesideTheTests(), program);
  const Copy first(program);
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (first.WindowsTitled(L"Quorvel File Splitter") == 0 &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(50ms);
  ASSERT_EQ(first.WindowsTitled(L"Quorvel File Splitter"), 1);
  const HWND window = first.WindowTitled(L"Quorvel File Splitter");
  ::ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(::IsIconic(window));

  const Copy second(program);
  EXPECT_EQ(second.Wait(20s), std::optional<DWORD>{0});
  EXPECT_EQ(second.WindowsTitled(L"Quorvel File Splitter"), 0);
  EXPECT_FALSE(first.Wait(0ms)) << "the first copy runs on";
  EXPECT_FALSE(::IsIconic(window));
  EXPECT_EQ(::GetForegroundWindow(), window);
}

} // namespace
} // namespace quorvel::test
