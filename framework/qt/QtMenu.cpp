#include "framework/Wnd.h"
#include "framework/qt/QtDialogPeer.h"

namespace quorvel::fw {

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CString &text) {
  if (!m_hMenu)
    return FALSE;
  m_hMenu->items.push_back({flags, id, text});
  return TRUE;
}

} // namespace quorvel::fw
