#include "engine/win32/HandleNames.h"

#include "engine/StagedFile.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvel::win32 {
namespace {

// Held while a file is unmarked and not yet under its final name, or a set's names change.
SRWLOCK g_nameChange = SRWLOCK_INIT;

std::mutex g_putBacksLock;
std::vector<std::pair<void (*)(void *), void *>> g_putBacks;

// Not in every SDK's headers: Windows 10 1709 and later take it; others refuse it.
constexpr FILE_INFO_BY_HANDLE_CLASS kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionEx {
  ULONG flags;
};
constexpr ULONG kDispositionDelete = 0x1;
constexpr ULONG kDispositionPosixSemantics = 0x2;
constexpr ULONG kDispositionOnClose = 0x8;

// Whether the delete-on-close mark a file is created with can be cleared: unknown until tried.
std::atomic<int> g_onCloseClears{-1};

bool SetDisposition(HANDLE handle, ULONG flags) {
  DispositionEx disposition{flags};
  return ::SetFileInformationByHandle(handle, kFileDispositionInfoEx, &disposition,
                                      sizeof disposition);
}

// A device name (CON, NUL, COM1, with any extension, in any folder) stands for the device.
bool IsDevice(const std::wstring &path) {
  wchar_t full[8];
  const DWORD length = ::GetFullPathNameW(path.c_str(), 8, full, nullptr);
  return length > 0 && length < 8 && std::wstring_view{full}.starts_with(L"\\\\.\\");
}

BOOL WINAPI EndOnConsoleControl(DWORD event) {
  // Ctrl+C and Ctrl+Break end as SIGINT does, a console closing or the session ending as SIGHUP.
  const UINT status = (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) ? 128 + 2 : 128 + 1;
  // Never released: the process ends holding it.
  ::AcquireSRWLockExclusive(&g_nameChange);
  {
    const std::lock_guard lock(g_putBacksLock);
    for (const auto &[putBack, data] : g_putBacks)
      putBack(data);
  }
  // At once and without the runtime's exit, which could wait on a lock of the thread this one
  // interrupts; closing the handles removes the temporary files, as they are marked.
  ::TerminateProcess(::GetCurrentProcess(), status);
  return TRUE;
}

} // namespace

void *CreateMarked(const std::wstring &path, std::uint32_t access) {
  constexpr DWORD kAttributes = FILE_ATTRIBUTE_NORMAL;
  if (g_onCloseClears.load() != 0) {
    const HANDLE handle = ::CreateFileW(path.c_str(), access | DELETE, 0, nullptr, CREATE_NEW,
                                        kAttributes | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE || g_onCloseClears.load() == 1)
      return handle;
    const bool clears = SetDisposition(handle, kDispositionOnClose) &&
                        SetDisposition(handle, kDispositionOnClose | kDispositionDelete);
    g_onCloseClears.store(clears ? 1 : 0);
    if (clears)
      return handle;
    // Removed as it closes: made again the older way.
    ::CloseHandle(handle);
  }
  const HANDLE handle =
      ::CreateFileW(path.c_str(), access | DELETE, 0, nullptr, CREATE_NEW, kAttributes, nullptr);
  if (handle != INVALID_HANDLE_VALUE && !MarkForDeletion(handle, true)) {
    const DWORD error = ::GetLastError();
    ::CloseHandle(handle);
    ::SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  return handle;
}

bool MarkForDeletion(void *handle, bool deleteOnClose) {
  if (g_onCloseClears.load() == 1 &&
      !SetDisposition(handle, kDispositionOnClose | (deleteOnClose ? kDispositionDelete : 0)))
    return false;
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleteOnClose;
  return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                      sizeof disposition);
}

void DeleteNow(void *handle) noexcept {
  DispositionEx disposition{kDispositionDelete | kDispositionPosixSemantics};
  if (!::SetFileInformationByHandle(handle, kFileDispositionInfoEx, &disposition,
                                    sizeof disposition))
    MarkForDeletion(handle, true);
}

bool RenameTo(void *handle, const std::wstring &path, bool replace) {
  const std::size_t nameBytes = path.size() * sizeof(wchar_t);
  std::string buffer(sizeof(FILE_RENAME_INFO) + nameBytes, '\0');
  auto *rename = reinterpret_cast<FILE_RENAME_INFO *>(buffer.data());
  rename->ReplaceIfExists = replace;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(nameBytes);
  std::memcpy(rename->FileName, path.data(), nameBytes);
  return ::SetFileInformationByHandle(handle, FileRenameInfo, rename,
                                      static_cast<DWORD>(buffer.size()));
}

std::optional<std::uint32_t> RefusalOfName(const std::wstring &path) {
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

EndingDeferred::EndingDeferred() { ::AcquireSRWLockExclusive(&g_nameChange); }

EndingDeferred::~EndingDeferred() { ::ReleaseSRWLockExclusive(&g_nameChange); }

void PublishPutBack(void (*putBack)(void *data), void *data) {
  const std::lock_guard lock(g_putBacksLock);
  g_putBacks.emplace_back(putBack, data);
}

void WithdrawPutBack(void *data) {
  const std::lock_guard lock(g_putBacksLock);
  std::erase_if(g_putBacks, [data](const auto &entry) { return entry.second == data; });
}

} // namespace quorvel::win32

namespace quorvel {

void RemoveTemporaryFilesOnInterrupt() {
  ::SetConsoleCtrlHandler(win32::EndOnConsoleControl, TRUE);
}

} // namespace quorvel
