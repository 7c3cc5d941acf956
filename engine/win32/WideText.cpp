#include "engine/win32/WideText.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quorvel::win32 {
namespace {

// CreateDirectoryW's limit, the lowest of the W functions': it keeps room for an 8.3 name.
constexpr std::size_t kLongestPlainPath = MAX_PATH - 12;
// No Windows file system takes a longer name.
constexpr std::size_t kLongestName = 255;

bool HasNameTooLong(std::wstring_view path) {
  std::size_t length = 0;
  for (wchar_t unit : path) {
    length = (unit == L'\\' || unit == L'/') ? 0 : length + 1;
    if (length > kLongestName)
      return true;
  }
  return false;
}

} // namespace

bool ToWindowsPath(std::string_view path, std::wstring &windowsPath) {
  if (!ToWide(path, windowsPath) || windowsPath.find(L'\0') != std::wstring::npos ||
      HasNameTooLong(windowsPath))
    return false;
  if (windowsPath.size() < kLongestPlainPath || windowsPath.starts_with(L"\\\\?\\"))
    return true;
  const DWORD needed = ::GetFullPathNameW(windowsPath.c_str(), 0, nullptr, nullptr);
  if (needed == 0)
    return true;
  std::wstring full(needed, L'\0');
  const DWORD length = ::GetFullPathNameW(windowsPath.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed)
    return true;
  full.resize(length);
  // A device ("\\.\") keeps its form; a share ("\\server\share") has its own long form.
  if (full.starts_with(L"\\\\.\\"))
    windowsPath = std::move(full);
  else if (full.starts_with(L"\\\\"))
    windowsPath = L"\\\\?\\UNC\\" + full.substr(2);
  else
    windowsPath = L"\\\\?\\" + full;
  return true;
}

} // namespace quorvel::win32
