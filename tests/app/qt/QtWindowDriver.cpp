#include "tests/app/WindowDriver.h"

#include "framework/linux/LinuxMutex.h"
#include "framework/qt/QtControlPeers.h"
#include "framework/qt/QtDialogPeer.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace quorvel::test {

using fw::qt::PeerOf;
using fw::qt::PeerOfWidget;
using fw::qt::QtWindowPeer;
using fw::qt::WidgetOf;

void PrepareTestProcess(const std::filesystem::path &scratch) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  // The guard takes its lock among the test's own files, apart from a copy the user runs.
  fw::SetNamedLockFolder(scratch);
}

void Click(HWND control) {
  QWidget *widget = WidgetOf(control);
  const QPointF centre(widget->width() / 2.0, widget->height() / 2.0);
  const QPointF global = widget->mapToGlobal(centre);
  QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

void DropPaths(HWND control, const std::vector<CString> &paths) {
  QWidget *target = WidgetOf(control);
  while (target && !target->acceptDrops())
    target = target->parentWidget();
  if (!target)
    return;
  QMimeData data;
  QList<QUrl> urls;
  for (const CString &path : paths)
    urls << QUrl::fromLocalFile(QString::fromStdString(path));
  data.setUrls(urls);
  // File managers offer to move the files too.
  const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  const QPoint centre = target->rect().center();
  QDragEnterEvent enter(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted())
    return;
  QDropEvent drop(centre, actions, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction) << "the files stay where they are";
}

bool IsShown(HWND window) { return WidgetOf(window)->isVisible(); }

void PressEscape(HWND dialog) {
  QWidget *window = WidgetOf(dialog);
  QWidget *focused = window->focusWidget() ? window->focusWidget() : window;
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(focused, &press);
  QApplication::sendEvent(focused, &release);
}

void HandlePostedMessages() { QCoreApplication::processEvents(); }

HWND FocusedControl(HWND dialog) {
  QtWindowPeer *focused = PeerOfWidget(WidgetOf(dialog)->focusWidget());
  return focused ? focused->Handle() : nullptr;
}

CString SelectedText(HWND edit) {
  return dynamic_cast<fw::qt::QtEditPeer *>(PeerOf(edit))->selectedText().toStdString();
}

std::vector<CString> ComboItems(HWND combo) {
  const QComboBox *box = dynamic_cast<fw::qt::QtComboPeer *>(PeerOf(combo));
  std::vector<CString> items;
  for (int i = 0; i < box->count(); ++i)
    items.push_back(box->itemText(i).toStdString());
  return items;
}

void ChooseComboItem(HWND combo, int index) {
  auto *box = dynamic_cast<QComboBox *>(WidgetOf(combo));
  box->setCurrentIndex(index);
  Q_EMIT box->activated(index);
}

bool ShowsComboItemWhole(HWND combo, int index, bool dropped) {
  auto *box = dynamic_cast<QComboBox *>(WidgetOf(combo));
  if (dropped) {
    box->showPopup();
    QAbstractItemView *list = box->view();
    const int room = list->viewport()->width();
    const int needed = list->sizeHintForIndex(box->model()->index(index, 0)).width();
    box->hidePopup();
    return needed <= room;
  }
  QStyleOptionComboBox option;
  option.initFrom(box);
  option.currentText = box->itemText(index);
  const QRect field =
      box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
  return box->fontMetrics().horizontalAdvance(box->itemText(index)) <= field.width();
}

bool HasWindowIcon(HWND window) { return !WidgetOf(window)->windowIcon().isNull(); }

HWND OwnerOf(HWND window) {
  QtWindowPeer *owner = PeerOfWidget(WidgetOf(window)->parentWidget());
  return owner ? owner->Handle() : nullptr;
}

std::vector<MenuItem> SystemMenuItems(HWND window) {
  std::vector<MenuItem> items;
  for (const auto &item : PeerOf(window)->SystemMenu()->items)
    items.push_back({(item.flags & MF_SEPARATOR) != 0, static_cast<UINT>(item.id), item.text});
  return items;
}

void ExpectDialogFrame(HWND window) {
  const Qt::WindowFlags flags = WidgetOf(window)->windowFlags();
  EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

COLORREF PixelAt(HWND window, int x, int y) {
  const QColor colour = PeerOf(window)->Surface()->image.pixelColor(x, y);
  return RGB(colour.red(), colour.green(), colour.blue());
}

bool ShowsWaitCursor(HWND window) {
  // What the window system tells a window when the mouse comes over it and leaves it.
  QWidget *widget = WidgetOf(window);
  QEnterEvent enter{QPointF(), QPointF(), QPointF()};
  QApplication::sendEvent(widget, &enter);
  const QCursor *cursor = QGuiApplication::overrideCursor();
  const bool waits = cursor && cursor->shape() == Qt::WaitCursor;
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(widget, &leave);
  return waits;
}

HWND FrontModalWindow() {
  QtWindowPeer *front = PeerOfWidget(QApplication::activeModalWidget());
  return front ? front->Handle() : nullptr;
}

namespace {

class RecordingPeer : public fw::qt::QtPlainPeer {
public:
  explicit RecordingPeer(std::vector<UINT> *handedOn)
      : QtPlainPeer(nullptr, 0, 0, {}), m_handedOn(handedOn) {}
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    m_handedOn->push_back(message);
    return QtPlainPeer::DefWindowProc(message, wParam, lParam);
  }

private:
  std::vector<UINT> *m_handedOn;
};

} // namespace

HWND MakeBareWindow(std::vector<UINT> *handedOn) { return (new RecordingPeer(handedOn))->Handle(); }

} // namespace quorvel::test
