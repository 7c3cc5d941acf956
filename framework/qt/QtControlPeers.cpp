#include "framework/qt/QtControlPeers.h"

#include "framework/qt/QtColours.h"
#include "framework/qt/QtIcons.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace quorvel::fw::qt {

QtPushButtonPeer::QtPushButtonPeer(QWidget *parent, UINT controlId, DWORD style,
                                   const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  setText(ToQString(text));
  setAutoDefault(false);
  setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  QObject::connect(this, &QAbstractButton::clicked, [this] { Notify(BN_CLICKED); });
}

void QtPushButtonPeer::SetText(const CString &text) {
  const QString next = ToQString(text);
  if (next == QPushButton::text())
    return;
  setText(next);
  if (PaintsSurface())
    InvalidateAll();
}

LRESULT QtPushButtonPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case BM_SETSTYLE:
    SetStyle((Style() & 0xFFFF0000) | (static_cast<DWORD>(wParam) & 0xFFFF));
    if (lParam)
      InvalidateAll();
    return 0;
  case BM_SETSTATE:
    setDown(wParam != 0);
    return 0;
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

UINT QtPushButtonPeer::ItemState() const {
  return (isDown() ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) |
         (isEnabled() ? 0 : ODS_DISABLED);
}

void QtPushButtonPeer::paintEvent(QPaintEvent *event) {
  // Qt repaints the button when it is pressed, released, focused or enabled; the owner paints
  // the face of that state.
  if (PaintsSurface() && std::exchange(m_paintedState, ItemState()) != ItemState())
    InvalidateAll();
  QtPeerWidget::paintEvent(event);
}

void QtPushButtonPeer::PaintDefault(CPaintDC &dc) {
  const CRect client = ClientRect();
  m_paintedState = ItemState();
  DRAWITEMSTRUCT request{ODT_BUTTON, ControlId(), 0, ODA_DRAWENTIRE, m_paintedState, Handle(),
                         dc.m_hDC,   client,      0};
  Send(WM_DRAWITEM, ControlId(), reinterpret_cast<LPARAM>(&request));
}

QtRadioPeer::QtRadioPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  setText(ToQString(text));
  QObject::connect(this, &QAbstractButton::clicked, [this] { Notify(BN_CLICKED); });
}

LRESULT QtRadioPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case BM_GETCHECK:
    return isChecked() ? BST_CHECKED : BST_UNCHECKED;
  case BM_SETCHECK: {
    const bool check = wParam == BST_CHECKED;
    // An exclusive group keeps its checked button; the platform lets it be cleared.
    QButtonGroup *buttons = group();
    const bool exclusive = buttons && buttons->exclusive();
    if (exclusive && !check)
      buttons->setExclusive(false);
    setChecked(check);
    if (exclusive && !check)
      buttons->setExclusive(true);
    return 0;
  }
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

void QtRadioPeer::keyPressEvent(QKeyEvent *event) {
  // The arrows go round the group in template order and click the button they reach, whatever
  // its place on the screen.
  const int key = event->key();
  const bool forward = key == Qt::Key_Right || key == Qt::Key_Down;
  if (!group() || !(forward || key == Qt::Key_Left || key == Qt::Key_Up))
    return QtPeerWidget::keyPressEvent(event);
  const QList<QAbstractButton *> buttons = group()->buttons();
  const auto count = buttons.size();
  const auto at = buttons.indexOf(this);
  for (qsizetype step = 1; step < count; ++step) {
    QAbstractButton *next = buttons[((at + (forward ? step : -step)) % count + count) % count];
    if (next->isEnabled() && next->isVisibleTo(parentWidget())) {
      next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      next->click();
      return;
    }
  }
}

QtGroupBoxPeer::QtGroupBoxPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  setTitle(ToQString(text));
  setFocusPolicy(Qt::NoFocus);
}

void QtGroupBoxPeer::paintEvent(QPaintEvent *event) {
  CountPainted(event->rect());
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const int top = metrics.height() / 2;
  const int right = width() - 1;
  const int bottom = height() - 1;
  // An etched frame: a shadow line with a light one inside it, the bottom and right edges the
  // other way round.
  painter.setPen(QColor(128, 128, 128));
  painter.drawLine(0, top, right - 1, top);
  painter.drawLine(0, top, 0, bottom - 1);
  painter.drawLine(1, bottom - 1, right - 1, bottom - 1);
  painter.drawLine(right - 1, top + 1, right - 1, bottom - 1);
  painter.setPen(QColor(255, 255, 255));
  painter.drawLine(1, top + 1, right - 2, top + 1);
  painter.drawLine(1, top + 1, 1, bottom - 2);
  painter.drawLine(0, bottom, right, bottom);
  painter.drawLine(right, top, right, bottom);

  if (title().isEmpty())
    return;
  const QRect titleArea(metrics.averageCharWidth(), 0,
                        metrics.size(Qt::TextShowMnemonic, title()).width() + 4, metrics.height());
  painter.fillRect(titleArea, palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(titleArea, Qt::AlignCenter | Qt::TextShowMnemonic, title());
}

QtLabelPeer::QtLabelPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  const DWORD type = style & SS_TYPEMASK;
  int alignment = type == SS_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
  alignment |= (style & SS_SUNKEN) ? Qt::AlignVCenter : Qt::AlignTop;
  setAlignment(Qt::Alignment(alignment));
  if (style & SS_SUNKEN)
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setTextFormat(Qt::PlainText);
  SetText(text);
}

