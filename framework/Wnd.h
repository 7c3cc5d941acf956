#pragma once

#include "framework/Gdi.h"

#include <memory>
#include <vector>

// Windows and controls. A window is a platform object (a WindowPeer, which the backend makes);
// a CWnd is the program's object attached to one. While attached, every message the window gets
// reaches the object's WindowProc, whose default handling is the platform's own.
namespace quorvel::fw {

// Messages.
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT PBM_SETRANGE = 0x0401;
inline constexpr UINT PBM_SETPOS = 0x0402;
inline constexpr UINT PBM_GETPOS = 0x0408;

// Window styles.
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_ID = -12;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD PBS_SMOOTH = 0x1;
inline constexpr DWORD PBS_VERTICAL = 0x4;

// Button notifications and states.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BST_PUSHED = 0x4;
inline constexpr UINT BST_FOCUS = 0x8;

// Owner-draw requests.
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 0x1;
inline constexpr UINT ODS_SELECTED = 0x1;
inline constexpr UINT ODS_GRAYED = 0x2;
inline constexpr UINT ODS_DISABLED = 0x4;
inline constexpr UINT ODS_FOCUS = 0x10;

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  WindowPeer* hwndItem = nullptr;
  CDC* hDC = nullptr;  // borrowed for the request
  CRect rcItem;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

class CWnd;

// The platform side of a window.
class WindowPeer {
public:
  virtual ~WindowPeer() = default;

  virtual CWnd* Owner() const = 0;
  virtual void SetOwner(CWnd* owner) = 0;
  // Destroys the window; the peer is gone afterwards.
  virtual void Destroy() = 0;

  virtual CRect ClientRect() const = 0;
  virtual DWORD Style() const = 0;
  virtual void SetStyle(DWORD style) = 0;
  virtual UINT ControlId() const = 0;
  virtual CString Text() const = 0;
  virtual void SetText(const CString& text) = 0;
  virtual bool IsEnabled() const = 0;
  virtual void Enable(bool enabled) = 0;

  // Null rect: the whole client area.
  virtual void Invalidate(const CRect* rect, bool erase) = 0;
  // Paints the invalid part now, if there is one.
  virtual void Update() = 0;
  // The platform's own handling of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // Through the attached object, when there is one.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
};
using HWND = WindowPeer*;

class CWnd {
public:
  CWnd();
  // Destroys the attached window, as closing it would.
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Attaches this object to an existing window; fails when either is already attached.
  BOOL SubclassWindow(HWND window);
  HWND UnsubclassWindow();
  BOOL DestroyWindow();

  void GetClientRect(CRect* rect) const;
  DWORD GetStyle() const;
  LONG GetWindowLong(int index) const;
  int GetDlgCtrlID() const;
  void GetWindowText(CString& text) const;
  void SetWindowText(const CString& text);
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;

  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(const CRect* rect, BOOL erase = TRUE);
  void UpdateWindow();

  // The client area's context, until ReleaseDC.
  CDC* GetDC();
  int ReleaseDC(CDC* dc);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
  friend class WindowPeer;

  // Runs when SubclassWindow has set m_hWnd, before any message reaches this object.
  virtual void PreSubclassWindow() {}
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The platform's handling of the message being handled.
  LRESULT Default();

  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC* dc);
  // A notification from a child control; TRUE when handled.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);

private:
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  Message m_currentMessage;
  std::vector<std::unique_ptr<CClientDC>> m_clientDCs;
};

class CButton : public CWnd {
public:
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);
  UINT GetState() const;
  void SetState(BOOL highlight);

  // Paints an owner-drawn button.
  virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CProgressCtrl : public CWnd {
public:
  void SetRange(short lower, short upper);
  int SetPos(int pos);
  int GetPos() const;
};

} // namespace quorvel::fw
