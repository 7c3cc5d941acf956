#include "framework/Platform.h"

#include "framework/qt/QtDialogPeer.h"
#include "framework/qt/QtModalUi.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <memory>

namespace quorvel::fw::platform {
namespace {

std::unique_ptr<QApplication> g_application;

qt::QtDialogPeer *AsDialog(HWND window) { return dynamic_cast<qt::QtDialogPeer *>(window); }

bool HasEnvironment(const char *name) { return !qEnvironmentVariableIsEmpty(name); }

} // namespace

bool OpenDisplay(int &argc, char **argv, CString &problem) {
  if (!HasEnvironment("QT_QPA_PLATFORM") && !HasEnvironment("DISPLAY") &&
      !HasEnvironment("WAYLAND_DISPLAY")) {
    const CString name =
        argc > 0 ? QFileInfo(argv[0]).fileName().toStdString() : "quorvel-splitter";
    problem = name +
              ": no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
              "Run it from a desktop session, or without one under a virtual display:\n"
              "  xvfb-run -a " +
              (argc > 0 ? CString{argv[0]} : name);
    return false;
  }
  g_application = std::make_unique<QApplication>(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  QGuiApplication::setDesktopFileName(QStringLiteral("quorvel-splitter"));
  return true;
}

void CloseDisplay() { g_application.reset(); }

HWND CreateDialogWindow(const res::DialogTemplate &dialogTemplate, HWND owner) {
  auto *ownerWidget = dynamic_cast<QWidget *>(owner);
  auto *dialog =
      new qt::QtDialogPeer(ownerWidget ? ownerWidget->window() : nullptr, dialogTemplate);
  dialog->setWindowModality(Qt::ApplicationModal);
  return dialog;
}

void ShowDialogWindow(HWND dialog) {
  if (auto *window = AsDialog(dialog)) {
    window->show();
    window->activateWindow();
  }
}

void FocusFirstTabStop(HWND dialog) {
  if (auto *window = AsDialog(dialog))
    window->FocusFirstTabStop();
}

void RunModalLoop(HWND dialog) {
  if (auto *window = AsDialog(dialog))
    window->RunModal();
}

void EndModalLoop(HWND dialog) {
  if (auto *window = AsDialog(dialog))
    window->EndModal();
}

void ShowWaitCursor(bool shown) {
  if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
    return;
  if (shown)
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

void PostTask(std::function<void()> task) {
  QTimer::singleShot(0, QCoreApplication::instance(), std::move(task));
}

void CloseModalWindow() {
  if (QWidget *window = QApplication::activeModalWidget())
    window->close();
}

ModalUi &PlatformModalUi() {
  static qt::QtModalUi modalUi;
  return modalUi;
}

} // namespace quorvel::fw::platform
