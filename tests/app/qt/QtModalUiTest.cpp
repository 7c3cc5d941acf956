// The Qt platform's own modal windows: QMessageBox, QFileDialog and the file system model.
#include "framework/qt/QtModalUi.h"
#include "framework/WinApp.h"
#include "framework/qt/QtWindowPeer.h"
#include "res/Look.h"
#include "tests/app/AppTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <set>

namespace quorvel::test {
namespace {

using namespace fw;

// The Qt file dialog lists what the pattern matcher accepts, names without a dot included.
TEST(QtFileDialogTest, TheFileDialogListsNamesByThoseRules) {
  TempFolder folder;
  for (const char *name : {"1_report.doc", "1_README", "2_report.doc", "notes"})
    WriteFile(folder / name, {});
  QFileSystemModel model;
  const QModelIndex root = model.setRootPath(QString::fromStdString(folder.path().string()));
  while (model.rowCount(root) < 4)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
  qt::FilterPatternProxy proxy;
  proxy.setSourceModel(&model);

  auto listed = [&](std::vector<CString> patterns) {
    proxy.SetPatterns(std::move(patterns));
    std::set<std::string> names;
    const QModelIndex shownRoot = proxy.mapFromSource(root);
    for (int row = 0; row < proxy.rowCount(shownRoot); ++row)
      names.insert(proxy.index(row, 0, shownRoot).data().toString().toStdString());
    return names;
  };
  EXPECT_EQ(listed({"1_*.*"}), (std::set<std::string>{"1_README", "1_report.doc"}));
  EXPECT_EQ(listed({"*.*"}).size(), 4u);
}

struct ShownBox {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QWidget *parent = nullptr;
  int buttons = 0;
  QColor background;
  Qt::WindowFlags flags;
};

ShownBox ShowAndRead(HWND owner, UINT type) {
  ShownBox shown;
  QTimer::singleShot(0, [&shown] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    shown = {box->windowTitle(),
             box->text(),
             box->icon(),
             box->parentWidget(),
             static_cast<int>(box->buttons().size()),
             box->palette().color(QPalette::Window),
             box->windowFlags()};
    box->accept();
  });
  qt::QtModalUi platform;
  platform.MessageBox({owner, "没有找到 /tmp/a。", "quorvel-splitter", type});
  return shown;
}

using PlatformBoxTest = DialogTest;

TEST_F(PlatformBoxTest, ShowsTheTextUnderItsCaptionWithItsIconAndOneButton) {
  const ShownBox notice = ShowAndRead(dialog.m_hWnd, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(notice.title, "quorvel-splitter");
  EXPECT_EQ(notice.text, "没有找到 /tmp/a。");
  EXPECT_EQ(notice.icon, QMessageBox::Warning);
  EXPECT_EQ(notice.parent, qt::WidgetOf(dialog.m_hWnd));
  EXPECT_EQ(notice.buttons, 1);
  EXPECT_EQ(notice.background,
            QColor(res::kDialogColour.red, res::kDialogColour.green, res::kDialogColour.blue));
  EXPECT_TRUE(notice.flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                     Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
  EXPECT_FALSE(notice.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(ShowAndRead(dialog.m_hWnd, MB_ICONSTOP).icon, QMessageBox::Critical);
}

TEST(PlatformFileDialogTest, ListsEveryNameAndShowsTheFiltersOwnDescription) {
  QFileDialog dialog;
  auto *proxy = new qt::FilterPatternProxy;
  qt::ConfigureOpenDialog(dialog, *proxy,
                          {nullptr, {{"Splitted File(1_*.*)", {"1_*.*"}}}, OFN_FILEMUSTEXIST});
  EXPECT_EQ(dialog.nameFilters(), QStringList{"Splitted File(1_*.*) (*)"});
  EXPECT_TRUE(dialog.testOption(QFileDialog::HideNameFilterDetails));
  EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFile);
  EXPECT_EQ(dialog.proxyModel(), proxy);
}

// Runs `open`, which shows a file dialog, and answers that dialog with `choice`, or cancels it
// when there is none. Returns the folder the dialog started in.
QString StartOfFileDialogOpenedBy(const std::function<void()> &open, const QString &choice) {
  QString start;
  QTimer::singleShot(0, [&] {
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    start = dialog->directory().absolutePath();
    if (choice.isEmpty())
      return dialog->reject();
    dialog->selectFile(choice);
    static_cast<QDialog *>(dialog)->accept();
  });
  open();
  return start;
}

TEST(PlatformFileDialogTest, ChoosersStartWhereTheUserChoseLastInThisRun) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "pieces");
  WriteFile(folder / "a.bin", {});
  const QString where = QString::fromStdString(folder.path().string());
  qt::QtModalUi platform;
  auto openFile = [&platform] {
    platform.OpenFile({nullptr, {{"All Files(*.*)", {"*.*"}}}, true});
  };
  EXPECT_EQ(StartOfFileDialogOpenedBy(openFile, where + "/a.bin"), QDir::homePath());
  EXPECT_EQ(StartOfFileDialogOpenedBy(openFile, {}), where);
  EXPECT_EQ(StartOfFileDialogOpenedBy(openFile, {}), where) << "a cancel changes nothing";

  auto browse = [&platform] { platform.BrowseForFolder({nullptr, "Select a folder", {}, {}}); };
  EXPECT_EQ(StartOfFileDialogOpenedBy(browse, where + "/pieces"), QDir::homePath());
  // Beside the destination, which is selected.
  EXPECT_EQ(StartOfFileDialogOpenedBy(browse, {}), where);
}

} // namespace
} // namespace quorvel::test
