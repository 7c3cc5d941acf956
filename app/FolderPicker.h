#pragma once

#include "framework/Wnd.h"

namespace quorvel {

// Asks the user for a folder with the platform's folder browser.
class FolderPicker {
public:
  FolderPicker();
  virtual ~FolderPicker();

  // 1 when a folder of the file system was chosen and its path stored in m_strPath, else 0.
  // `owner` may be null.
  int Browse(fw::CWnd *owner);

  fw::CString m_strPath;
  // Empty: the browser's default root.
  fw::CString m_strRoot;
  // Empty: nothing preselected.
  fw::CString m_strInitial;
  fw::CString m_strTitle;
};

} // namespace quorvel
