#include "framework/qt/QtWindowPeer.h"

#include "framework/WinApp.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace quorvel::fw::qt {

QtWindowPeer::QtWindowPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QWidget(parent), m_controlId(controlId), m_style(style), m_text(text),
      m_surface(std::make_shared<detail::BitmapData>()) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setEnabled(!(style & WS_DISABLED));
}

QtWindowPeer::~QtWindowPeer() {
  if (m_owner)
    m_owner->m_hWnd = nullptr;
}

void QtWindowPeer::Destroy() {
  m_owner = nullptr;
  delete this;
}

CRect QtWindowPeer::ClientRect() const { return {0, 0, width(), height()}; }

QColor DialogBackground() {
  if (const auto colours = AfxGetDialogColours())
    return QColor(detail::ToRgb(colours->background));
  return QGuiApplication::palette().color(QPalette::Window);
}

QColor DialogText() {
  if (const auto colours = AfxGetDialogColours())
    return QColor(detail::ToRgb(colours->text));
  return QGuiApplication::palette().color(QPalette::WindowText);
}

SurfacePainter::SurfacePainter(QtWindowPeer &window, const CDC &dc)
    : QPainter(&window.Surface()->image) {
  CRect clip;
  dc.GetClipBox(&clip);
  setClipRect(QRect(clip.left, clip.top, clip.Width(), clip.Height()));
}

QtWindowPeer *QtWindowPeer::FindChild(UINT controlId) const {
  for (QObject *child : children()) {
    auto *peer = dynamic_cast<QtWindowPeer *>(child);
    if (peer && peer->ControlId() == controlId)
      return peer;
  }
  return nullptr;
}

void QtWindowPeer::SetText(const CString &text) {
  if (text == m_text)
    return;
  m_text = text;
  InvalidateAll();
}

void QtWindowPeer::Invalidate(const CRect *rect, bool erase) {
  SyncSurfaceSize();
  const QRect area =
      rect ? QRect(rect->left, rect->top, rect->Width(), rect->Height()) & QWidget::rect()
           : QWidget::rect();
  if (area.isEmpty())
    return;
  m_invalid |= area;
  m_erasePending = m_erasePending || erase;
  QWidget::update(area);
}

void QtWindowPeer::Update() {
  SyncSurfaceSize();
  if (m_invalid.isEmpty())
    return;
  const QRect area = m_invalid;
  PaintInvalid();
  // Shows the new pixels at once when the window is on screen, as the platform's update does.
  if (isVisible())
    repaint(area);
}

PaintRequest QtWindowPeer::BeginPaint() {
  SyncSurfaceSize();
  const PaintRequest request{m_invalid, m_erasePending};
  m_invalid = QRect();
  m_erasePending = false;
  return request;
}

LRESULT QtWindowPeer::Send(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_owner)
    return AfxCallWndProc(m_owner, message, wParam, lParam);
  return DefWindowProc(message, wParam, lParam);
}

LRESULT QtWindowPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
  case WM_PAINT: {
    CPaintDC dc(Handle());
    PaintDefault(dc);
    return 0;
  }
  case WM_ERASEBKGND: {
    CHandleDC dc(reinterpret_cast<HDC>(wParam));
    CRect clip;
    dc.GetClipBox(&clip);
    CBrush face(SystemColour(COLOR_BTNFACE));
    dc.FillRect(&clip, &face);
    return TRUE;
  }
  default:
    return 0;
  }
}

void QtWindowPeer::PaintDefault(CPaintDC &) {}

bool QtWindowPeer::TakesInput() const { return isEnabled() && isVisibleTo(parentWidget()); }

bool QtWindowPeer::IsTabStop() const { return (Style() & WS_TABSTOP) && TakesInput(); }

QtWindowPeer *QtWindowPeer::ParentPeer() const {
  return dynamic_cast<QtWindowPeer *>(parentWidget());
}

const std::shared_ptr<detail::BitmapData> &QtWindowPeer::Surface() {
  SyncSurfaceSize();
  return m_surface;
}

void QtWindowPeer::SyncSurfaceSize() {
  if (m_surface->image.size() == size())
    return;
  QImage resized(size(), QImage::Format_RGB32);
  resized.fill(0xFF000000);
  m_surface->image = std::move(resized);
  m_invalid = rect();
  m_erasePending = true;
}

void QtWindowPeer::PaintInvalid() {
  SyncSurfaceSize();
  if (m_invalid.isEmpty())
    return;
  CountPainted(m_invalid);
  Send(WM_PAINT);
  // A handler that never began painting leaves nothing to paint again.
  m_invalid = QRect();
  m_erasePending = false;
}

void QtWindowPeer::paintEvent(QPaintEvent *event) {
  PaintInvalid();
  QPainter painter(this);
  painter.drawImage(event->rect(), m_surface->image, event->rect());
}

void QtWindowPeer::resizeEvent(QResizeEvent *) { SyncSurfaceSize(); }

