#pragma once

#include "framework/ModalUi.h"

#include <QSortFilterProxyModel>

class QFileDialog;

namespace quorvel::fw::qt {

// Lists folders and the files whose names match the patterns, by the matching rules of the
// program's filter strings rather than by Qt's globs.
class FilterPatternProxy : public QSortFilterProxyModel {
public:
  void SetPatterns(std::vector<CString> patterns);

protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
  std::vector<CString> m_patterns;
};

// The platform's message box, file-open dialog and folder browser, in the dialog colours.
class QtModalUi final : public ModalUi {
public:
  int MessageBox(const MessageBoxRequest &request) override;
  std::optional<CString> OpenFile(const FileOpenRequest &request) override;
  std::optional<FolderChoice> BrowseForFolder(const FolderBrowseRequest &request) override;

private:
  // Where the user was, as the platform's own choosers remember it while the program runs: the
  // folder of the last file chosen to open, and the last folder chosen in the browser.
  QString m_lastFileFolder;
  QString m_lastFolder;
};

// The file dialog an open request is shown in, made but not shown.
void ConfigureOpenDialog(QFileDialog &dialog, FilterPatternProxy &proxy,
                         const FileOpenRequest &request);

} // namespace quorvel::fw::qt
