#include "framework/Platform.h"

#include "framework/DialogTemplate.h"
#include "framework/WinApp.h"
#include "framework/win32/Win32Colours.h"
#include "framework/win32/Win32DialogTemplate.h"
#include "framework/win32/Win32ModalUi.h"
#include "framework/win32/Win32RunningCopy.h"
#include "framework/win32/Win32Utf16.h"

#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <vector>

namespace quorvel::fw::platform {
namespace {

constexpr wchar_t kObjectProperty[] = L"Quorvel.Object";
constexpr wchar_t kProcedureProperty[] = L"Quorvel.Procedure";
constexpr wchar_t kArrowProperty[] = L"Quorvel.KeepsArrow";
// A dialog's font size in points, and the DPI the system last moved a window to.
constexpr wchar_t kFontPointsProperty[] = L"Quorvel.FontPoints";
constexpr wchar_t kMovedDpiProperty[] = L"Quorvel.MovedDpi";
constexpr UINT kRunTasks = WM_APP;

HWND g_taskWindow = nullptr;
// Tasks come from any thread.
std::mutex g_tasksMutex;
std::vector<std::function<void()>> g_tasks;
bool g_waitCursor = false;

struct ModalLoop {
  HWND dialog;
  HWND disabledOwner;
  bool ended = false;
};
std::vector<ModalLoop *> g_modalLoops;

WNDPROC OriginalProcedure(HWND window) {
  return reinterpret_cast<WNDPROC>(::GetPropW(window, kProcedureProperty));
}

bool IsDialog(HWND window) {
  wchar_t className[16] = {};
  ::GetClassNameW(window, className, 16);
  return std::wstring_view{className} == L"#32770";
}

void Detach(HWND window) {
  if (WNDPROC original = OriginalProcedure(window))
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
  ::RemovePropW(window, kProcedureProperty);
  ::RemovePropW(window, kObjectProperty);
}

// The procedure of every window with an object: its messages go to the object, whose default
// handling is the window's own procedure.
LRESULT CALLBACK ObjectProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd *object = AttachedObject(window);
  if (message == WM_NCDESTROY) {
    const WNDPROC original = OriginalProcedure(window);
    Detach(window);
    for (const wchar_t *property : {kArrowProperty, kFontPointsProperty, kMovedDpiProperty})
      ::RemovePropW(window, property);
    win32::ForgetLaterCopies(window);
    if (object)
      object->m_hWnd = nullptr;
    return ::CallWindowProcW(original, window, message, wParam, lParam);
  }
  if (!object)
    return ::CallWindowProcW(OriginalProcedure(window), window, message, wParam, lParam);
  const LRESULT result = AfxCallWndProc(object, message, wParam, lParam);
  // The drop was lent to the object for the message.
  if (message == WM_DROPFILES)
    ::DragFinish(reinterpret_cast<HDROP>(wParam));
  return result;
}

LRESULT CallOriginal(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (WNDPROC original = OriginalProcedure(window))
    return ::CallWindowProcW(original, window, message, wParam, lParam);
  return ::DefWindowProcW(window, message, wParam, lParam);
}

// On a display of another DPI a window takes the size and place the system suggests, after a
// dialog has scaled its font and controls to it.
LRESULT TakeSuggestedRect(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CallOriginal(window, message, wParam, lParam);
  const auto *suggested = reinterpret_cast<const RECT *>(lParam);
  if (suggested)
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

// Everything a dialog's messages need is done by the window procedure above.
INT_PTR CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LRESULT CALLBACK TaskProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kRunTasks)
    return ::DefWindowProcW(window, message, wParam, lParam);
  // A task may post others; they wait for their own turn.
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(g_tasksMutex);
    tasks = std::exchange(g_tasks, {});
  }
  for (auto &task : tasks) {
    try {
      task();
    } catch (...) {
      ReportEscapedFailure();
    }
  }
  return 0;
}

HWND MakeTaskWindow() {
  const HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = TaskProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"Quorvel.Tasks";
  ::RegisterClassW(&windowClass);
  return ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           instance, nullptr);
}

} // namespace

bool OpenDisplay(int &, char **, const CString &, CString &problem) {
  // The shell's folder browser wants COM on the thread that shows it.
  ::OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (!::InitCommonControlsEx(&controls)) {
    problem = "the common controls could not be loaded.";
    return false;
  }
  g_taskWindow = MakeTaskWindow();
  if (!g_taskWindow) {
    problem = "the program's message window could not be made.";
    return false;
  }
  return true;
}

void CloseDisplay() {
  if (g_taskWindow)
    ::DestroyWindow(g_taskWindow);
  g_taskWindow = nullptr;
  std::lock_guard lock(g_tasksMutex);
  g_tasks.clear();
  ::OleUninitialize();
}

CWnd *AttachedObject(HWND window) {
  return window ? static_cast<CWnd *>(::GetPropW(window, kObjectProperty)) : nullptr;
}