void QtWindowPeer::changeEvent(QEvent *event) {
  if (event->type() == QEvent::EnabledChange)
    InvalidateAll();
  QWidget::changeEvent(event);
}

QtButtonPeer::QtButtonPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtWindowPeer(parent, controlId, style, text) {
  setFocusPolicy((style & BS_TYPEMASK) == BS_GROUPBOX ? Qt::NoFocus : Qt::StrongFocus);
}

bool QtButtonPeer::IsPushButton() const {
  const DWORD type = Style() & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

LRESULT QtButtonPeer::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
  case BM_SETSTYLE:
    SetStyle((Style() & 0xFFFF0000) | (static_cast<DWORD>(wParam) & 0xFFFF));
    if (lParam)
      InvalidateAll();
    return 0;
  case BM_GETSTATE:
    return (m_pushed ? BST_PUSHED : 0) | (hasFocus() ? BST_FOCUS : 0);
  case BM_SETSTATE:
    SetPushed(wParam != 0);
    return 0;
  case BM_GETCHECK:
    return m_checked ? BST_CHECKED : BST_UNCHECKED;
  case BM_SETCHECK:
    if (m_checked != (wParam == BST_CHECKED)) {
      m_checked = wParam == BST_CHECKED;
      InvalidateAll();
    }
    return 0;
  default:
    return QtWindowPeer::DefWindowProc(message, wParam, lParam);
  }
}

UINT QtButtonPeer::ItemState() const {
  return (m_pushed ? ODS_SELECTED : 0) | (hasFocus() ? ODS_FOCUS : 0) |
         (isEnabled() ? 0 : ODS_DISABLED);
}

