#include "base/win32/Utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace quorvel::win32 {
namespace {

bool Convert(std::string_view text, DWORD flags, std::wstring &wide) {
  wide.clear();
  if (text.empty())
    return true;
  const int length = static_cast<int>(text.size());
  const int needed = ::MultiByteToWideChar(CP_UTF8, flags, text.data(), length, nullptr, 0);
  if (needed <= 0)
    return false;
  wide.resize(static_cast<std::size_t>(needed));
  return ::MultiByteToWideChar(CP_UTF8, flags, text.data(), length, wide.data(), needed) == needed;
}

} // namespace

std::wstring Utf16FromUtf8(std::string_view text) {
  std::wstring wide;
  Convert(text, 0, wide);
  return wide;
}

bool ToWide(std::string_view text, std::wstring &wide) {
  return Convert(text, MB_ERR_INVALID_CHARS, wide);
}

std::string Utf8FromUtf16(std::wstring_view text) {
  if (text.empty())
    return {};
  const int length = static_cast<int>(text.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(needed > 0 ? needed : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

} // namespace quorvel::win32
