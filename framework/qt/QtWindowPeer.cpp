#include "framework/qt/QtWindowPeer.h"

#include "framework/WinApp.h"
#include "framework/qt/QtColours.h"

#include <QApplication>
#include <QMimeData>
#include <QPainter>

namespace quorvel::fw::qt {

QtWindowPeer::QtWindowPeer(QWidget &widget, UINT controlId, DWORD style)
    : m_widget(widget), m_controlId(controlId), m_style(style),
      m_surface(std::make_shared<detail::BitmapData>()) {}

QtWindowPeer::~QtWindowPeer() {
  if (m_owner)
    m_owner->m_hWnd = nullptr;
}

void QtWindowPeer::Destroy() {
  m_owner = nullptr;
  delete &m_widget;
}

CRect QtWindowPeer::ClientRect() const { return {0, 0, m_widget.width(), m_widget.height()}; }

QtPlainPeer::QtPlainPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text)
    : QtPeerWidget(parent, controlId, style) {
  QtWindowPeer::SetText(text);
}

QtWindowPeer *QtWindowPeer::FindChild(UINT controlId) const {
  for (QtWindowPeer *control : Controls())
    if (control->ControlId() == controlId)
      return control;
  return nullptr;
}

std::vector<QtWindowPeer *> QtWindowPeer::Controls() const {
  std::vector<QtWindowPeer *> controls;
  for (QObject *child : m_widget.children()) {
    QtWindowPeer *control = PeerOfWidget(child);
    if (!control || control->Widget().isWindow())
      continue;
    controls.push_back(control);
    const std::vector<QtWindowPeer *> framed = control->Controls();
    controls.insert(controls.end(), framed.begin(), framed.end());
  }
  return controls;
}

void QtWindowPeer::SetText(const CString &text) {
  if (text == m_text)
    return;
  m_text = text;
  InvalidateAll();
}

void QtWindowPeer::Invalidate(const CRect *rect, bool erase) {
  const QRect area =
      rect ? QRect(rect->left, rect->top, rect->Width(), rect->Height()) & m_widget.rect()
           : m_widget.rect();
  if (area.isEmpty())
    return;
  if (PaintsSurface()) {
    SyncSurfaceSize();
    m_invalid |= area;
    m_erasePending = m_erasePending || erase;
  }
  m_widget.update(area);
}

void QtWindowPeer::Update() {
  if (PaintsSurface()) {
    SyncSurfaceSize();
    const QRect area = m_invalid;
    PaintInvalid();
    // Shows the new pixels at once when the window is on screen, as the platform's update does.
    if (!area.isEmpty() && m_widget.isVisible())
      m_widget.repaint(area);
    return;
  }
  // Qt's own widgets paint what they marked for repainting when their window syncs.
  if (m_widget.isVisible())
    QCoreApplication::sendPostedEvents(m_widget.window(), QEvent::UpdateRequest);
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

QtWindowPeer *QtWindowPeer::ParentPeer() const {
  // A control in a frame belongs to the window around both, as on the platform, where the frame
  // is no parent.
  return m_widget.isWindow() ? nullptr : PeerOfWidget(m_widget.window());
}

void QtWindowPeer::Notify(UINT code) {
  if (QtWindowPeer *parent = ParentPeer())
    parent->Send(WM_COMMAND, MAKEWPARAM(ControlId(), code), reinterpret_cast<LPARAM>(Handle()));
}

const std::shared_ptr<detail::BitmapData> &QtWindowPeer::Surface() {
  SyncSurfaceSize();
  return m_surface;
}

void QtWindowPeer::SyncSurfaceSize() {
  // As many pixels as the screen shows the window with, so that it is drawn sharp at any scale.
  const qreal scale = m_widget.devicePixelRatioF();
  const QSize pixels = QSize(qRound(m_widget.width() * scale), qRound(m_widget.height() * scale));
  if (m_surface->scale == scale && m_surface->image.size() == pixels)
    return;
  m_surface->scale = scale;
  QImage resized(pixels, QImage::Format_RGB32);
  resized.fill(0xFF000000);
  m_surface->image = std::move(resized);
  m_invalid = m_widget.rect();
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

bool QtWindowPeer::PaintEvent(QPaintEvent *event) {
  if (!PaintsSurface()) {
    CountPainted(event->rect());
    return false;
  }
  PaintInvalid();
  const QRect area = event->rect();
  QPainter painter(&m_widget);
  painter.drawImage(QRectF(area), m_surface->image,
                    QRectF(m_surface->ToDevice(area.x(), area.y(), area.width(), area.height())));
  return true;
}

void QtWindowPeer::AcceptDroppedFiles(bool accept) {
  m_acceptsFiles = accept;
  m_widget.setAcceptDrops(accept);
}

namespace {

std::vector<CString> LocalPaths(const QMimeData &data) {
  std::vector<CString> paths;
  for (const QUrl &url : data.urls())
    if (url.isLocalFile())
      paths.push_back(url.toLocalFile().toStdString());
  return paths;
}

// A drop only names the files: the file manager must neither move nor delete them.
bool TakeAsCopy(QDropEvent &event) {
  for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
    if (event.possibleActions() & action) {
      event.setDropAction(action);
      event.accept();
      return true;
    }
  }
  event.ignore();
  return false;
}

} // namespace

bool QtWindowPeer::DragEvent(QDropEvent *event) {
  if (!m_acceptsFiles)
    return false;
  if (!event->mimeData() || LocalPaths(*event->mimeData()).empty())
    event->ignore();
  else
    TakeAsCopy(*event);
  return true;
}

bool QtWindowPeer::DropEvent(QDropEvent *event) {
  if (!m_acceptsFiles)
    return false;
  const detail::DropData drop{event->mimeData() ? LocalPaths(*event->mimeData())
                                                : std::vector<CString>{}};
  if (drop.paths.empty() || !TakeAsCopy(*event))
    return true;
  Send(WM_DROPFILES, reinterpret_cast<WPARAM>(&drop));
  return true;
}

void QtWindowPeer::EnabledChanged() {
  if (PaintsSurface())
    InvalidateAll();
}

} // namespace quorvel::fw::qt
