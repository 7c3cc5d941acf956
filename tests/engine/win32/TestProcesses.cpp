// The Windows side of the test support: processes, through the W functions.
#include "engine/win32/WideText.h"
#include "tests/engine/TestSupport.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <stdexcept>
#include <string>

namespace quorvel::test {
namespace {

std::wstring Wide(std::string_view text) {
  std::wstring wide;
  if (!win32::ToWide(text, wide))
    throw std::runtime_error("not UTF-8: " + std::string{text});
  return wide;
}

HANDLE Start(const std::string &commandLine, HANDLE input, HANDLE output, HANDLE error,
             const std::string &folder = "", DWORD creationFlags = 0) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = output;
  startup.hStdError = error;
  std::wstring line = Wide(commandLine);
  const std::wstring wideFolder = Wide(folder);
  PROCESS_INFORMATION process{};
  // Wine on a loaded machine now and then fails to start a process that starts the next time.
  DWORD lastError = 0;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, creationFlags, nullptr,
                         folder.empty() ? nullptr : wideFolder.c_str(), &startup, &process)) {
      ::CloseHandle(process.hThread);
      return process.hProcess;
    }
    lastError = ::GetLastError();
    ::Sleep(200);
  }
  throw std::runtime_error("cannot start " + commandLine + " (error " +
                           std::to_string(lastError) + ")");
}

HANDLE Inheritable(const wchar_t *path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const HANDLE handle = ::CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    throw std::runtime_error("cannot open a standard stream");
  return handle;
}

int WaitForExit(HANDLE process) {
  ::WaitForSingleObject(process, INFINITE);
  DWORD status = 0;
  ::GetExitCodeProcess(process, &status);
  return static_cast<int>(status);
}

} // namespace

ChildProcess::ChildProcess(const std::string &commandLine, bool ownConsole) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childInput = nullptr;
  HANDLE childOutput = nullptr;
  if (!::CreatePipe(&childInput, &m_input, &inherit, 0) ||
      !::CreatePipe(&m_output, &childOutput, &inherit, 0))
    throw std::runtime_error("cannot make pipes");
  // Only the child's ends are inherited, so that its input ends when this side closes.
  ::SetHandleInformation(m_input, HANDLE_FLAG_INHERIT, 0);
  ::SetHandleInformation(m_output, HANDLE_FLAG_INHERIT, 0);
  // A console with no window, which would take the focus from the dialogs of other tests.
  m_process = Start(commandLine, childInput, childOutput, ::GetStdHandle(STD_ERROR_HANDLE), "",
                    ownConsole ? CREATE_NO_WINDOW : 0);
  ::CloseHandle(childInput);
  ::CloseHandle(childOutput);
}

ChildProcess::~ChildProcess() {
  Wait();
  ::CloseHandle(m_output);
  ::CloseHandle(m_process);
}

char ChildProcess::ReadByte() {
  char byte = '\0';
  DWORD got = 0;
  return ::ReadFile(m_output, &byte, 1, &got, nullptr) && got == 1 ? byte : '\0';
}

void ChildProcess::Kill(unsigned status) {
  ::TerminateProcess(m_process, status);
  WaitForExit(m_process);
}

int ChildProcess::Wait() {
  if (m_input) {
    ::CloseHandle(m_input);
    m_input = nullptr;
  }
  return WaitForExit(m_process);
}

std::string ProgramBeside(std::string_view name) {
  wchar_t self[MAX_PATH];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  return Utf8Of(fs::path(std::wstring_view{self, length}).parent_path() / PathOf(name));
}

int RunProcess(const std::string &commandLine, const std::string &outPath,
               const std::string &errPath, const std::string &folder) {
  const HANDLE input = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE output =
      outPath.empty() ? nullptr : Inheritable(Wide(outPath).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE error = Inheritable(Wide(errPath).c_str(), GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE process = Start(commandLine, input, output, error, folder);
  for (HANDLE handle : {input, output, error})
    if (handle)
      ::CloseHandle(handle);
  const int status = WaitForExit(process);
  ::CloseHandle(process);
  return status;
}

int RunAndSendConsoleEvent(const std::string &commandLine, const std::string &startedPath,
                           unsigned event) {
  const auto ctrlRoutine = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
      ::GetProcAddress(::GetModuleHandleW(L"kernelbase.dll"), "CtrlRoutine")));
  if (!ctrlRoutine)
    throw std::runtime_error("kernelbase.dll has no CtrlRoutine");
  const HANDLE input = Inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE output = Inheritable(L"NUL", GENERIC_WRITE, OPEN_EXISTING);
  const HANDLE process = Start(commandLine, input, output, output);
  ::CloseHandle(input);
  ::CloseHandle(output);
  const std::wstring started = Wide(startedPath);
  while (::GetFileAttributesW(started.c_str()) == INVALID_FILE_ATTRIBUTES &&
         ::WaitForSingleObject(process, 1) == WAIT_TIMEOUT) {
  }
  // System DLLs lie at the same address in every process, so the routine's address is the child's.
  const HANDLE thread =
      ::CreateRemoteThread(process, nullptr, 0, ctrlRoutine,
                           reinterpret_cast<void *>(static_cast<ULONG_PTR>(event)), 0, nullptr);
  if (thread)
    ::CloseHandle(thread);
  const int status = WaitForExit(process);
  ::CloseHandle(process);
  return status;
}

LockHolder::LockHolder(const PathText &path, Hold hold)
    : m_holder(std::make_unique<ChildProcess>(ProgramBeside("quorvel_test_helper.exe") + " hold " +
                                              (hold == Hold::shared ? "shared " : "exclusive ") +
                                              path.str())) {
  if (m_holder->ReadByte() != '1')
    throw std::runtime_error("the helper could not hold " + path.str());
}

LockHolder::~LockHolder() = default;

} // namespace quorvel::test