void AttachObject(HWND window, CWnd *object) {
  if (!window || !::IsWindow(window))
    return;
  if (!object) {
    Detach(window);
    return;
  }
  ::SetPropW(window, kObjectProperty, object);
  if (OriginalProcedure(window))
    return;
  const LONG_PTR original =
      ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ObjectProcedure));
  ::SetPropW(window, kProcedureProperty, reinterpret_cast<HANDLE>(original));
}

void DestroyWindow(HWND window) {
  if (window && ::IsWindow(window))
    ::DestroyWindow(window);
}

CRect ClientRect(HWND window) {
  CRect client;
  ::GetClientRect(window, &client);
  return client;
}

DWORD Style(HWND window) { return static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE)); }

namespace {

HANDLE AsProperty(UINT value) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(value)); }

UINT FromProperty(HWND window, const wchar_t *property) {
  return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(::GetPropW(window, property)));
}

// The DPI a dialog's font was made for, which its layout follows; 0 for another window. Wine
// without a desktop of its own makes it for the system's DPI whatever it says of the window's.
UINT DialogFontDpi(HWND dialog) {
  const UINT points = FromProperty(dialog, kFontPointsProperty);
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(dialog, WM_GETFONT, 0, 0));
  LOGFONTW description{};
  if (!points || !font || !::GetObjectW(font, sizeof description, &description))
    return 0;
  return static_cast<UINT>(::MulDiv(std::abs(description.lfHeight), 72, static_cast<int>(points)));
}

} // namespace

UINT Dpi(HWND window) {
  // The window shows at its top-level window's DPI: the one the system last moved it to, or else
  // the one its dialog is laid out at.
  if (const HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr) {
    if (const UINT moved = FromProperty(root, kMovedDpiProperty))
      return moved;
    if (const UINT laidOut = DialogFontDpi(root))
      return laidOut;
  }
  // Windows 10 and later give each window its display's; earlier ones have one for all.
  using GetDpiForWindowProcedure = UINT(WINAPI *)(HWND);
  static const auto getDpiForWindow =
      reinterpret_cast<GetDpiForWindowProcedure>(reinterpret_cast<void *>(
          ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window && getDpiForWindow)
    if (const UINT dpi = getDpiForWindow(window))
      return dpi;
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

CString Text(HWND window) {
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = ::GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return win32::Utf8FromUtf16({text.data(), static_cast<std::size_t>(std::max(length, 0))});
}

void SetText(HWND window, const CString &text) {
  ::SetWindowTextW(window, win32::Utf16FromUtf8(text).c_str());
}

void SetAccessibleName(HWND window, const CString &name) {
  // The system's accessibility layer asks a window's annotations before its text.
  IAccPropServices *services = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void **>(&services))))
    return;
  const std::wstring text = win32::Utf16FromUtf8(name);
  services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                           text.c_str());
  services->Release();
}

bool IsEnabled(HWND window) { return ::IsWindowEnabled(window) != FALSE; }

void Enable(HWND window, bool enabled) { ::EnableWindow(window, enabled ? TRUE : FALSE); }

HWND Child(HWND window, UINT controlId) {
  return ::GetDlgItem(window, static_cast<int>(controlId));
}

void Focus(HWND window) {
  // In a dialog the dialog moves the focus, so that its default button follows.
  HWND parent = ::GetParent(window);
  if (parent && IsDialog(parent) && (Style(window) & WS_CHILD))
    ::SendMessageW(parent, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
  else
    ::SetFocus(window);
}

bool IsMinimized(HWND window) { return ::IsIconic(window) != FALSE; }

HMENU SystemMenu(HWND window) { return ::GetSystemMenu(window, FALSE); }

void FitDroppedWidth(HWND combo) {
  const HDC dc = ::GetDC(combo);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  const auto count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int index = 0; index < count; ++index) {
    std::wstring item(
        static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    const auto length =
        ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, item.c_str(), static_cast<int>(std::max<LRESULT>(length, 0)),
                            &extent);
    widest = std::max(widest, extent.cx);
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(combo, dc);
  // The list's frame, the scroll bar it shows when it holds more than fit, and the margins beside
  // an entry's text.
  const int width = static_cast<int>(widest) + ::GetSystemMetrics(SM_CXVSCROLL) +
                    4 * ::GetSystemMetrics(SM_CXEDGE);
  ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(width), 0);
}

void AcceptDroppedFiles(HWND window, bool accept) {
  ::DragAcceptFiles(window, accept ? TRUE : FALSE);
}

std::vector<CString> DroppedPaths(HDROP drop) {
  std::vector<CString> paths;
  const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    std::wstring path(::DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
    const UINT length = ::DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size()));
    paths.push_back(win32::Utf8FromUtf16({path.data(), length}));
  }
  return paths;
}

void Invalidate(HWND window, const CRect *rect, bool erase) {
  ::InvalidateRect(window, rect, erase ? TRUE : FALSE);
}

void Update(HWND window) { ::UpdateWindow(window); }

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(window, message, wParam, lParam);
}

LRESULT SendText(HWND window, UINT message, WPARAM wParam, const CString &text) {
  const std::wstring wide = win32::Utf16FromUtf8(text);
  return ::SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(wide.c_str()));
}

