#pragma once

#include "framework/ModalUi.h"

namespace quorvel::fw::win32 {

// The system's message box, file-open dialog and folder browser; boxes in the dialog colours.
class Win32ModalUi final : public ModalUi {
public:
  int MessageBox(const MessageBoxRequest &request) override;
  std::optional<CString> OpenFile(const FileOpenRequest &request) override;
  std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &request) override;
};

// The filter of an open dialog: a description and its patterns joined by ";" for each entry,
// each string ended by a zero, and the list by another.
std::wstring FilterList(const std::vector<FileFilter> &filters);

} // namespace quorvel::fw::win32
