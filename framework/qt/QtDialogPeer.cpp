#include "framework/qt/QtDialogPeer.h"

#include "framework/DialogTemplate.h"
#include "framework/qt/QtColours.h"
#include "framework/qt/QtControlPeers.h"
#include "framework/qt/QtIcons.h"

#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QMenu>

#include <algorithm>

namespace quorvel::fw {

namespace qt {
namespace {

constexpr int kPixelsPerInch = 96;

int MulDiv(int number, int numerator, int denominator) {
  const long long product = static_cast<long long>(number) * numerator;
  return static_cast<int>((product + (product >= 0 ? denominator / 2 : -denominator / 2)) /
                          denominator);
}

QtWindowPeer *MakeControl(QWidget *dialog, const DialogItemTemplate &item) {
  const CString text{item.text};
  if (item.className == "button") {
    switch (item.style & BS_TYPEMASK) {
    case BS_AUTORADIOBUTTON:
      return new QtRadioPeer(dialog, item.id, item.style, text);
    case BS_GROUPBOX:
      return new QtGroupBoxPeer(dialog, item.id, item.style, text);
    default:
      return new QtPushButtonPeer(dialog, item.id, item.style, text);
    }
  }
  if (item.className == "edit")
    return new QtEditPeer(dialog, item.id, item.style, text);
  if (item.className == "static")
    return new QtLabelPeer(dialog, item.id, item.style, text);
  if (item.className == "combobox")
    return new QtComboPeer(dialog, item.id, item.style);
  if (item.className == "msctls_progress32")
    return new QtProgressPeer(dialog, item.id, item.style);
  return new QtPlainPeer(dialog, item.id, item.style, text);
}

// Assistive technology reads the program's dialogs as dialogs, not as bare windows.
QAccessibleInterface *DialogAccessibility(const QString &, QObject *object) {
  if (auto *dialog = dynamic_cast<QtDialogPeer *>(object))
    return new QAccessibleWidget(dialog, QAccessible::Dialog);
  return nullptr;
}

// Tab stops once in a group of radio buttons, at its checked button (its first one that takes
// input while none is checked), from where the arrows reach the others.
void StopAtCheckedButton(const QButtonGroup &group) {
  QAbstractButton *stop = group.checkedButton();
  for (QAbstractButton *button : group.buttons())
    if (!stop && button->isEnabled())
      stop = button;
  for (QAbstractButton *button : group.buttons())
    button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

// What a control takes from those before it in the template: the frame it may lie in, the text
// label that names it and the group of radio buttons it may join.
struct TemplateNeighbours {
  QtGroupBoxPeer *frame = nullptr;
  QRect frameArea;
  QtLabelPeer *label = nullptr;
  QButtonGroup *radios = nullptr;
};

// Where the template puts the control, in pixels of the dialog's font.
QRect ControlArea(const QWidget &dialog, CSize units, const DialogItemTemplate &item,
                  QtWindowPeer &control) {
  QRect area(MulDiv(item.x, units.cx, 4), MulDiv(item.y, units.cy, 8), MulDiv(item.cx, units.cx, 4),
             MulDiv(item.cy, units.cy, 8));
  if (auto *combo = dynamic_cast<QtComboPeer *>(&control))
    // The template's height is the dropped-down list's; the closed box is as high as its text.
    area.setHeight(std::min(area.height(), combo->sizeHint().height()));
  if (item.className == "static" && (item.style & SS_TYPEMASK) == SS_LEFT) {
    // A label keeps its whole line, which the substitute font draws wider and lower than the
    // face it stands in for, as far as the dialog reaches.
    const QFontMetrics metrics(dialog.font());
    const int textWidth = metrics.horizontalAdvance(ToQString(item.text)) + 2;
    area.setWidth(std::max(area.width(), std::min(textWidth, dialog.width() - area.x())));
    area.setHeight(std::max(area.height(), metrics.height()));
  }
  if (item.className == "static" && (item.style & SS_TYPEMASK) == SS_ICON)
    area.setSize(QSize(kIconSize, kIconSize));
  return area;
}

// A control within a frame is inside it for assistive technology too, which reads the frame's
// title as the name of the group.
void PlaceInFrame(TemplateNeighbours &before, QtWindowPeer &control, QRect area) {
  QWidget &widget = control.Widget();
  if (before.frame && before.frameArea.contains(area)) {
    widget.setParent(before.frame);
    area.translate(-before.frameArea.topLeft());
  }
  if (auto *groupBox = dynamic_cast<QtGroupBoxPeer *>(&control)) {
    before.frame = groupBox;
    before.frameArea = area;
  }
  widget.setGeometry(area);
}

// A text label names the field that follows it, as it does on the platform.
void NameByLabel(TemplateNeighbours &before, const DialogItemTemplate &item,
                 QtWindowPeer &control) {
  if (before.label && (item.className == "edit" || item.className == "combobox"))
    before.label->setBuddy(&control.Widget());
  before.label = dynamic_cast<QtLabelPeer *>(&control);
  if (before.label && !before.label->IsText())
    before.label = nullptr;
}

// A group of radio buttons runs from one with WS_GROUP to the next control with it.
void JoinRadioGroup(QWidget &dialog, TemplateNeighbours &before, QtWindowPeer &control,
                    const DialogItemTemplate &item) {
  auto *radio = dynamic_cast<QtRadioPeer *>(&control);
  if (item.style & WS_GROUP || !radio)
    before.radios = nullptr;
  if (!radio)
    return;
  if (!before.radios) {
    QButtonGroup *radios = new QButtonGroup(&dialog);
    QObject::connect(radios, &QButtonGroup::buttonToggled,
                     [radios] { StopAtCheckedButton(*radios); });
    before.radios = radios;
  }
  before.radios->addButton(radio);
  StopAtCheckedButton(*before.radios);
}

} // namespace

CSize DialogBaseUnits(const QFont &font) {
  const QFontMetrics metrics(font);
  const int letters =
      metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return {(letters / 26 + 1) / 2, metrics.height()};
}

QFont DialogFont(const DialogTemplate &dialogTemplate) {
  LOGFONT logFont{};
  logFont.lfHeight = -MulDiv(dialogTemplate.pointSize, kPixelsPerInch, 72);
  logFont.lfWeight = FW_NORMAL;
  SetFaceName(logFont, dialogTemplate.faceName);
  return FontFromLogFont(logFont);
}

QtDialogPeer::QtDialogPeer(QWidget *ownerWindow, const DialogTemplate &dialogTemplate)
    : QtPeerWidget(ownerWindow, 0, dialogTemplate.style) {
  static const bool accessible = (QAccessible::installFactory(DialogAccessibility), true);
  (void)accessible;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setWindowFlags(kDialogWindowFlags);
  setWindowTitle(ToQString(dialogTemplate.caption));
  setPalette(DialogPalette(palette()));
  setFont(DialogFont(dialogTemplate));
  const CSize units = DialogBaseUnits(font());
  setFixedSize(MulDiv(dialogTemplate.cx, units.cx, 4), MulDiv(dialogTemplate.cy, units.cy, 8));
  CreateControls(dialogTemplate);
}

QtDialogPeer::~QtDialogPeer() { EndModal(); }

void QtDialogPeer::CreateControls(const DialogTemplate &dialogTemplate) {
  const CSize units = DialogBaseUnits(font());
  TemplateNeighbours before;
  for (const DialogItemTemplate &item : dialogTemplate.items) {
    QtWindowPeer *control = MakeControl(this, item);
    QWidget &widget = control->Widget();
    widget.setFont(font());
    PlaceInFrame(before, *control, ControlArea(*this, units, item, *control));
    widget.setVisible((item.style & WS_VISIBLE) != 0);
    if (item.className == "button" && (item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      m_defaultId = item.id;
    NameByLabel(before, item, *control);
    JoinRadioGroup(*this, before, *control, item);
  }
}

void QtDialogPeer::Update() {
  QtPeerWidget::Update();
  for (QtWindowPeer *control : Controls())
    control->Update();
}

LRESULT QtDialogPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case WM_ERASEBKGND:
  case WM_ICONERASEBKGND: {
    CHandleDC dc(reinterpret_cast<HDC>(wParam));
    CRect clip;
    dc.GetClipBox(&clip);
    CBrush background(detail::ToColorRef(DialogBackground().rgb()));
    dc.FillRect(&clip, &background);
    return TRUE;
  }
  case WM_SETICON:
    if (auto icon = reinterpret_cast<HICON>(lParam); icon && wParam == ICON_BIG)
      setWindowIcon(IconSet(icon));
    return 0;
  case WM_SYSCOMMAND:
    if ((wParam & 0xFFF0) == SC_CLOSE)
      Send(WM_CLOSE);
    else if ((wParam & 0xFFF0) == SC_MINIMIZE)
      showMinimized();
    return 0;
  case WM_CLOSE:
    SendCommand(IDCANCEL);
    return 0;
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

void QtDialogPeer::RunModal() {
  if (m_modalLoop)
    return;
  QEventLoop loop;
  m_modalLoop = &loop;
  loop.exec(QEventLoop::DialogExec);
}

void QtDialogPeer::EndModal() {
  hide();
  if (!m_modalLoop)
    return;
  m_modalLoop->exit();
  m_modalLoop = nullptr;
}

void QtDialogPeer::FocusFirstTabStop() {
  for (QtWindowPeer *control : Controls()) {
    QWidget &widget = control->Widget();
    if ((widget.focusPolicy() & Qt::TabFocus) && widget.isEnabled() && widget.isVisibleTo(this)) {
      widget.setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

void QtDialogPeer::SendCommand(UINT id) { Send(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

UINT QtDialogPeer::EnterCommand() const {
  // Enter presses the push button that has the focus, or else the default one.
  auto *focused = dynamic_cast<QtPushButtonPeer *>(focusWidget());
  if (focused && focused->isEnabled())
    return focused->ControlId();
  return m_defaultId;
}

void QtDialogPeer::closeEvent(QCloseEvent *event) {
  // The window ends only when its dialog says so.
  event->ignore();
  Send(WM_SYSCOMMAND, SC_CLOSE);
}

void QtDialogPeer::keyPressEvent(QKeyEvent *event) {
  switch (event->key()) {
  case Qt::Key_Escape:
    SendCommand(IDCANCEL);
    return;
  case Qt::Key_Return:
  case Qt::Key_Enter:
    if (const UINT id = EnterCommand())
      SendCommand(id);
    return;
  case Qt::Key_F1:
    SendCommand(ID_HELP);
    return;
  default:
    QtPeerWidget::keyPressEvent(event);
  }
}

void QtDialogPeer::contextMenuEvent(QContextMenuEvent *event) {
  // The window menu, which the desktop's title bar menu cannot be given items for.
  QMenu menu(this);
  menu.addAction(QStringLiteral("Close"))->setData(SC_CLOSE);
  for (const detail::MenuData::Item &item : m_systemMenu.items) {
    if (item.flags & MF_SEPARATOR)
      menu.addSeparator();
    else
      menu.addAction(ToQString(item.text))->setData(static_cast<unsigned>(item.id));
  }
  const QAction *chosen = menu.exec(event->globalPos());
  if (chosen)
    Send(WM_SYSCOMMAND, chosen->data().toUInt());
}

} // namespace qt
} // namespace quorvel::fw
