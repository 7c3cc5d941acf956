#include "framework/Wnd.h"
#include "framework/win32/Win32Utf16.h"

namespace quorvel::fw {

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CString &text) {
  if (!m_hMenu)
    return FALSE;
  const std::wstring wide = win32::Utf16FromUtf8(text);
  return ::AppendMenuW(m_hMenu, flags, id, (flags & MF_SEPARATOR) ? nullptr : wide.c_str());
}

} // namespace quorvel::fw
