#pragma once

#include "framework/Gdi.h"

#include <memory>
#include <span>
#include <vector>

// Windows and controls. A window is a platform object (a WindowPeer, which the backend makes);
// a CWnd is the program's object attached to one. While attached, every message the window gets
// reaches the object's WindowProc, whose default handling is the platform's own.
namespace quorvel::fw {

// Messages.
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_DRAWITEM = 0x002B;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_SETICON = 0x0080;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT EM_SETSEL = 0x00B1;
inline constexpr UINT EM_SCROLLCARET = 0x00B7;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_GETSTATE = 0x00F2;
inline constexpr UINT BM_SETSTATE = 0x00F3;
inline constexpr UINT BM_SETSTYLE = 0x00F4;
inline constexpr UINT PBM_SETRANGE = 0x0401;
inline constexpr UINT PBM_SETPOS = 0x0402;
inline constexpr UINT PBM_GETPOS = 0x0408;
inline constexpr UINT CB_GETCURSEL = 0x0147;
// lParam: the text, as a const CString*.
inline constexpr UINT CB_ADDSTRING = 0x0143;
inline constexpr UINT CB_SETCURSEL = 0x014E;
inline constexpr LRESULT CB_ERR = -1;

// Commands.
inline constexpr UINT IDOK = 1;
inline constexpr UINT IDCANCEL = 2;
inline constexpr UINT ID_HELP = 0xE146;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_RESTORE = 0xF120;
inline constexpr WPARAM ICON_SMALL = 0;
inline constexpr WPARAM ICON_BIG = 1;

// Window styles.
inline constexpr int GWL_STYLE = -16;
inline constexpr int GWL_ID = -12;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD PBS_SMOOTH = 0x1;
inline constexpr DWORD PBS_VERTICAL = 0x4;
inline constexpr DWORD SS_TYPEMASK = 0x1F;
inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_ICON = 0x3;
inline constexpr DWORD SS_NOPREFIX = 0x80;
inline constexpr DWORD SS_SUNKEN = 0x1000;
inline constexpr DWORD ES_READONLY = 0x800;

// Button notifications and states.
inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT BST_UNCHECKED = 0x0;
inline constexpr UINT BST_CHECKED = 0x1;
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
  WindowPeer *hwndItem = nullptr;
  CDC *hDC = nullptr; // borrowed for the request
  CRect rcItem;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT *;

class CWnd;
class CMenu;

// The platform side of a window.
class WindowPeer {
public:
  virtual ~WindowPeer() = default;

  virtual CWnd *Owner() const = 0;
  virtual void SetOwner(CWnd *owner) = 0;
  // Destroys the window; the peer is gone afterwards.
  virtual void Destroy() = 0;

  virtual CRect ClientRect() const = 0;
  virtual DWORD Style() const = 0;
  virtual void SetStyle(DWORD style) = 0;
  virtual UINT ControlId() const = 0;
  virtual CString Text() const = 0;
  virtual void SetText(const CString &text) = 0;
  virtual bool IsEnabled() const = 0;
  virtual void Enable(bool enabled) = 0;

  // Null rect: the whole client area.
  virtual void Invalidate(const CRect *rect, bool erase) = 0;
  // Paints the invalid part now, if there is one.
  virtual void Update() = 0;
  // The platform's own handling of a message.
  virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) = 0;

  // The child window with this control ID, or null.
  virtual WindowPeer *FindChild(UINT) const { return nullptr; }
  virtual void Focus() {}
  virtual bool IsMinimized() const { return false; }
  // The window menu's items; null when the window has none.
  virtual CMenu *SystemMenu() { return nullptr; }

  // Through the attached object, when there is one. A failure escaping the object's handling
  // is reported there, as the program's top level would report it.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
};
using HWND = WindowPeer *;

class CCmdTarget;
using CommandHandler = void (CCmdTarget::*)();

// One line of a command map: the handler of notification `code` from control `id`.
struct CommandMapEntry {
  UINT id;
  UINT code;
  CommandHandler handler;
};

template <class Target> constexpr CommandHandler Handler(void (Target::*handler)()) {
  return static_cast<CommandHandler>(handler);
}

// An object that commands are routed to through its command map.
class CCmdTarget {
public:
  virtual ~CCmdTarget() = default;
  // TRUE when the map names a handler for the command, which has then run.
  BOOL OnCmdMsg(UINT id, UINT code);

protected:
  virtual std::span<const CommandMapEntry> GetMessageMap() const { return {}; }
};

class CWnd : public CCmdTarget {
public:
  CWnd();
  // Destroys the attached window, as closing it would.
  virtual ~CWnd();
  CWnd(const CWnd &) = delete;
  CWnd &operator=(const CWnd &) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // Attaches this object to an existing window; fails when either is already attached.
  BOOL SubclassWindow(HWND window);
  HWND UnsubclassWindow();
  BOOL DestroyWindow();

  void GetClientRect(CRect *rect) const;
  DWORD GetStyle() const;
  LONG GetWindowLong(int index) const;
  int GetDlgCtrlID() const;
  void GetWindowText(CString &text) const;
  void SetWindowText(const CString &text);
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  // The child with this control ID, or null. The object lives as long as the window and is
  // the child's own object when one is attached.
  CWnd *GetDlgItem(int id) const;
  void SetFocus();
  BOOL IsIconic() const;
  // The window menu, to add items to; null when the window has none.
  CMenu *GetSystemMenu(BOOL revert) const;
  // A modal box owned by this window.
  int MessageBox(const CString &text, const CString &caption, UINT type);

  void Invalidate(BOOL erase = TRUE);
  void InvalidateRect(const CRect *rect, BOOL erase = TRUE);
  void UpdateWindow();

  // The client area's context, until ReleaseDC.
  CDC *GetDC();
  int ReleaseDC(CDC *dc);

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
  friend class WindowPeer;

  // Runs when SubclassWindow has set m_hWnd, before any message reaches this object.
  virtual void PreSubclassWindow() {}
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The platform's handling of the message being handled.
  LRESULT Default();

  virtual void OnPaint();
  virtual BOOL OnEraseBkgnd(CDC *dc);
  // A notification from a child control; TRUE when handled. Looks in the command map.
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void OnSysCommand(UINT id, LPARAM lParam);
  virtual HICON OnQueryDragIcon();

private:
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  Message m_currentMessage;
  std::vector<std::unique_ptr<CClientDC>> m_clientDCs;
  mutable std::vector<std::unique_ptr<CWnd>> m_temporaryChildren;
};

class CButton : public CWnd {
public:
  UINT GetButtonStyle() const;
  void SetButtonStyle(UINT style, BOOL redraw = TRUE);
  UINT GetState() const;
  void SetState(BOOL highlight);
  void SetCheck(int check);

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

class CEdit : public CWnd {};

class CComboBox : public CWnd {
public:
  int GetCurSel() const;
  int SetCurSel(int index);
};

class CStatic : public CWnd {};

inline constexpr UINT MF_STRING = 0x0;
inline constexpr UINT MF_SEPARATOR = 0x800;

// The items of a menu, kept for the platform to show.
class CMenu {
public:
  struct Item {
    UINT flags;
    UINT id;
    CString text;
  };
  BOOL AppendMenu(UINT flags, UINT id = 0, const CString &text = {});
  const std::vector<Item> &Items() const { return m_items; }

private:
  std::vector<Item> m_items;
};

} // namespace quorvel::fw