LRESULT CallDefault(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // The window under the mouse is wParam, also when its parent is asked first.
  if (message == WM_SETCURSOR && g_waitCursor &&
      !::GetPropW(reinterpret_cast<HWND>(wParam), kArrowProperty)) {
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    return TRUE;
  }
  if (IsDialog(window)) {
    if (win32::IsColourMessage(message))
      if (HBRUSH brush = win32::PaintInDialogColours(reinterpret_cast<HDC>(wParam)))
        return reinterpret_cast<LRESULT>(brush);
    // Owner-drawn controls paint themselves, as their objects know how.
    if (message == WM_DRAWITEM) {
      const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
      if (item && AttachedObject(item->hwndItem))
        return ::SendMessageW(item->hwndItem, WM_DRAWITEM, wParam, lParam);
    }
    if (message == WM_HELP)
      return ::SendMessageW(window, WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED), 0);
  }
  if (message == WM_DPICHANGED) {
    ::SetPropW(window, kMovedDpiProperty, AsProperty(LOWORD(wParam)));
    return TakeSuggestedRect(window, message, wParam, lParam);
  }
  return CallOriginal(window, message, wParam, lParam);
}

HWND CreateDialogWindow(const DialogTemplate &dialogTemplate, HWND owner) {
  const std::vector<WORD> words = win32::BuildDialogTemplate(dialogTemplate);
  const HWND dialog = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                                   reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                                   owner, DialogProcedure, 0);
  if (dialog && (dialogTemplate.style & DS_SETFONT))
    ::SetPropW(dialog, kFontPointsProperty, AsProperty(dialogTemplate.pointSize));
  return dialog;
}

void ShowDialogWindow(HWND dialog) {
  ::ShowWindow(dialog, SW_SHOW);
  ::SetForegroundWindow(dialog);
}

void FocusFirstTabStop(HWND dialog) {
  if (HWND first = ::GetNextDlgTabItem(dialog, nullptr, FALSE))
    Focus(first);
}

namespace {

// One message of a modal loop of `dialog`; false when the loop is to end because the program
// quits.
bool HandleNextMessage(HWND dialog) {
  MSG message;
  const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
  if (got == 0) {
    // The quit is for the loop outside this one.
    ::PostQuitMessage(static_cast<int>(message.wParam));
    return false;
  }
  if (got < 0)
    return false;
  if (!::IsDialogMessageW(dialog, &message)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return true;
}

} // namespace

void RunModalLoop(HWND dialog) {
  // The owner takes no input while its modal dialog is up.
  HWND owner = ::GetWindow(dialog, GW_OWNER);
  const bool disableOwner = owner && ::IsWindowEnabled(owner);
  if (disableOwner)
    ::EnableWindow(owner, FALSE);
  ModalLoop loop{dialog, disableOwner ? owner : nullptr};
  g_modalLoops.push_back(&loop);
  while (!loop.ended && HandleNextMessage(dialog)) {
  }
  g_modalLoops.erase(std::find(g_modalLoops.begin(), g_modalLoops.end(), &loop));
  if (disableOwner) {
    ::EnableWindow(owner, TRUE);
    if (::IsWindow(dialog) && ::GetActiveWindow() == dialog)
      ::SetActiveWindow(owner);
  }
}

void EndModalLoop(HWND dialog) {
  for (ModalLoop *loop : g_modalLoops) {
    if (loop->dialog != dialog)
      continue;
    loop->ended = true;
    // Before the dialog hides, so that the activation goes back to the owner.
    if (loop->disabledOwner)
      ::EnableWindow(loop->disabledOwner, TRUE);
  }
  ::ShowWindow(dialog, SW_HIDE);
  // Wakes the loop, which may be waiting for a message.
  ::PostMessageW(g_taskWindow, WM_NULL, 0, 0);
}

void ShowWaitCursor(bool shown) {
  g_waitCursor = shown;
  POINT mouse{};
  ::GetCursorPos(&mouse);
  const bool keepsArrow = ::GetPropW(::WindowFromPoint(mouse), kArrowProperty) != nullptr;
  // The window under the mouse sets its own again when the mouse next moves.
  ::SetCursor(::LoadCursorW(nullptr, shown && !keepsArrow ? IDC_WAIT : IDC_ARROW));
}

void KeepArrowCursor(HWND window, bool keep) {
  if (keep)
    ::SetPropW(window, kArrowProperty, reinterpret_cast<HANDLE>(1));
  else
    ::RemovePropW(window, kArrowProperty);
}

void PostTask(std::function<void()> task) {
  {
    std::lock_guard lock(g_tasksMutex);
    g_tasks.push_back(std::move(task));
  }
  ::PostMessageW(g_taskWindow, kRunTasks, 0, 0);
}

void RunLoopWhile(HWND dialog, const std::function<bool()> &running) {
  while (running() && HandleNextMessage(dialog)) {
  }
}

void CloseModalWindow() {
  if (!g_modalLoops.empty())
    ::SendMessageW(g_modalLoops.back()->dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

ModalUi &PlatformModalUi() {
  static win32::Win32ModalUi modalUi;
  return modalUi;
}

} // namespace quorvel::fw::platform