void QtLabelPeer::SetText(const CString &text) {
  m_source = text;
  if (IsText())
    return setText(ToQString(text));
  if (HICON icon = LoadIconNamed(text))
    setPixmap(IconSet(icon).pixmap(QSize(kIconSize, kIconSize), devicePixelRatioF()));
}

QtEditPeer::QtEditPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  setReadOnly((style & ES_READONLY) != 0);
  setFrame((style & WS_BORDER) != 0);
  setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  // A read-only field shows the dialog's background, as the platform's colour messages give it.
  if (style & ES_READONLY) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, DialogBackground());
    setPalette(colours);
  }
  setText(ToQString(text));
}

void QtEditPeer::SetText(const CString &text) {
  const QString next = ToQString(text);
  if (next == QLineEdit::text())
    return;
  setText(next);
  setCursorPosition(0);
}

LRESULT QtEditPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case EM_SETSEL: {
    const int length = static_cast<int>(text().size());
    const int start = std::clamp(static_cast<int>(wParam), 0, length);
    const int end = lParam < 0 ? length : std::clamp(static_cast<int>(lParam), 0, length);
    setSelection(start, end - start);
    return 0;
  }
  case EM_SCROLLCARET:
    // The field keeps its cursor in view by itself whenever the cursor moves.
    return 0;
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

QtComboPeer::QtComboPeer(QWidget *parent, UINT controlId, DWORD style)
    : QtPeerWidget(parent, controlId, style) {
  setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
  QObject::connect(this, &QComboBox::activated, [this] { Notify(CBN_SELCHANGE); });
}

LRESULT QtComboPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case CB_ADDSTRING:
    addItem(QString::fromUtf8(reinterpret_cast<const char *>(lParam)));
    return count() - 1;
  case CB_INSERTSTRING: {
    const int index = static_cast<int>(wParam) < 0 ? count() : static_cast<int>(wParam);
    if (index > count())
      return CB_ERR;
    insertItem(index, QString::fromUtf8(reinterpret_cast<const char *>(lParam)));
    return index;
  }
  case CB_GETCURSEL:
    return currentIndex() < 0 ? CB_ERR : currentIndex();
  case CB_SETCURSEL: {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= count()) {
      setCurrentIndex(-1);
      return CB_ERR;
    }
    setCurrentIndex(index);
    return index;
  }
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

QtProgressPeer::QtProgressPeer(QWidget *parent, UINT controlId, DWORD style)
    : QtPeerWidget(parent, controlId, style) {
  setTextVisible(false);
  Publish();
}

void QtProgressPeer::Publish() {
  setUpdatesEnabled(false);
  setRange(std::min(m_lower, m_upper), std::max(m_lower, m_upper));
  setValue(m_position);
  setUpdatesEnabled(true);
}

LRESULT QtProgressPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case PBM_SETRANGE: {
    const DWORD previous =
        MAKELPARAM(static_cast<unsigned>(m_lower), static_cast<unsigned>(m_upper));
    const int lower = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
    const int upper = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
    // As on the platform, the same range again changes nothing and repaints nothing.
    if (lower == m_lower && upper == m_upper)
      return previous;
    m_lower = lower;
    m_upper = upper;
    m_position = std::clamp(m_position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    Publish();
    InvalidateAll();
    return previous;
  }
  case PBM_SETPOS: {
    const int previous = m_position;
    // Compared before clamping, as the platform's bar does.
    if (static_cast<int>(wParam) == previous)
      return previous;
    m_position = std::clamp(static_cast<int>(wParam), std::min(m_lower, m_upper),
                            std::max(m_lower, m_upper));
    Publish();
    InvalidateAll();
    return previous;
  }
  case PBM_GETPOS:
    return m_position;
  default:
    return QtPeerWidget::DefWindowProc(message, wParam, lParam);
  }
}

void QtProgressPeer::PaintDefault(CPaintDC &dc) {
  const CRect client = ClientRect();
  CBrush face(SystemColour(COLOR_BTNFACE));
  dc.FillRect(&client, &face);
  if (m_upper <= m_lower)
    return;
  const long long reached =
      static_cast<long long>(m_position - m_lower) * client.Width() / (m_upper - m_lower);
  const CRect filled{0, 0, static_cast<int>(reached), client.bottom};
  CBrush bar(RGB(0, 120, 215));
  dc.FillRect(&filled, &bar);
}

} // namespace quorvel::fw::qt