void QtButtonPeer::PaintDefault(CPaintDC &dc) {
  const CRect client = ClientRect();
  const DWORD type = Style() & BS_TYPEMASK;
  if (type == BS_AUTORADIOBUTTON)
    return PaintRadio(dc);
  if (type == BS_GROUPBOX)
    return PaintGroupBox(dc);
  if (type == BS_OWNERDRAW) {
    DRAWITEMSTRUCT request{ODT_BUTTON, ControlId(), 0, ODA_DRAWENTIRE, ItemState(), Handle(),
                           dc.m_hDC,   client,      0};
    Send(WM_DRAWITEM, ControlId(), reinterpret_cast<LPARAM>(&request));
    return;
  }
  CBrush frame(m_pushed ? RGB(64, 64, 64) : RGB(120, 120, 120));
  dc.FillRect(&client, &frame);
  CRect face{1, 1, client.right - 1, client.bottom - 1};
  CBrush faceBrush(SystemColour(COLOR_BTNFACE));
  dc.FillRect(&face, &faceBrush);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextColor(SystemColour(isEnabled() ? 0 : COLOR_GRAYTEXT));
  CString text = Text();
  dc.DrawText(text, &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void QtButtonPeer::PaintRadio(CPaintDC &dc) {
  SurfacePainter painter(*this, dc);
  painter.fillRect(rect(), DialogBackground());
  QStyleOptionButton option;
  option.initFrom(this);
  option.rect = rect();
  option.text = ToQString(Text());
  option.state |= m_checked ? QStyle::State_On : QStyle::State_Off;
  if (m_pushed)
    option.state |= QStyle::State_Sunken;
  option.palette.setColor(QPalette::WindowText, DialogText());
  style()->drawControl(QStyle::CE_RadioButton, &option, &painter, this);
}

void QtButtonPeer::PaintGroupBox(CPaintDC &dc) {
  SurfacePainter painter(*this, dc);
  painter.fillRect(rect(), DialogBackground());
  const QFontMetrics metrics(font());
  // The frame's top runs through the middle of the title, as the platform draws it, so that the
  // controls the templates place just below the title stay clear of it.
  const int top = metrics.height() / 2;
  const int right = width() - 1;
  const int bottom = height() - 1;
  // An etched frame: a shadow line with a light one inside it, the bottom and right edges the
  // other way round.
  const QColor shadow(128, 128, 128);
  const QColor light(255, 255, 255);
  painter.setPen(shadow);
  painter.drawLine(0, top, right - 1, top);
  painter.drawLine(0, top, 0, bottom - 1);
  painter.drawLine(1, bottom - 1, right - 1, bottom - 1);
  painter.drawLine(right - 1, top + 1, right - 1, bottom - 1);
  painter.setPen(light);
  painter.drawLine(1, top + 1, right - 2, top + 1);
  painter.drawLine(1, top + 1, 1, bottom - 2);
  painter.drawLine(0, bottom, right, bottom);
  painter.drawLine(right, top, right, bottom);

  const QString title = ToQString(Text());
  if (title.isEmpty())
    return;
  const int inset = metrics.averageCharWidth();
  const QRect titleArea(inset, 0, metrics.size(Qt::TextShowMnemonic, title).width() + 4,
                        metrics.height());
  painter.fillRect(titleArea, DialogBackground());
  painter.setFont(font());
  painter.setPen(isEnabled() ? DialogText() : QColor(detail::ToRgb(SystemColour(COLOR_GRAYTEXT))));
  painter.drawText(titleArea, Qt::AlignCenter | Qt::TextShowMnemonic, title);
}

bool QtButtonPeer::IsTabStop() const {
  if (!IsAutoRadio() || (Style() & WS_TABSTOP))
    return QtWindowPeer::IsTabStop();
  // The checked button, or the group's first that takes input when none is checked.
  const QtButtonPeer *stop = nullptr;
  for (const QtButtonPeer *button : RadioGroup()) {
    if (!button->TakesInput())
      continue;
    if (button->m_checked)
      return button == this;
    if (!stop)
      stop = button;
  }
  return stop == this;
}

std::vector<QtButtonPeer *> QtButtonPeer::RadioGroup() const {
  QtWindowPeer *parent = ParentPeer();
  if (!parent)
    return {};
  // A group runs from a control with WS_GROUP to the next one, in the order of creation.
  std::vector<QtButtonPeer *> group;
  bool inGroup = false;
  for (QObject *child : parent->children()) {
    auto *peer = dynamic_cast<QtWindowPeer *>(child);
    if (!peer || peer->isWindow())
      continue;
    if (peer->Style() & WS_GROUP) {
      if (inGroup)
        break;
      group.clear();
    }
    if (auto *button = dynamic_cast<QtButtonPeer *>(peer); button && button->IsAutoRadio())
      group.push_back(button);
    inGroup = inGroup || peer == this;
  }
  return group;
}

void QtButtonPeer::CheckInGroup() {
  Send(BM_SETCHECK, BST_CHECKED);
  for (QtButtonPeer *button : RadioGroup())
    if (button != this)
      button->Send(BM_SETCHECK, BST_UNCHECKED);
}

void QtButtonPeer::ClickNextInGroup(bool forward) {
  const std::vector<QtButtonPeer *> group = RadioGroup();
  const auto self = std::find(group.begin(), group.end(), this);
  if (self == group.end())
    return;
  const int count = static_cast<int>(group.size());
  const int at = static_cast<int>(self - group.begin());
  for (int step = 1; step < count; ++step) {
    QtButtonPeer *next =
        group[static_cast<std::size_t>(((at + (forward ? step : -step)) % count + count) % count)];
    if (next->TakesInput()) {
      next->setFocus(Qt::TabFocusReason);
      next->Click();
      return;
    }
  }
}

void QtButtonPeer::SetPushed(bool pushed) {
  if (pushed == m_pushed)
    return;
  m_pushed = pushed;
  InvalidateAll();
}

void QtButtonPeer::Click() {
  if ((Style() & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
    CheckInGroup();
  if (QtWindowPeer *parent = ParentPeer())
    parent->Send(WM_COMMAND, MAKEWPARAM(ControlId(), BN_CLICKED),
                 reinterpret_cast<LPARAM>(Handle()));
}

void QtButtonPeer::mousePressEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton)
    return QtWindowPeer::mousePressEvent(event);
  setFocus(Qt::MouseFocusReason);
  m_tracking = true;
  SetPushed(true);
}

void QtButtonPeer::mouseMoveEvent(QMouseEvent *event) {
  if (m_tracking)
    SetPushed(rect().contains(event->position().toPoint()));
}

void QtButtonPeer::mouseReleaseEvent(QMouseEvent *event) {
  if (event->button() != Qt::LeftButton || !m_tracking)
    return QtWindowPeer::mouseReleaseEvent(event);
  m_tracking = false;
  const bool inside = rect().contains(event->position().toPoint());
  SetPushed(false);
  if (inside)
    Click();
}

void QtButtonPeer::keyPressEvent(QKeyEvent *event) {
  const int key = event->key();
  if (IsAutoRadio() &&
      (key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down))
    return ClickNextInGroup(key == Qt::Key_Right || key == Qt::Key_Down);
  if (key != Qt::Key_Space || event->isAutoRepeat())
    return QtWindowPeer::keyPressEvent(event);
  SetPushed(true);
}

void QtButtonPeer::keyReleaseEvent(QKeyEvent *event) {
  if (event->key() != Qt::Key_Space || event->isAutoRepeat() || !m_pushed)
    return QtWindowPeer::keyReleaseEvent(event);
  SetPushed(false);
  Click();
}

void QtButtonPeer::focusInEvent(QFocusEvent *event) {
  InvalidateAll();
  QtWindowPeer::focusInEvent(event);
}

void QtButtonPeer::focusOutEvent(QFocusEvent *event) {
  m_tracking = false;
  m_pushed = false;
  InvalidateAll();
  QtWindowPeer::focusOutEvent(event);
}

QtProgressPeer::QtProgressPeer(QWidget *parent, UINT controlId, DWORD style)
    : QtWindowPeer(parent, controlId, style, {}) {}

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
    InvalidateAll();
    return previous;
  }
  case PBM_GETPOS:
    return m_position;
  default:
    return QtWindowPeer::DefWindowProc(message, wParam, lParam);
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
