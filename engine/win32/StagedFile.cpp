#include "engine/StagedFile.h"

#include "engine/PieceNaming.h"
#include "engine/win32/FilesBeingRead.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>
#include <optional>
#include <random>

// The temporary file is created beside its final name with share mode 0 and DELETE access, and
// marked for deletion at once: whatever ends the run (a failure, Ctrl+C, a closed console, a kill
// from the task manager), the system removes it when its handle closes. Commit clears the mark and
// renames the file through that same handle (SetFileInformationByHandle with FileRenameInfo).
// Unlike MoveFileExW or ReplaceFileW, which need the file closed or shared for deletion, this
// puts the file in place without letting go of it: it is never under its name unheld, so a first
// piece kept open holds its set against a second split or a join until Close.
//
// Between creating the file and marking it, and between clearing the mark and the rename, a file
// would outlive the process under its temporary name. A console event that ends the run waits for
// those steps; only a kill from outside can land in them.

namespace quorvel {
namespace {

// Held while a temporary file is unmarked and not yet under its final name.
SRWLOCK g_unmarkedFile = SRWLOCK_INIT;

class EndingDeferred {
public:
  EndingDeferred() { ::AcquireSRWLockExclusive(&g_unmarkedFile); }
  EndingDeferred(const EndingDeferred &) = delete;
  EndingDeferred &operator=(const EndingDeferred &) = delete;
  ~EndingDeferred() { ::ReleaseSRWLockExclusive(&g_unmarkedFile); }
};

std::string RandomTemporaryName() {
  static std::mt19937_64 generator{std::random_device{}()};
  static constexpr std::string_view kAlphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".quorvel-";
  for (int i = 0; i < 8; ++i)
    name += kAlphabet[generator() % kAlphabet.size()];
  return name + ".part";
}

bool MarkForDeletion(HANDLE handle, bool deleteOnClose) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleteOnClose;
  return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition);
}

bool RenameOver(HANDLE handle, const std::wstring &finalPath) {
  const std::size_t nameBytes = finalPath.size() * sizeof(wchar_t);
  std::string buffer(sizeof(FILE_RENAME_INFO) + nameBytes, '\0');
  auto *rename = reinterpret_cast<FILE_RENAME_INFO *>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(rename->FileName, finalPath.data(), nameBytes);
  return ::SetFileInformationByHandle(handle, FileRenameInfo, rename,
                                      static_cast<DWORD>(buffer.size()));
}

// A device name (CON, NUL, COM1, with any extension, in any folder) stands for the device.
bool IsDevice(const std::wstring &path) {
  wchar_t full[8];
  const DWORD length = ::GetFullPathNameW(path.c_str(), 8, full, nullptr);
  return length > 0 && length < 8 && std::wstring_view{full}.starts_with(L"\\\\.\\");
}

// Why the final name cannot be taken, if it cannot: a folder or a device there is refused, and a
// file there is opened for writing as a look only, which fails as writing over it would (held by
// another program, or not ours to write). Links are looked at, not followed.
std::optional<DWORD> RefusalOfName(const std::wstring &path) {
  if (IsDevice(path))
    return ERROR_ACCESS_DENIED;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? std::nullopt : std::optional{error};
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return ERROR_ACCESS_DENIED;
  const HANDLE look = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (look == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND ? std::nullopt : std::optional{error};
  }
  ::CloseHandle(look);
  return std::nullopt;
}

BOOL WINAPI EndOnConsoleControl(DWORD event) {
  // Ctrl+C and Ctrl+Break end as SIGINT does, a console closing or the session ending as SIGHUP.
  const UINT status = (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) ? 128 + 2 : 128 + 1;
  // Never released: the process ends holding it.
  ::AcquireSRWLockExclusive(&g_unmarkedFile);
  // At once and without the runtime's exit, which could wait on a lock of the thread this one
  // interrupts; closing the handles removes the temporary files, as they are marked.
  ::TerminateProcess(::GetCurrentProcess(), status);
  return TRUE;
}

} // namespace

StagedFile::~StagedFile() { Discard(); }

bool StagedFile::Open(std::string_view finalPath, FileException *error) {
  Discard();
  m_strFinalPath = finalPath;
  std::wstring windowsPath;
  const auto fail = [&](DWORD code) {
    if (error)
      *error = FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code),
                             m_strFinalPath);
    Discard();
    return false;
  };
  if (!win32::ToWindowsPath(m_strFinalPath, windowsPath))
    return fail(ERROR_INVALID_NAME);
  if (const auto refusal = RefusalOfName(windowsPath))
    return fail(*refusal);

  const std::string_view name = SourceNameOf(finalPath);
  const std::string folder{finalPath.substr(0, finalPath.size() - name.size())};
  EndingDeferred deferred;
  HANDLE handle = INVALID_HANDLE_VALUE;
  while (handle == INVALID_HANDLE_VALUE) {
    std::wstring temporary;
    if (!win32::ToWindowsPath(folder + RandomTemporaryName(), temporary))
      return fail(ERROR_INVALID_NAME);
    handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS)
      return fail(::GetLastError());
  }
  m_contents.Attach(handle, m_strFinalPath);
  if (!MarkForDeletion(handle, true))
    return fail(::GetLastError());
  return true;
}

void StagedFile::Commit() {
  m_contents.Flush();
  std::wstring windowsPath;
  const auto fail = [&](DWORD code) {
    throw FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code),
                        m_strFinalPath);
  };
  if (!win32::ToWindowsPath(m_strFinalPath, windowsPath))
    fail(ERROR_INVALID_NAME);
  // Looked at again: a program may have taken the name since the file was opened.
  if (const auto refusal = RefusalOfName(windowsPath))
    fail(*refusal);
  const HANDLE handle = m_contents.Descriptor();
  std::optional<EndingDeferred> deferred{std::in_place};
  if (!MarkForDeletion(handle, false))
    fail(::GetLastError());
  if (!RenameOver(handle, windowsPath)) {
    const DWORD renameError = ::GetLastError();
    MarkForDeletion(handle, true);
    deferred.reset();
    // Windows refuses to replace a file that is open with access denied; one taken between the
    // look and the rename is reported as the look would have.
    const auto refusal = RefusalOfName(windowsPath);
    fail(refusal ? *refusal : renameError);
  }
  m_committed = true;
  deferred.reset();
  // The file's folder entry too: FAT keeps a file's length there.
  m_contents.Flush();
}

void StagedFile::Close() {
  if (m_committed)
    m_contents.Close();
  Discard();
}

void StagedFile::Discard() noexcept {
  if (m_contents.IsOpen() && !m_committed)
    MarkForDeletion(m_contents.Descriptor(), true);
  m_contents.Abort();
  m_committed = false;
}

void RemoveTemporaryFilesOnInterrupt() { ::SetConsoleCtrlHandler(EndOnConsoleControl, TRUE); }

} // namespace quorvel
