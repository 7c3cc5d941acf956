#include "engine/Folder.h"

#include "engine/PieceNaming.h"
#include "engine/win32/FilesBeingRead.h"
#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quorvel {
namespace {

// No Windows file system takes a longer name, in UTF-16 units.
constexpr std::size_t kLongestName = 255;

FileException Failure(DWORD code, std::string path) {
  return FileException(CauseFromWin32Error(code), static_cast<int>(code), std::move(path));
}

} // namespace

// Windows has no lookups relative to an open folder, and needs none: a path of any length is
// given in its "\\?\" form.
Folder::~Folder() = default;

bool Folder::Open(std::string_view folder, FileException *error) {
  m_strPrefix = folder.empty() || kNameDelimiters.find(folder.back()) != std::string_view::npos
                    ? std::string{folder}
                    : JoinFolder(folder, "");
  const std::string path = folder.empty() ? "." : std::string{folder};
  std::wstring windowsPath;
  if (!win32::ToWindowsPath(path, windowsPath)) {
    if (error)
      *error = Failure(ERROR_INVALID_NAME, path);
    return false;
  }
  const DWORD attributes = ::GetFileAttributesW(windowsPath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return true;
  if (error)
    *error =
        Failure(attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_DIRECTORY, path);
  return false;
}

std::string Folder::PathOf(std::string_view name) const {
  return std::string{m_strPrefix}.append(name);
}

Folder::Entry Folder::Look(std::string_view name, std::uint64_t *length) const {
  std::wstring windowsPath;
  if (!win32::ToWindowsPath(PathOf(name), windowsPath))
    return Entry::absent;
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExW(windowsPath.c_str(), GetFileExInfoStandard, &data)) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                   error == ERROR_INVALID_NAME || error == ERROR_FILENAME_EXCED_RANGE
               ? Entry::absent
               : Entry::other;
  }
  if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE))
    return Entry::other;
  if (length)
    *length = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  return Entry::file;
}

bool Folder::NameFits(std::string_view name, FileException *error) const {
  std::wstring wide;
  if (win32::ToWide(name, wide) && wide.size() <= kLongestName)
    return true;
  if (error)
    *error = Failure(ERROR_FILENAME_EXCED_RANGE, PathOf(name));
  return false;
}

bool Folder::OpenFile(File &file, std::string_view name, unsigned flags,
                      FileException *error) const {
  return file.Open(PathOf(name), flags, error);
}

bool Folder::Remove(std::string_view name, FileException *error) const {
  const std::string path = PathOf(name);
  std::wstring windowsPath;
  const auto refuse = [&](DWORD code) {
    if (error)
      *error =
          FileException(win32::CauseOfRefusal(code, windowsPath), static_cast<int>(code), path);
    return false;
  };
  if (!win32::ToWindowsPath(path, windowsPath))
    return refuse(ERROR_INVALID_NAME);
  const DWORD attributes = ::GetFileAttributesW(windowsPath.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD lookError = ::GetLastError();
    return lookError == ERROR_FILE_NOT_FOUND || refuse(lookError);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY)
    return refuse(ERROR_ACCESS_DENIED);
  // A file another program holds open is refused with a sharing violation, as none of this
  // program's opens lets others delete; a link goes, never its target.
  if (::DeleteFileW(windowsPath.c_str()))
    return true;
  const DWORD removeError = ::GetLastError();
  return removeError == ERROR_FILE_NOT_FOUND || refuse(removeError);
}

void Folder::ForEachName(const std::function<void(std::string_view name)> &visit) const {
  std::wstring pattern;
  if (!win32::ToWindowsPath(PathOf("*"), pattern))
    return;
  WIN32_FIND_DATAW found{};
  const HANDLE search = ::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                           FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do
    visit(win32::Utf8FromUtf16(found.cFileName));
  while (::FindNextFileW(search, &found));
  ::FindClose(search);
}

} // namespace quorvel

namespace quorvel {

std::optional<Folder::Space> Folder::FreeSpace() const {
  std::wstring windowsPath;
  if (!win32::ToWindowsPath(m_strPrefix.empty() ? "." : m_strPrefix, windowsPath))
    return std::nullopt;
  ULARGE_INTEGER available{};
  wchar_t root[MAX_PATH + 1];
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD clusters = 0;
  if (!::GetDiskFreeSpaceExW(windowsPath.c_str(), &available, nullptr, nullptr))
    return std::nullopt;
  // The cluster is asked of the volume's root; without it a file's room is counted in bytes.
  std::uint64_t unit = 1;
  if (::GetVolumePathNameW(windowsPath.c_str(), root, MAX_PATH + 1) &&
      ::GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
    unit = std::uint64_t{sectorsPerCluster} * bytesPerSector;
  return Space{available.QuadPart, unit > 0 ? unit : 1};
}

} // namespace quorvel
