#include "engine/win32/FilesBeingRead.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <vector>

namespace quorvel::win32 {
namespace {

struct FileIdentity {
  DWORD volume = 0;
  DWORD indexHigh = 0;
  DWORD indexLow = 0;
  bool operator==(const FileIdentity &) const = default;
};

struct FileBeingRead {
  HANDLE handle;
  FileIdentity identity;
};

std::mutex g_lock;
std::vector<FileBeingRead> g_files;

bool IdentityOf(HANDLE handle, FileIdentity &identity) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(handle, &information))
    return false;
  identity = {information.dwVolumeSerialNumber, information.nFileIndexHigh,
              information.nFileIndexLow};
  return true;
}

// The file under `path` itself, not a link's target. Reading its attributes passes every share
// check, so a file held open is still looked at.
bool IdentityOfPath(const std::wstring &path, FileIdentity &identity) {
  const HANDLE look = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (look == INVALID_HANDLE_VALUE)
    return false;
  const bool known = IdentityOf(look, identity);
  ::CloseHandle(look);
  return known;
}

bool IsBeingRead(const std::wstring &path) {
  FileIdentity identity;
  if (!IdentityOfPath(path, identity))
    return false;
  const std::lock_guard hold(g_lock);
  return std::ranges::any_of(g_files,
                             [&](const FileBeingRead &file) { return file.identity == identity; });
}

} // namespace

bool IsNameOf(void *held, const std::wstring &path) {
  FileIdentity heldIdentity;
  FileIdentity named;
  return IdentityOf(held, heldIdentity) && IdentityOfPath(path, named) && heldIdentity == named;
}

void NoteBeingRead(void *handle) {
  FileIdentity identity;
  if (!IdentityOf(handle, identity))
    return;
  const std::lock_guard hold(g_lock);
  g_files.push_back({handle, identity});
}

void ForgetBeingRead(void *handle) noexcept {
  const std::lock_guard hold(g_lock);
  std::erase_if(g_files, [&](const FileBeingRead &file) { return file.handle == handle; });
}

FileCause CauseOfRefusal(std::uint32_t error, const std::wstring &path) {
  if (error == ERROR_SHARING_VIOLATION && IsBeingRead(path))
    return FileCause::sourceItself;
  return CauseFromWin32Error(error);
}

} // namespace quorvel::win32
