#include "tests/controls/ControlWindow.h"

#include "framework/DialogTemplate.h"
#include "framework/Platform.h"
#include "framework/win32/Win32Utf16.h"

namespace quorvel::test {

// A dialog, as in the program: its object hands WM_DRAWITEM on to the owner-drawn control.
struct ControlWindow::Backend {
  fw::CWnd dialog;
};

ControlWindow::ControlWindow(ControlClass kind, UINT id, DWORD style, const fw::CString &caption,
                             int width, int height)
    : m_backend(std::make_unique<Backend>()) {
  const fw::DialogTemplate parent{0, WS_POPUP, WS_EX_TOOLWINDOW, 10, 10, "", 0, "", {}, {}};
  HWND dialog = fw::platform::CreateDialogWindow(parent, nullptr);
  if (!dialog || !m_backend->dialog.SubclassWindow(dialog))
    return;
  // Shown, since only a visible window's context reads back what was painted; not activated, so
  // that it takes neither the focus nor another test's activation. The dialog is painted before
  // the control is made, which the test's object then paints first.
  ::SetWindowPos(dialog, nullptr, 0, 0, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::UpdateWindow(dialog);
  const std::wstring text = fw::win32::Utf16FromUtf8(caption);
  m_control = ::CreateWindowExW(0, kind == ControlClass::Progress ? PROGRESS_CLASSW : WC_BUTTONW,
                                text.c_str(), style | WS_CHILD | WS_VISIBLE, 0, 0, width, height,
                                dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                ::GetModuleHandleW(nullptr), nullptr);
}

ControlWindow::~ControlWindow() = default;

} // namespace quorvel::test
