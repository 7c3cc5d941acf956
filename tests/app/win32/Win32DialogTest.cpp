// The dialog's behaviour that the Win32 system itself gives it: the dialog manager's keyboard,
// dialog units, MessageBoxW.
#include "framework/Platform.h"
#include "framework/win32/Utf16.h"
#include "tests/app/AppTestSupport.h"

#include <windows.h>

namespace quorvel::test {
namespace {

using namespace fw;
using namespace res;

// Keys reach the dialog as the program's modal loop hands them on: through the dialog manager.
class Win32KeyboardTest : public DialogTest {
protected:
  void Press(UINT key, bool shift = false) const {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    for (UINT message : {WM_KEYDOWN, WM_KEYUP}) {
      // The key-up flags: a previous state of down and a transition.
      const LPARAM flags = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001u) : 1;
      MSG event{::GetFocus(), message, key, flags, 0, {}};
      if (!::IsDialogMessageW(dialog.m_hWnd, &event)) {
        ::TranslateMessage(&event);
        ::DispatchMessageW(&event);
      }
    }
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
  }
  HWND Focused() const { return FocusedControl(dialog.m_hWnd); }
};

TEST_F(Win32KeyboardTest, TabFollowsTheTemplateAndStopsOnceAtTheCheckedMode) {
  ASSERT_EQ(Focused(), Control(IDC_SPLIT));
  // The disabled Join button is passed over.
  for (unsigned id : {IDC_EXIT, IDC_BROWSE_SOURCE, IDC_SOURCE_PATH, IDC_BROWSE_DEST}) {
    Press(VK_TAB);
    EXPECT_EQ(Focused(), Control(id)) << id;
  }
  Press(VK_SPACE);
  EXPECT_EQ(modal.folderRequests.size(), 1u);
  for (unsigned id : {IDC_DEST_FOLDER, IDC_MODE_SPLIT, IDC_SIZE_LIST, IDC_SPLIT}) {
    Press(VK_TAB);
    EXPECT_EQ(Focused(), Control(id)) << id;
  }
  Press(VK_TAB, true);
  Press(VK_TAB, true);
  EXPECT_EQ(Focused(), Control(IDC_MODE_SPLIT));
}

TEST_F(Win32KeyboardTest, ArrowsSwitchTheModeAsAClickDoes) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  ChooseSource(folder / "a.bin");
  dialog.GetDlgItem(IDC_MODE_SPLIT)->SetFocus();

  Press(VK_RIGHT);
  EXPECT_EQ(Focused(), Control(IDC_MODE_JOIN));
  EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_UNCHECKED);
  EXPECT_EQ(dialog.m_bSplitMode, 0);
  EXPECT_EQ(TextOf(IDC_SOURCE_PATH), "");
  EXPECT_FALSE(IsEnabled(IDC_SIZE_LIST));

  // Join, enabled now, is the next stop; the way back stops at the checked "Join File".
  Press(VK_TAB);
  EXPECT_EQ(Focused(), Control(IDC_JOIN));
  Press(VK_TAB, true);
  EXPECT_EQ(Focused(), Control(IDC_MODE_JOIN));
  Press(VK_UP);
  EXPECT_EQ(Focused(), Control(IDC_MODE_SPLIT));
  EXPECT_EQ(dialog.m_bSplitMode, 1);

  // Enter on a radio button presses the default button, Exit.
  Press(VK_RETURN);
  EXPECT_FALSE(IsShown(dialog.m_hWnd));
}

// A template's place and size, each mapped to pixels on its own as the dialog maps them.
RECT InDialogUnits(HWND dialog, int x, int y, int cx, int cy) {
  RECT mapped{x, y, cx, cy};
  ::MapDialogRect(dialog, &mapped);
  return {mapped.left, mapped.top, mapped.left + mapped.right, mapped.top + mapped.bottom};
}

bool operator==(const RECT &a, const RECT &b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

using Win32LayoutTest = DialogTest;

TEST_F(Win32LayoutTest, LaysTheTemplateOutInDialogUnitsOfItsFont) {
  RECT client;
  ::GetClientRect(dialog.m_hWnd, &client);
  EXPECT_TRUE(client == InDialogUnits(dialog.m_hWnd, 0, 0, 161, 116));
  RECT exit;
  ::GetWindowRect(Control(IDC_EXIT), &exit);
  ::MapWindowPoints(nullptr, dialog.m_hWnd, reinterpret_cast<POINT *>(&exit), 2);
  EXPECT_TRUE(exit == InDialogUnits(dialog.m_hWnd, 108, 86, 43, 14));
}

struct ShownBox {
  CString title, text;
  HWND owner = nullptr;
  HICON icon = nullptr;
  int buttons = 0;
  COLORREF background = 0;
};

// Shows the system's box and reads it as it shows, then presses its button.
ShownBox ShowAndRead(HWND owner, UINT type) {
  ShownBox shown;
  WhenModalWindowShows([&shown](HWND box) {
    shown.title = platform::Text(box);
    shown.owner = ::GetWindow(box, GW_OWNER);
    ExpectDialogFrame(box);
    HWND button = nullptr;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
      wchar_t className[16] = {};
      ::GetClassNameW(child, className, 16);
      const DWORD style = static_cast<DWORD>(::GetWindowLongW(child, GWL_STYLE));
      if (std::wstring_view{className} == L"Button" && (style & WS_VISIBLE)) {
        ++shown.buttons;
        button = child;
      } else if (std::wstring_view{className} == L"Static" && (style & SS_TYPEMASK) == SS_ICON) {
        shown.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
      } else if (std::wstring_view{className} == L"Static" && !platform::Text(child).empty()) {
        shown.text = platform::Text(child);
      }
    }
    ::UpdateWindow(box);
    shown.background = PixelAt(box, 1, 1);
    Click(button);
  });
  platform::PlatformModalUi().MessageBox({owner, "没有找到 C:\\a。", "quorvel-splitter", type});
  return shown;
}

using Win32BoxTest = DialogTest;

TEST_F(Win32BoxTest, ShowsTheTextUnderItsCaptionWithItsIconAndOneButtonInTheDialogColours) {
  const ShownBox notice = ShowAndRead(dialog.m_hWnd, MB_OK | MB_ICONEXCLAMATION);
  EXPECT_EQ(notice.title, "quorvel-splitter");
  EXPECT_EQ(notice.text, "没有找到 C:\\a。");
  EXPECT_EQ(notice.owner, dialog.m_hWnd);
  EXPECT_EQ(notice.icon, ::LoadIconW(nullptr, IDI_EXCLAMATION));
  EXPECT_EQ(notice.buttons, 1);
  EXPECT_EQ(notice.background, RGB(160, 180, 220));
  EXPECT_EQ(ShowAndRead(dialog.m_hWnd, MB_ICONSTOP).icon, ::LoadIconW(nullptr, IDI_HAND));
  EXPECT_TRUE(dialog.IsWindowEnabled()) << "the owner takes input again";
}

} // namespace
} // namespace quorvel::test
