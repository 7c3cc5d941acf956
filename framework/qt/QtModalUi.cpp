#include "framework/qt/QtModalUi.h"

#include "framework/FileDialog.h"
#include "framework/qt/QtColours.h"
#include "framework/qt/QtWindowPeer.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>

namespace quorvel::fw::qt {
namespace {

QWidget *OwnerWidget(HWND owner) {
  QWidget *widget = WidgetOf(owner);
  return widget ? widget->window() : nullptr;
}

void ApplyDialogColours(QWidget &window) {
  QPalette palette = window.palette();
  palette.setColor(QPalette::Window, DialogBackground());
  palette.setColor(QPalette::WindowText, DialogText());
  window.setPalette(palette);
}

QMessageBox::Icon IconOf(UINT type) {
  switch (type & MB_ICONMASK) {
  case MB_ICONSTOP:
    return QMessageBox::Critical;
  case MB_ICONEXCLAMATION:
    return QMessageBox::Warning;
  case MB_ICONINFORMATION:
    return QMessageBox::Information;
  default:
    return QMessageBox::NoIcon;
  }
}

// Qt reads patterns from the last parentheses of a filter; every name passes there, and the
// proxy does the matching.
QString QtFilterOf(const FileFilter &filter) {
  return ToQString(filter.description) + QStringLiteral(" (*)");
}

} // namespace

void FilterPatternProxy::SetPatterns(std::vector<CString> patterns) {
  m_patterns = std::move(patterns);
  invalidateFilter();
}

bool FilterPatternProxy::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const {
  const auto *model = qobject_cast<const QFileSystemModel *>(sourceModel());
  if (!model)
    return true;
  const QModelIndex index = model->index(sourceRow, 0, sourceParent);
  if (model->isDir(index) || m_patterns.empty())
    return true;
  const std::string name = model->fileName(index).toStdString();
  return std::any_of(m_patterns.begin(), m_patterns.end(), [&name](const CString &pattern) {
    return MatchesFilterPattern(name, pattern);
  });
}

void ConfigureOpenDialog(QFileDialog &dialog, FilterPatternProxy &proxy,
                         const FileOpenRequest &request) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode((request.flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile
                                                         : QFileDialog::AnyFile);
  dialog.setWindowTitle(QStringLiteral("Open"));
  dialog.setProxyModel(&proxy);
  QStringList names;
  for (const FileFilter &filter : request.filters)
    names << QtFilterOf(filter);
  dialog.setNameFilters(names);
  if (!request.filters.empty())
    proxy.SetPatterns(request.filters.front().patterns);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &proxy,
                   [&proxy, filters = request.filters, names](const QString &selected) {
                     const auto at = names.indexOf(selected);
                     if (at >= 0)
                       proxy.SetPatterns(filters[static_cast<std::size_t>(at)].patterns);
                   });
}

int QtModalUi::MessageBox(const MessageBoxRequest &request) {
  QMessageBox box(IconOf(request.type), ToQString(request.caption), ToQString(request.text),
                  QMessageBox::Ok, OwnerWidget(request.owner), kDialogWindowFlags);
  ApplyDialogColours(box);
  box.exec();
  return IDOK;
}

std::optional<CString> QtModalUi::OpenFile(const FileOpenRequest &request) {
  QFileDialog dialog(OwnerWidget(request.owner));
  // The dialog takes the proxy as its child and deletes it.
  auto *proxy = new FilterPatternProxy;
  ConfigureOpenDialog(dialog, *proxy, request);
  dialog.setDirectory(QFileInfo(m_lastFileFolder).isDir() ? m_lastFileFolder : QDir::homePath());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  const QString chosen = dialog.selectedFiles().front();
  m_lastFileFolder = QFileInfo(chosen).absolutePath();
  return QDir::toNativeSeparators(chosen).toStdString();
}

std::optional<FolderChoice> QtModalUi::BrowseForFolder(const FolderBrowseRequest &request) {
  const QString root = ToQString(request.root);
  if (!root.isEmpty() && !QFileInfo(root).isDir())
    return std::nullopt;
  QFileDialog dialog(OwnerWidget(request.owner), ToQString(request.title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setDirectory(root.isEmpty() ? QDir::homePath() : root);
  // Without a selection of its own the browser starts at the folder chosen last, the destination.
  const QString initial =
      request.initialSelection.empty() && root.isEmpty() && QFileInfo(m_lastFolder).isDir()
          ? m_lastFolder
          : ToQString(request.initialSelection);
  if (!initial.isEmpty()) {
    dialog.setDirectory(QFileInfo(initial).absolutePath());
    dialog.selectFile(initial);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
    return std::nullopt;
  const QFileInfo chosen(dialog.selectedFiles().front());
  if (!chosen.isDir())
    return FolderChoice{};
  m_lastFolder = chosen.absoluteFilePath();
  return FolderChoice{QDir::toNativeSeparators(chosen.absoluteFilePath()).toStdString()};
}

} // namespace quorvel::fw::qt
