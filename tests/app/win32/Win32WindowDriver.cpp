#include "tests/app/WindowDriver.h"

#include "framework/win32/Win32Utf16.h"

#include <windows.h>
// After <windows.h>.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace quorvel::test {

using fw::win32::Utf8FromUtf16;

void PrepareTestProcess(const std::filesystem::path &) {}

void Click(HWND control) {
  // The system gives a disabled or hidden control no mouse input.
  if (!::IsWindowEnabled(control) || !::IsWindowVisible(control))
    return;
  RECT client;
  ::GetClientRect(control, &client);
  const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
  ::SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
  ::SendMessageW(control, WM_LBUTTONUP, 0, centre);
}

void DropPaths(HWND control, const std::vector<CString> &paths) {
  HWND target = control;
  while (target && !(::GetWindowLongW(target, GWL_EXSTYLE) & WS_EX_ACCEPTFILES))
    target = ::GetParent(target);
  if (!target)
    return;
  // What the shell hands the window: a DROPFILES header and the paths, each ended by a zero, and
  // a zero after the last.
  std::wstring names;
  for (const CString &path : paths)
    names += fw::win32::Utf16FromUtf8(path) + L'\0';
  names += L'\0';
  const std::size_t bytes = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  HGLOBAL drop = ::GlobalAlloc(GHND, bytes);
  auto *header = static_cast<DROPFILES *>(::GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
  ::GlobalUnlock(drop);
  // The receiver releases it.
  ::SendMessageW(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

bool IsShown(HWND window) { return ::IsWindowVisible(window) != FALSE; }

void PressEscape(HWND dialog) {
  HWND focused = ::GetFocus() ? ::GetFocus() : dialog;
  // The key-up flags: a previous state of down and a transition.
  ::PostMessageW(focused, WM_KEYDOWN, VK_ESCAPE, 1);
  ::PostMessageW(focused, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
}

void HandlePostedMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

HWND FocusedControl(HWND dialog) {
  HWND focused = ::GetFocus();
  while (focused && ::GetParent(focused) != dialog)
    focused = ::GetParent(focused);
  return focused;
}

CString SelectedText(HWND edit) {
  DWORD start = 0, end = 0;
  ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
  return Utf8FromUtf16(text.substr(start, end - start));
}

std::vector<CString> ComboItems(HWND combo) {
  std::vector<CString> items;
  const auto count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring item(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1,
                      L'\0');
    ::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
    items.push_back(Utf8FromUtf16(item.c_str()));
  }
  return items;
}

void ChooseComboItem(HWND combo, int index) {
  ::SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  ::SendMessageW(::GetParent(combo), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
}

bool ShowsComboItemWhole(HWND combo, int index, bool dropped) {
  std::wstring item(static_cast<std::size_t>(::SendMessageW(combo, CB_GETLBTEXTLEN, index, 0)) + 1,
                    L'\0');
  const auto length =
      ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(item.data()));
  const HDC dc = ::GetDC(combo);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0)));
  SIZE text{};
  ::GetTextExtentPoint32W(dc, item.c_str(), static_cast<int>(length), &text);
  ::SelectObject(dc, previous);
  ::ReleaseDC(combo, dc);
  COMBOBOXINFO parts{};
  parts.cbSize = sizeof parts;
  if (!dropped) {
    ::GetComboBoxInfo(combo, &parts);
    return text.cx <= parts.rcItem.right - parts.rcItem.left;
  }
  ::SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ::GetComboBoxInfo(combo, &parts);
  RECT list{};
  ::GetClientRect(parts.hwndList, &list);
  ::SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
  return text.cx <= list.right;
}

bool HasWindowIcon(HWND window) { return ::SendMessageW(window, WM_GETICON, ICON_BIG, 0) != 0; }

HWND OwnerOf(HWND window) { return ::GetWindow(window, GW_OWNER); }

std::vector<MenuItem> SystemMenuItems(HWND window) {
  HMENU menu = ::GetSystemMenu(window, FALSE);
  std::vector<MenuItem> items;
  for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
    items.push_back(
        {(::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0,
         ::GetMenuItemID(menu, i), Utf8FromUtf16(text)});
  }
  return items;
}

void ExpectDialogFrame(HWND window) {
  const auto style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_CAPTION | WS_SYSMENU));
  EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
}

COLORREF PixelAt(HWND window, int x, int y) {
  HDC dc = ::GetDC(window);
  const COLORREF pixel = ::GetPixel(dc, x, y);
  ::ReleaseDC(window, dc);
  return pixel;
}

bool ShowsWaitCursor(HWND window) {
  // What the system asks a window whenever the mouse moves over it.
  ::SetCursor(nullptr);
  ::SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  return ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
}

namespace {

BOOL CALLBACK FindModal(HWND window, LPARAM found) {
  // A modal window takes the input its owner no longer does.
  HWND owner = ::GetWindow(window, GW_OWNER);
  if (!::IsWindowVisible(window) || !::IsWindowEnabled(window) || !owner ||
      ::IsWindowEnabled(owner))
    return TRUE;
  *reinterpret_cast<HWND *>(found) = window;
  return FALSE;
}

constexpr wchar_t kBareClass[] = L"Quorvel.TestBareWindow";

LRESULT CALLBACK BareProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (auto *handedOn =
          reinterpret_cast<std::vector<UINT> *>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
    handedOn->push_back(message);
  // Left as it is, rather than minimised or closed.
  if (message == WM_SYSCOMMAND)
    return 0;
  return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HWND FrontModalWindow() {
  HWND found = nullptr;
  // In the order they are stacked, the front one first.
  ::EnumThreadWindows(::GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND MakeBareWindow(std::vector<UINT> *handedOn) {
  // Once for the process.
  [[maybe_unused]] static const ATOM registered = [] {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = BareProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kBareClass;
    return ::RegisterClassW(&windowClass);
  }();
  HWND window = ::CreateWindowExW(0, kBareClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handedOn));
  return window;
}

} // namespace quorvel::test
