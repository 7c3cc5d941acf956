#pragma once

// The Qt backend's windows. Each platform window is a Qt widget of its kind (a QPushButton for a
// button, a QLineEdit for an edit field, ...) that is also a QtWindowPeer, the framework's part of
// it: the attached object, the control ID and style, and for windows the framework paints (the
// dialog, owner-drawn buttons, progress bars) a surface image that painting handlers draw on and
// the widget's paintEvent shows.
#include "framework/Wnd.h"
#include "framework/qt/QtGdiData.h"

#include <QDropEvent>
#include <QPaintEvent>
#include <QWidget>

#include <string_view>
#include <vector>

namespace quorvel::fw {

// What a window handle points at: every window of this backend is a QtWindowPeer.
class detail::WindowPeer {
public:
  virtual ~WindowPeer() = default;
};

// What a drop handle points at.
struct detail::DropData {
  std::vector<CString> paths;
};

namespace qt {

inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The frame of the program's dialogs and boxes: a title, the window menu and the close button,
// without a minimize or maximize box.
inline constexpr Qt::WindowFlags kDialogWindowFlags{Qt::Dialog | Qt::CustomizeWindowHint |
                                                    Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                    Qt::WindowCloseButtonHint};

struct PaintRequest {
  QRect area;
  bool erase = false;
};

class QtWindowPeer : public detail::WindowPeer {
public:
  QtWindowPeer(QWidget &widget, UINT controlId, DWORD style);
  ~QtWindowPeer() override;
  QtWindowPeer(const QtWindowPeer &) = delete;
  QtWindowPeer &operator=(const QtWindowPeer &) = delete;

  HWND Handle() { return this; }
  QWidget &Widget() const { return m_widget; }
  // The object the window's messages reach, or null.
  CWnd *Owner() const { return m_owner; }
  void SetOwner(CWnd *owner) { m_owner = owner; }
  // Destroys the window; the peer is gone afterwards.
  void Destroy();
  CRect ClientRect() const;
  DWORD Style() const { return m_style; }
  void SetStyle(DWORD style) { m_style = style; }
  UINT ControlId() const { return m_controlId; }
  virtual CString Text() const { return m_text; }
  virtual void SetText(const CString &text);
  // Null rect: the whole client area.
  void Invalidate(const CRect *rect, bool erase);
  // Paints what is invalid now and shows it, if the window is on screen.
  virtual void Update();
  // Through the owner when there is one, as the platform delivers a message.
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // The platform's own handling of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The child window with this control ID, or null.
  QtWindowPeer *FindChild(UINT controlId) const;
  // The window's controls, those in a frame among them after the frame, and not the windows it
  // owns.
  std::vector<QtWindowPeer *> Controls() const;
  virtual bool IsMinimized() const { return false; }
  // The window menu; null when the window has none.
  virtual HMENU SystemMenu() { return nullptr; }
  // Whether dropped files reach the window as WM_DROPFILES; those of its controls that take no
  // drops of their own reach it too, as Qt hands a drop to the nearest widget that takes drops.
  void AcceptDroppedFiles(bool accept);

  // Pixels painted since the window was made, counting each painting pass over its area.
  std::uint64_t PaintedPixels() const { return m_paintedPixels; }

  // Takes the invalid area for one painting pass and validates it.
  PaintRequest BeginPaint();
  const std::shared_ptr<detail::BitmapData> &Surface();

protected:
  // Whether the framework paints the window on its surface; otherwise Qt's widget paints itself.
  virtual bool PaintsSurface() const { return true; }
  // The platform's own look of a window the framework paints.
  virtual void PaintDefault(CPaintDC &dc);
  void InvalidateAll() { Invalidate(nullptr, true); }
  QtWindowPeer *ParentPeer() const;
  // The window the control belongs to: its parent, or the parent's when it is in a frame.
  void Notify(UINT code);
  void CountPainted(const QRect &area) {
    m_paintedPixels += static_cast<std::uint64_t>(area.width()) * area.height();
  }

  // The widget's events, which QtPeerWidget hands here. True when the event was painted here.
  bool PaintEvent(QPaintEvent *event);
  void EnabledChanged();
  bool DragEvent(QDropEvent *event);
  bool DropEvent(QDropEvent *event);

private:
  void PaintInvalid();
  // A hidden widget hears of its resizing only when shown, so the surface follows the size here.
  void SyncSurfaceSize();

  QWidget &m_widget;
  CWnd *m_owner = nullptr;
  UINT m_controlId;
  DWORD m_style;
  CString m_text;
  std::shared_ptr<detail::BitmapData> m_surface;
  QRect m_invalid;
  bool m_erasePending = false;
  bool m_acceptsFiles = false;
  std::uint64_t m_paintedPixels = 0;
};

// A Qt widget of kind `Base` that is a platform window.
template <class Base> class QtPeerWidget : public Base, public QtWindowPeer {
public:
  QtPeerWidget(QWidget *parent, UINT controlId, DWORD style)
      : Base(parent), QtWindowPeer(static_cast<QWidget &>(*this), controlId, style) {}

protected:
  void paintEvent(QPaintEvent *event) override {
    if (!PaintEvent(event))
      Base::paintEvent(event);
  }
  void changeEvent(QEvent *event) override {
    if (event->type() == QEvent::EnabledChange)
      EnabledChanged();
    Base::changeEvent(event);
  }
  void dragEnterEvent(QDragEnterEvent *event) override {
    if (!DragEvent(event))
      Base::dragEnterEvent(event);
  }
  void dragMoveEvent(QDragMoveEvent *event) override {
    if (!DragEvent(event))
      Base::dragMoveEvent(event);
  }
  void dropEvent(QDropEvent *event) override {
    if (!DropEvent(event))
      Base::dropEvent(event);
  }
};

// A window of no particular kind, which its object paints.
class QtPlainPeer : public QtPeerWidget<QWidget> {
public:
  QtPlainPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
};

// The window a handle names; null for null.
inline QtWindowPeer *PeerOf(HWND window) { return static_cast<QtWindowPeer *>(window); }
inline QWidget *WidgetOf(HWND window) { return window ? &PeerOf(window)->Widget() : nullptr; }
// The peer a widget is, or null.
inline QtWindowPeer *PeerOfWidget(QObject *widget) { return dynamic_cast<QtWindowPeer *>(widget); }

} // namespace qt
} // namespace quorvel::fw
