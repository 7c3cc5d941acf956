#pragma once

#include "framework/Gdi.h"

#include <memory>
#include <span>
#include <vector>

// Windows and controls. A window is the platform's, named by its HWND; a CWnd is the program's
// object attached to one. While attached, every message the window gets reaches the object's
// WindowProc, whose default handling is the platform's own.
namespace quorvel::fw {

// The help command, which F1 gives a dialog.
inline constexpr UINT ID_HELP = 0xE146;

class CWnd;

// Hands a message of a window to the object attached to it, as the window's procedure does. A
// failure escaping the object's handling is reported there, as the program's top level would
// report it.
LRESULT AfxCallWndProc(CWnd *object, UINT message, WPARAM wParam, LPARAM lParam);

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

// The full paths of the files and folders a drop carries, in the order they came.
std::vector<CString> DroppedPaths(HDROP drop);

// A menu of the platform's, to add items to.
class CMenu {
public:
  HMENU m_hMenu = nullptr;
  BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const CString &text = {});
};

class CWnd : public CCmdTarget {
public:
  CWnd();
  // Destroys the attached window, as closing it would.
  virtual ~CWnd();
  CWnd(const CWnd &) = delete;
  CWnd &operator=(const CWnd &) = delete;

  HWND m_hWnd = nullptr;

  // Attaches this object to an existing window; fails when either is already attached.
  BOOL SubclassWindow(HWND window);
  HWND UnsubclassWindow();
  BOOL DestroyWindow();

  void GetClientRect(CRect *rect) const;
  DWORD GetStyle() const;
  LONG GetWindowLong(int index) const;
  // The dots per inch the window is shown at, on the scale where 96 is 100 %; the display's own
  // before the window is made.
  UINT GetDpi() const;
  void GetWindowText(CString &text) const;
  void SetWindowText(const CString &text);
  // What assistive technology calls the window, in place of its text.
  void SetAccessibleName(const CString &name);
  BOOL EnableWindow(BOOL enable = TRUE);
  BOOL IsWindowEnabled() const;
  // While the application's wait cursor shows, the mouse over this window keeps the arrow: for
  // the one control that still takes input.
  void KeepArrowCursor(BOOL keep);
  // The child with this control ID, or null. The object lives as long as the window and is
  // the child's own object when one is attached.
  CWnd *GetDlgItem(int id) const;
  void SetFocus();
  BOOL IsIconic() const;
  // Whether files and folders dropped on the window or on a control in it that takes no drops of
  // its own reach OnDropFiles.
  void DragAcceptFiles(BOOL accept = TRUE);
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
  friend LRESULT AfxCallWndProc(CWnd *, UINT, WPARAM, LPARAM);

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
  // Every way of closing the window arrives here: its close box, Alt+F4, the window menu's Close.
  virtual void OnClose();
  // The user's session ends, when `ending`, and the program with it once this returns: its
  // windows are not closed first.
  virtual void OnEndSession(BOOL ending);
  virtual HICON OnQueryDragIcon();
  // The window's parent has moved to a display of another DPI, and the window with it: the
  // window's DPI and size may be new.
  virtual void OnDpiChangedAfterParent();
  // The drop is the platform's; it is released when the handler returns.
  virtual void OnDropFiles(HDROP drop);

private:
  struct Message {
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
  };
  Message m_currentMessage;
  std::vector<std::unique_ptr<CClientDC>> m_clientDCs;
  mutable std::vector<std::unique_ptr<CWnd>> m_temporaryChildren;
  mutable CMenu m_systemMenu;
};

class CButton : public CWnd {
public:
  void SetState(BOOL highlight);
  void SetCheck(int check);

  // Paints an owner-drawn button.
  virtual void DrawItem(LPDRAWITEMSTRUCT drawItem);

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CProgressCtrl : public CWnd {
public:
  int GetPos() const;
};

class CEdit : public CWnd {};

class CComboBox : public CWnd {
public:
  int GetCurSel() const;
  int SetCurSel(int index);
  // Returns the new entry's index.
  int InsertString(int index, const CString &text);
  // Widens the dropped-down list, never the box, to show its widest entry whole.
  void FitDroppedWidth();
};

} // namespace quorvel::fw
