#pragma once

#include "framework/ModalUi.h"

#include <string_view>

namespace quorvel::fw {

// "description|pattern;pattern|description|pattern||" as filter entries.
std::vector<FileFilter> ParseFilterString(std::string_view filter);

// Matches a file name as Windows file dialogs do: case-insensitively, "*"
// and "?" as wildcards, and a pattern ending in ".*" also matching names with no extension,
// so that "*.*" matches every name.
bool MatchesFilterPattern(std::string_view name, std::string_view pattern);

// The platform's dialog for choosing a file to open.
class CFileDialog {
public:
  CFileDialog(BOOL openFileDialog, const char *defaultExtension = nullptr,
              const char *fileName = nullptr, DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
              const char *filter = nullptr, CWnd *parent = nullptr);
  virtual ~CFileDialog() = default;

  // IDOK when a file was chosen, IDCANCEL otherwise.
  virtual int DoModal();
  CString GetPathName() const { return m_strPathName; }
  // The chosen file's name with its extension, without its folder.
  CString GetFileName() const;

private:
  DWORD m_dwFlags;
  std::vector<FileFilter> m_filters;
  CWnd *m_pParentWnd;
  CString m_strPathName;
};

} // namespace quorvel::fw
