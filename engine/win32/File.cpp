#include "engine/File.h"

#include "engine/win32/FilesBeingRead.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <algorithm>
#include <utility>

namespace quorvel {

static_assert(File::kReadShared == 0x8040 && File::kReadExclusive == 0x8010 &&
              File::kCreateExclusive == 0x9011);

namespace {

// ReadFile and WriteFile count in DWORDs.
constexpr std::uint64_t kLargestTransfer = std::uint64_t{1} << 30;

FileException Failure(DWORD error, const std::string &path) {
  return FileException(CauseFromWin32Error(error), static_cast<int>(error), path);
}

// Gives the failure to a caller that asked for it; false, for the caller to return.
bool Refuse(FileException *error, DWORD code, const std::string &path) {
  if (error)
    *error = Failure(code, path);
  return false;
}

} // namespace

File::~File() { Abort(); }

File File::Duplicate() const {
  const HANDLE process = ::GetCurrentProcess();
  HANDLE duplicate = nullptr;
  if (!::DuplicateHandle(process, m_fd, process, &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
    ThrowLastError(static_cast<int>(::GetLastError()));
  File file;
  file.Attach(duplicate, m_strFilePath);
  return file;
}

bool File::Open(std::string_view path, unsigned flags, FileException *error) {
  Abort();
  std::string filePath{path};
  std::wstring windowsPath;
  if (!win32::ToWindowsPath(filePath, windowsPath))
    return Refuse(error, ERROR_INVALID_NAME, filePath);

  const bool writing = flags & modeWrite;
  const DWORD share = (flags & shareExclusive) ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
  // A refused exclusive create leaves the file as it was: the share check comes before truncating.
  const DWORD disposition = (flags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
  const DWORD attributes = FILE_ATTRIBUTE_NORMAL | (writing ? 0 : FILE_FLAG_SEQUENTIAL_SCAN);
  // Without FILE_FLAG_BACKUP_SEMANTICS a folder is refused with ERROR_ACCESS_DENIED.
  const HANDLE handle = ::CreateFileW(windowsPath.c_str(), writing ? GENERIC_WRITE : GENERIC_READ,
                                      share, nullptr, disposition, attributes, nullptr);
  if (handle == INVALID_HANDLE_VALUE)
    return Refuse(error, ::GetLastError(), filePath);
  m_fd = handle;
  m_strFilePath = std::move(filePath);
  if (!writing && !(flags & shareExclusive))
    win32::NoteBeingRead(handle);
  return true;
}

void File::Attach(NativeHandle fd, std::string path) {
  Abort();
  m_fd = fd;
  m_strFilePath = std::move(path);
}

File::NativeHandle File::Detach() {
  m_strFilePath.clear();
  return std::exchange(m_fd, kNoHandle);
}

std::uint64_t File::GetLength() const {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(m_fd, &size))
    ThrowLastError(static_cast<int>(::GetLastError()));
  return static_cast<std::uint64_t>(size.QuadPart);
}

std::uint64_t File::Read(void *buffer, std::uint64_t count) {
  DWORD got = 0;
  if (!::ReadFile(m_fd, buffer, static_cast<DWORD>(std::min(count, kLargestTransfer)), &got,
                  nullptr))
    ThrowLastError(static_cast<int>(::GetLastError()));
  return got;
}

std::uint64_t File::ReadAt(void *buffer, std::uint64_t count, std::uint64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(offset >> 32);
  DWORD got = 0;
  if (!::ReadFile(m_fd, buffer, static_cast<DWORD>(std::min(count, kLargestTransfer)), &got, &at)) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_HANDLE_EOF)
      return 0;
    ThrowLastError(static_cast<int>(error));
  }
  return got;
}

void File::Write(const void *buffer, std::uint64_t count) {
  const auto *bytes = static_cast<const std::byte *>(buffer);
  while (count > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min(count, kLargestTransfer));
    DWORD written = 0;
    if (!::WriteFile(m_fd, bytes, chunk, &written, nullptr))
      ThrowLastError(static_cast<int>(::GetLastError()));
    // A disk file takes all or fails; one that stored less has run out of room.
    if (written < chunk)
      throw FileException(FileCause::diskFull, ERROR_DISK_FULL, m_strFilePath);
    bytes += written;
    count -= written;
  }
}

void File::Flush() {
  if (!::FlushFileBuffers(m_fd))
    ThrowLastError(static_cast<int>(::GetLastError()));
}

void File::Close() {
  if (m_fd == kNoHandle)
    return;
  const HANDLE handle = m_fd;
  m_fd = kNoHandle;
  win32::ForgetBeingRead(handle);
  if (!::CloseHandle(handle))
    ThrowLastError(static_cast<int>(::GetLastError()));
}

void File::Abort() noexcept {
  if (m_fd == kNoHandle)
    return;
  win32::ForgetBeingRead(m_fd);
  ::CloseHandle(m_fd);
  m_fd = kNoHandle;
}

void File::ThrowLastError(int osError) const {
  throw Failure(static_cast<DWORD>(osError), m_strFilePath);
}

void File::FlushFolder(std::string_view folder) {
  const std::string folderPath{folder};
  std::wstring windowsPath;
  if (!win32::ToWindowsPath(folderPath, windowsPath))
    throw Failure(ERROR_INVALID_NAME, folderPath);
  const HANDLE handle = ::CreateFileW(windowsPath.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  // A folder that cannot be opened for this, or a file system that keeps no folder to flush, has
  // its entries on the device with the files: StagedFile flushes each after putting it in place.
  if (handle == INVALID_HANDLE_VALUE)
    return;
  const bool flushed = ::FlushFileBuffers(handle);
  const DWORD flushError = ::GetLastError();
  ::CloseHandle(handle);
  if (!flushed && flushError != ERROR_INVALID_FUNCTION && flushError != ERROR_ACCESS_DENIED &&
      flushError != ERROR_INVALID_PARAMETER && flushError != ERROR_NOT_SUPPORTED)
    throw Failure(flushError, folderPath);
}

} // namespace quorvel
