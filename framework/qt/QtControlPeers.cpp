#include "framework/qt/QtControlPeers.h"

#include "framework/qt/QtIcons.h"

#include <QComboBox>
#include <QLineEdit>

namespace quorvel::fw::qt {
namespace {

// Read-only fields and labels take the dialog's colours, as the platform's colour messages give
// them to every control that shows text on the dialog.
QPalette DialogPalette(QPalette palette) {
  palette.setColor(QPalette::Window, DialogBackground());
  palette.setColor(QPalette::WindowText, DialogText());
  palette.setColor(QPalette::Text, DialogText());
  return palette;
}

} // namespace

QtEditPeer::QtEditPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtWindowPeer(parent, controlId, style, {}), m_lineEdit(new QLineEdit(this)) {
  m_lineEdit->setReadOnly((style & ES_READONLY) != 0);
  m_lineEdit->setFrame((style & WS_BORDER) != 0);
  QPalette palette = DialogPalette(m_lineEdit->palette());
  if (style & ES_READONLY)
    palette.setColor(QPalette::Base, DialogBackground());
  m_lineEdit->setPalette(palette);
  m_lineEdit->setText(ToQString(text));
  setFocusProxy(m_lineEdit);
}

CString QtEditPeer::Text() const { return m_lineEdit->text().toStdString(); }

void QtEditPeer::SetText(const CString &text) {
  const QString next = ToQString(text);
  if (next == m_lineEdit->text())
    return;
  m_lineEdit->setText(next);
  m_lineEdit->setCursorPosition(0);
  m_changed = true;
}

void QtEditPeer::Update() {
  QtWindowPeer::Update();
  if (!m_changed)
    return;
  m_changed = false;
  CountPainted(m_lineEdit->rect());
  if (m_lineEdit->isVisible())
    m_lineEdit->repaint();
}

void QtEditPeer::Focus() { m_lineEdit->setFocus(Qt::OtherFocusReason); }

LRESULT QtEditPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case EM_SETSEL: {
    const int length = static_cast<int>(m_lineEdit->text().size());
    const int start = std::clamp(static_cast<int>(wParam), 0, length);
    const int end = lParam < 0 ? length : std::clamp(static_cast<int>(lParam), 0, length);
    m_lineEdit->setSelection(start, end - start);
    return 0;
  }
  case EM_SCROLLCARET:
    // The field keeps its cursor in view by itself whenever the cursor moves.
    return 0;
  default:
    return QtWindowPeer::DefWindowProc(message, wParam, lParam);
  }
}

void QtEditPeer::resizeEvent(QResizeEvent *event) {
  m_lineEdit->setGeometry(rect());
  QtWindowPeer::resizeEvent(event);
}

QtComboPeer::QtComboPeer(QWidget *parent, UINT controlId, DWORD style)
    : QtWindowPeer(parent, controlId, style, {}), m_comboBox(new QComboBox(this)) {
  m_comboBox->setPalette(DialogPalette(m_comboBox->palette()));
  setFocusProxy(m_comboBox);
  QObject::connect(m_comboBox, &QComboBox::activated, this, [this] {
    if (QtWindowPeer *owner = ParentPeer())
      owner->Send(WM_COMMAND, MAKEWPARAM(ControlId(), CBN_SELCHANGE),
                  reinterpret_cast<LPARAM>(Handle()));
  });
}

void QtComboPeer::Focus() { m_comboBox->setFocus(Qt::OtherFocusReason); }

int QtComboPeer::FieldHeight() const { return m_comboBox->sizeHint().height(); }

LRESULT QtComboPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case CB_ADDSTRING:
    m_comboBox->addItem(QString::fromUtf8(reinterpret_cast<const char *>(lParam)));
    return m_comboBox->count() - 1;
  case CB_GETCURSEL:
    return m_comboBox->currentIndex() < 0 ? CB_ERR : m_comboBox->currentIndex();
  case CB_SETCURSEL: {
    const int index = static_cast<int>(wParam);
    if (index < 0 || index >= m_comboBox->count()) {
      m_comboBox->setCurrentIndex(-1);
      return CB_ERR;
    }
    m_comboBox->setCurrentIndex(index);
    return index;
  }
  default:
    return QtWindowPeer::DefWindowProc(message, wParam, lParam);
  }
}

void QtComboPeer::resizeEvent(QResizeEvent *event) {
  m_comboBox->setGeometry(rect());
  QtWindowPeer::resizeEvent(event);
}

QtStaticPeer::QtStaticPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtWindowPeer(parent, controlId, style, text) {}

void QtStaticPeer::PaintDefault(CPaintDC &dc) {
  SurfacePainter painter(*this, dc);
  painter.fillRect(rect(), DialogBackground());
  const DWORD type = Style() & SS_TYPEMASK;
  if (type == SS_ICON) {
    if (HICON icon = LoadIconNamed(Text()))
      painter.drawImage(0, 0, IconImage(icon));
    return;
  }
  QRect textArea = rect();
  if (Style() & SS_SUNKEN) {
    // The platform's thin sunken edge: shadow above and left, light below and right.
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    painter.drawLine(width() - 1, 0, width() - 1, height() - 1);
    textArea.adjust(1, 1, -1, -1);
  }
  int alignment = type == SS_CENTER  ? Qt::AlignHCenter
                  : type == SS_RIGHT ? Qt::AlignRight
                                     : Qt::AlignLeft;
  alignment |= (Style() & SS_SUNKEN) ? Qt::AlignVCenter : Qt::AlignTop;
  if (!(Style() & SS_NOPREFIX))
    alignment |= Qt::TextShowMnemonic;
  painter.setFont(font());
  painter.setPen(isEnabled() ? DialogText() : QColor(detail::ToRgb(SystemColour(COLOR_GRAYTEXT))));
  painter.drawText(textArea, alignment, ToQString(Text()));
}

} // namespace quorvel::fw::qt
