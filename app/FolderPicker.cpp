#include "app/FolderPicker.h"

#include "framework/ModalUi.h"
#include "res/Catalogue.h"

namespace quorvel {

using namespace fw;

namespace {

void TrimRight(CString &text) {
  const auto end = text.find_last_not_of(" \t\r\n\v\f");
  text.erase(end == CString::npos ? 0 : end + 1);
}

} // namespace

FolderPicker::FolderPicker() : m_strTitle(res::Texts().folderPickerTitle) {}

FolderPicker::~FolderPicker() = default;

int FolderPicker::Browse(CWnd *owner) {
  if (!m_strInitial.empty()) {
    TrimRight(m_strInitial);
    // One separator only; the file system's root keeps its one.
    if (m_strInitial.size() > 1 && (m_strInitial.back() == '\\' || m_strInitial.back() == '/'))
      m_strInitial.pop_back();
  }
  const auto choice = GetModalUi().BrowseForFolder(
      {owner ? owner->m_hWnd : nullptr, m_strTitle, m_strRoot, m_strInitial});
  // A cancel, or an item that is no folder of the file system, changes nothing.
  if (!choice || choice->path.empty())
    return 0;
  m_strPath = choice->path;
  return 1;
}

} // namespace quorvel
