#pragma once

// The Qt backend's windows: each platform window is a QWidget that keeps its pixels in a surface
// image. Painting handlers draw on the surface; paintEvent only shows it.
#include "framework/Wnd.h"
#include "framework/qt/GdiData.h"

#include <QPainter>
#include <QWidget>

#include <string_view>
#include <vector>

namespace quorvel::fw {

// What a window handle points at: every window of this backend is a QtWindowPeer.
class detail::WindowPeer {
public:
  virtual ~WindowPeer() = default;
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

COLORREF SystemColour(int index);
QFont FontFromLogFont(const LOGFONT &logFont);
// The colours SetDialogBkColor gave every dialog, or the platform's own.
QColor DialogBackground();
QColor DialogText();

struct PaintRequest {
  QRect area;
  bool erase = false;
};

class QtWindowPeer : public QWidget, public detail::WindowPeer {
public:
  QtWindowPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  ~QtWindowPeer() override;

  HWND Handle() { return this; }
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
  // Paints the invalid part now, if there is one.
  virtual void Update();
  // Through the owner when there is one, as the platform delivers a message.
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // The platform's own handling of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The child window with this control ID, or null.
  QtWindowPeer *FindChild(UINT controlId) const;
  virtual void Focus() { setFocus(Qt::OtherFocusReason); }
  virtual bool IsMinimized() const { return false; }
  // The window menu; null when the window has none.
  virtual HMENU SystemMenu() { return nullptr; }
  // Enabled and not hidden.
  bool TakesInput() const;
  // Where Tab stops: a control with WS_TABSTOP that takes input.
  virtual bool IsTabStop() const;

  // Pixels painted since the window was made, counting each painting pass over its area.
  std::uint64_t PaintedPixels() const { return m_paintedPixels; }

  // Takes the invalid area for one painting pass and validates it.
  PaintRequest BeginPaint();
  const std::shared_ptr<detail::BitmapData> &Surface();

protected:
  // The platform's own look of the window.
  virtual void PaintDefault(CPaintDC &dc);
  void InvalidateAll() { Invalidate(nullptr, true); }
  QtWindowPeer *ParentPeer() const;
  void CountPainted(const QRect &area) {
    m_paintedPixels += static_cast<std::uint64_t>(area.width()) * area.height();
  }

  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void PaintInvalid();
  // A hidden widget hears of its resizing only when shown, so the surface follows the size here.
  void SyncSurfaceSize();

  CWnd *m_owner = nullptr;
  UINT m_controlId;
  DWORD m_style;
  CString m_text;
  std::shared_ptr<detail::BitmapData> m_surface;
  QRect m_invalid;
  bool m_erasePending = false;
  std::uint64_t m_paintedPixels = 0;
};

// A painter on the surface of a painting pass, limited to what the pass may paint.
class SurfacePainter : public QPainter {
public:
  SurfacePainter(QtWindowPeer &window, const CDC &dc);
};

// The platform button: pressed while the mouse or the space bar holds it, clicked on release;
// an owner-drawn one asks its owner to paint it. An automatic radio button checks itself when
// clicked and clears the others of its group; a group box is only a frame with a label.
class QtButtonPeer : public QtWindowPeer {
public:
  QtButtonPeer(QWidget *parent, UINT controlId, DWORD style, const CString &text);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool IsPushButton() const;
  // A group of automatic radio buttons is one stop, at its checked button: a user can then reach
  // the choice from the keyboard, and the arrow keys change it.
  bool IsTabStop() const override;

protected:
  void PaintDefault(CPaintDC &dc) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;
  void keyReleaseEvent(QKeyEvent *event) override;
  void focusInEvent(QFocusEvent *event) override;
  void focusOutEvent(QFocusEvent *event) override;

private:
  UINT ItemState() const;
  void SetPushed(bool pushed);
  void Click();
  bool IsAutoRadio() const { return (Style() & BS_TYPEMASK) == BS_AUTORADIOBUTTON; }
  // The automatic radio buttons of this button's group, in template order.
  std::vector<QtButtonPeer *> RadioGroup() const;
  void CheckInGroup();
  // Moves the focus to the next radio button of the group that takes input, or the previous one,
  // and clicks it.
  void ClickNextInGroup(bool forward);
  void PaintRadio(CPaintDC &dc);
  void PaintGroupBox(CPaintDC &dc);

  bool m_pushed = false;
  bool m_tracking = false;
  bool m_checked = false;
};

// The platform progress bar: a range, a position, and a flat bar of the filled share.
class QtProgressPeer : public QtWindowPeer {
public:
  QtProgressPeer(QWidget *parent, UINT controlId, DWORD style);
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
  void PaintDefault(CPaintDC &dc) override;

private:
  int m_lower = 0;
  int m_upper = 100;
  int m_position = 0;
};

// The window a handle names; null for null.
inline QtWindowPeer *PeerOf(HWND window) { return static_cast<QtWindowPeer *>(window); }

} // namespace qt
} // namespace quorvel::fw
