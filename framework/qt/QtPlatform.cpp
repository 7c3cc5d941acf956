#include "framework/Platform.h"

#include "framework/qt/QtDialogPeer.h"
#include "framework/qt/QtModalUi.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QMetaObject>
#include <QStyle>

#include <memory>

namespace quorvel::fw::platform {
namespace {

std::unique_ptr<QApplication> g_application;

qt::QtDialogPeer *AsDialog(HWND window) { return dynamic_cast<qt::QtDialogPeer *>(window); }

qt::QtWindowPeer *Peer(HWND window) { return qt::PeerOf(window); }

bool HasEnvironment(const char *name) { return !qEnvironmentVariableIsEmpty(name); }

// The override cursor covers every window; a window that keeps the arrow swaps it for the arrow
// while the mouse is over it.
class ArrowKeeper final : public QObject {
public:
  using QObject::QObject;

  static void SwapWaitCursor(Qt::CursorShape from, Qt::CursorShape to) {
    const QCursor *shown = QGuiApplication::overrideCursor();
    if (shown && shown->shape() == from)
      QGuiApplication::changeOverrideCursor(to);
  }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Enter)
      SwapWaitCursor(Qt::WaitCursor, Qt::ArrowCursor);
    else if (event->type() == QEvent::Leave)
      SwapWaitCursor(Qt::ArrowCursor, Qt::WaitCursor);
    return QObject::eventFilter(watched, event);
  }
};

} // namespace

bool OpenDisplay(int &argc, char **argv, const CString &applicationName, CString &problem) {
  if (!HasEnvironment("QT_QPA_PLATFORM") && !HasEnvironment("DISPLAY") &&
      !HasEnvironment("WAYLAND_DISPLAY")) {
    problem = "no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set).";
    return false;
  }
  g_application = std::make_unique<QApplication>(argc, argv);
  QApplication::setStyle(QStringLiteral("Fusion"));
  // The desktop finds the program's entry and icon under its name.
  QGuiApplication::setDesktopFileName(qt::ToQString(applicationName));
  return true;
}

void CloseDisplay() { g_application.reset(); }

CWnd *AttachedObject(HWND window) { return Peer(window)->Owner(); }

void AttachObject(HWND window, CWnd *object) { Peer(window)->SetOwner(object); }

void DestroyWindow(HWND window) { Peer(window)->Destroy(); }

CRect ClientRect(HWND window) { return Peer(window)->ClientRect(); }

DWORD Style(HWND window) { return Peer(window)->Style(); }

// Qt scales the program's pixels to the display itself.
UINT Dpi(HWND) { return USER_DEFAULT_SCREEN_DPI; }

CString Text(HWND window) { return Peer(window)->Text(); }

void SetText(HWND window, const CString &text) { Peer(window)->SetText(text); }

void SetAccessibleName(HWND window, const CString &name) {
  QWidget *widget = qt::WidgetOf(window);
  widget->setAccessibleName(qt::ToQString(name));
  // On Linux a combo box's accessible name is its value: what it is comes from its label.
  if (auto *box = qobject_cast<QComboBox *>(widget)) {
    auto *label = new QLabel(qt::ToQString(name), box->parentWidget());
    label->setBuddy(box);
    label->hide();
  }
}

bool IsEnabled(HWND window) { return qt::WidgetOf(window)->isEnabled(); }

void Enable(HWND window, bool enabled) { qt::WidgetOf(window)->setEnabled(enabled); }

HWND Child(HWND window, UINT controlId) {
  qt::QtWindowPeer *child = Peer(window)->FindChild(controlId);
  return child ? child->Handle() : nullptr;
}

void Focus(HWND window) { qt::WidgetOf(window)->setFocus(Qt::OtherFocusReason); }

bool IsMinimized(HWND window) { return Peer(window)->IsMinimized(); }

HMENU SystemMenu(HWND window) { return Peer(window)->SystemMenu(); }

void FitDroppedWidth(HWND combo) {
  auto *box = dynamic_cast<QComboBox *>(qt::WidgetOf(combo));
  if (!box)
    return;
  QAbstractItemView *list = box->view();
  const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
  list->setMinimumWidth(list->sizeHintForColumn(0) + scrollBar + 2 * list->frameWidth());
}

void AcceptDroppedFiles(HWND window, bool accept) { Peer(window)->AcceptDroppedFiles(accept); }

std::vector<CString> DroppedPaths(HDROP drop) {
  return drop ? drop->paths : std::vector<CString>{};
}

void Invalidate(HWND window, const CRect *rect, bool erase) {
  Peer(window)->Invalidate(rect, erase);
}

void Update(HWND window) { Peer(window)->Update(); }

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Peer(window)->Send(message, wParam, lParam);
}

LRESULT SendText(HWND window, UINT message, WPARAM wParam, const CString &text) {
  return Send(window, message, wParam, reinterpret_cast<LPARAM>(text.c_str()));
}

LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return Peer(window)->DefWindowProc(message, wParam, lParam);
}

HWND CreateDialogWindow(const DialogTemplate &dialogTemplate, HWND owner) {
  QWidget *ownerWidget = qt::WidgetOf(owner);
  auto *dialog =
      new qt::QtDialogPeer(ownerWidget ? ownerWidget->window() : nullptr, dialogTemplate);
  dialog->setWindowModality(Qt::ApplicationModal);
  return dialog->Handle();
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
  if (!shown)
    return QGuiApplication::restoreOverrideCursor();
  // The mouse may already be over a window that keeps the arrow.
  const QWidget *under = QApplication::widgetAt(QCursor::pos());
  const bool keepsArrow =
      under && under->findChild<ArrowKeeper *>(QString(), Qt::FindDirectChildrenOnly);
  QGuiApplication::setOverrideCursor(keepsArrow ? Qt::ArrowCursor : Qt::WaitCursor);
}

void KeepArrowCursor(HWND window, bool keep) {
  QWidget *widget = qt::WidgetOf(window);
  auto *keeper = widget->findChild<ArrowKeeper *>(QString(), Qt::FindDirectChildrenOnly);
  if (keep && !keeper) {
    widget->installEventFilter(new ArrowKeeper(widget));
    return;
  }
  if (!keep && keeper) {
    if (widget->underMouse())
      ArrowKeeper::SwapWaitCursor(Qt::ArrowCursor, Qt::WaitCursor);
    delete keeper;
  }
}

void PostTask(std::function<void()> task) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void RunLoopWhile(HWND, const std::function<bool()> &running) {
  // The dialog's keys reach it through its own key handling, as in its modal loop.
  while (running())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
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
