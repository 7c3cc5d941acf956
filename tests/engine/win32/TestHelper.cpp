// quorvel_test_helper: the other program of the Windows tests, as share modes conflict only among
// Windows processes under Wine.
//   hold shared|exclusive PATH   holds PATH open (share read and write, or share nothing), says
//                                 "1" (or "0" when it cannot), and lets go at the end of its input
//   join FIRST_PIECE DEST        joins, saying "r" at the first piece's report and then waiting on
//                                 its input, where the test ends it
//   split SOURCE DEST            the same for a split
//   console COMMAND_LINE         runs the command on a console of its own, then writes what the
//                                 console shows (UTF-8, a line per row) and exits with its status
#include "engine/File.h"
#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/SplitRun.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace quorvel;

// Says "r" at the first piece and waits there.
class WaitingProgress final : public Progress {
public:
  Flow PieceDone(std::uint64_t, std::uint64_t) override {
    std::fputc('r', stdout);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return Flow::proceed;
  }
};

// The helper is started on a console of its own, which the command shares.
int RunOnConsole(const std::string &commandLine) {
  std::wstring line;
  if (!win32::ToWide(commandLine, line))
    return 2;
  // The helper's own standard handles go to the test; the command's to the console.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE screen =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
  const HANDLE keyboard =
      ::CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = keyboard;
  startup.hStdOutput = screen;
  startup.hStdError = screen;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
    return 2;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 2;
  ::GetExitCodeProcess(process.hProcess, &status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);

  CONSOLE_SCREEN_BUFFER_INFO info{};
  if (!::GetConsoleScreenBufferInfo(screen, &info))
    return 2;
  std::wstring row(static_cast<std::size_t>(info.dwSize.X), L' ');
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(row.size()), {0, y},
                                  &read);
    const std::wstring_view shown{row.data(), read};
    const std::string text =
        win32::Utf8FromUtf16(shown.substr(0, shown.find_last_not_of(L' ') + 1));
    std::fprintf(stdout, "%s\n", text.c_str());
  }
  return static_cast<int>(status);
}

} // namespace

int wmain(int argc, wchar_t **argv) {
  std::vector<std::string> arguments;
  for (int index = 1; index < argc; ++index)
    arguments.push_back(win32::Utf8FromUtf16(argv[index]));
  if (arguments.size() == 3 && arguments[0] == "hold") {
    File file;
    const bool held = file.Open(arguments[2], arguments[1] == "shared" ? File::kReadShared
                                                                       : File::kReadExclusive);
    std::fputc(held ? '1' : '0', stdout);
    std::fflush(stdout);
    while (std::fgetc(stdin) != EOF) {
    }
    return 0;
  }
  if (arguments.size() == 3 && (arguments[0] == "join" || arguments[0] == "split")) {
    WaitingProgress progress;
    const Outcome outcome = arguments[0] == "join"
                                ? RunJoin({arguments[1], arguments[2]}, progress)
                                : RunSplit({arguments[1], arguments[2], kDefaultPieceSize}, progress);
    return outcome.kind == Outcome::Kind::done ? 0 : 1;
  }
  if (arguments.size() == 2 && arguments[0] == "console")
    return RunOnConsole(arguments[1]);
  return 2;
}
