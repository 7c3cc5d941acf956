// The dialog's behaviour that the Win32 system itself gives it: the dialog manager's keyboard,
// dialog units, MessageBoxW.
#include "app/AboutDialog.h"
#include "framework/Platform.h"
#include "framework/win32/Win32Utf16.h"
#include "res/Look.h"
#include "res/Resources.h"
#include "tests/app/AppTestSupport.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwctype>
#include <deque>
#include <functional>
#include <thread>

namespace quorvel::test {
namespace {

using namespace fw;
using namespace res;

// Keys reach the dialog through its own modal loop, which hands them to the dialog manager.
class Win32KeyboardTest : public testing::Test {
protected:
  struct Step {
    UINT key;
    bool shift;
    // Runs once the loop has handled the key; none for the key that ends the loop.
    std::function<void()> check;
  };
  // Runs the dialog modally and presses the steps' keys in turn; returns the dialog's result.
  int Run(std::vector<Step> steps) {
    m_steps.assign(steps.begin(), steps.end());
    platform::PostTask([this] { PressNext(); });
    return dialog.DoModal();
  }
  HWND Control(unsigned id) const { return dialog.GetDlgItem(static_cast<int>(id))->m_hWnd; }
  HWND Focused() const { return FocusedControl(dialog.m_hWnd); }
  int CheckOf(unsigned id) const {
    return static_cast<int>(::SendMessageW(Control(id), BM_GETCHECK, 0, 0));
  }

  ScriptedModalUi modal;
  TempFolder folder;
  SplitterDialog dialog;

private:
  static void HoldShift(bool held) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = held ? 0x80 : 0;
    ::SetKeyboardState(keys);
  }
  void PressNext() {
    if (m_steps.empty())
      return platform::CloseModalWindow();
    const Step step = m_steps.front();
    m_steps.pop_front();
    HoldShift(step.shift);
    HWND focused = ::GetFocus();
    // The key-up flags: a previous state of down and a transition.
    ::PostMessageW(focused, WM_KEYDOWN, step.key, 1);
    ::PostMessageW(focused, WM_KEYUP, step.key, static_cast<LPARAM>(0xC0000001u));
    if (!step.check) {
      // Should the loop go on, the test fails rather than waits; the check holds nothing of the
      // test, which has ended when the loop has.
      return OnceKeysHandled([window = dialog.m_hWnd] {
        HoldShift(false);
        if (::IsWindow(window) && ::IsWindowVisible(window)) {
          ADD_FAILURE() << "the dialog stayed open";
          platform::CloseModalWindow();
        }
      });
    }
    OnceKeysHandled([this, step] {
      HoldShift(false);
      step.check();
      PressNext();
    });
  }
  // The loop takes posted keys only once it has nothing else to do.
  static void OnceKeysHandled(std::function<void()> then) {
    platform::PostTask([then = std::move(then)]() mutable {
      MSG pending;
      if (::PeekMessageW(&pending, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE))
        return OnceKeysHandled(std::move(then));
      then();
    });
  }

  std::deque<Step> m_steps;
};

TEST_F(Win32KeyboardTest, TabFollowsTheTemplateAndStopsOnceAtTheCheckedMode) {
  std::vector<Step> steps;
  auto focusIs = [this](unsigned id) {
    return [this, id] { EXPECT_EQ(Focused(), Control(id)) << id; };
  };
  // The disabled Join button is passed over.
  for (unsigned id : {IDC_EXIT, IDC_BROWSE_SOURCE, IDC_SOURCE_PATH, IDC_BROWSE_DEST})
    steps.push_back({VK_TAB, false, focusIs(id)});
  steps.push_back({VK_SPACE, false, [this] { EXPECT_EQ(modal.folderRequests.size(), 1u); }});
  for (unsigned id : {IDC_DEST_FOLDER, IDC_MODE_SPLIT, IDC_SIZE_LIST, IDC_SPLIT})
    steps.push_back({VK_TAB, false, focusIs(id)});
  steps.push_back({VK_TAB, true, focusIs(IDC_SIZE_LIST)});
  steps.push_back({VK_TAB, true, focusIs(IDC_MODE_SPLIT)});
  platform::PostTask([this] { EXPECT_EQ(Focused(), Control(IDC_SPLIT)); });
  Run(steps);
}

TEST_F(Win32KeyboardTest, ArrowsSwitchTheModeAsAClickDoes) {
  WriteFile(folder / "a.bin", RandomBytes(10, 1));
  platform::PostTask([this] {
    modal.fileAnswers.push_back(folder / "a.bin");
    Click(Control(IDC_BROWSE_SOURCE));
    dialog.GetDlgItem(IDC_MODE_SPLIT)->SetFocus();
  });
  const int result = Run({
      {VK_RIGHT, false,
       [this] {
         EXPECT_EQ(Focused(), Control(IDC_MODE_JOIN));
         EXPECT_EQ(CheckOf(IDC_MODE_SPLIT), BST_UNCHECKED);
         EXPECT_EQ(dialog.m_bSplitMode, 0);
         EXPECT_EQ(platform::Text(Control(IDC_SOURCE_PATH)), "");
         EXPECT_FALSE(::IsWindowEnabled(Control(IDC_SIZE_LIST)));
       }},
      // Join, enabled now, is the next stop; the way back stops at the checked "Join File".
      {VK_TAB, false, [this] { EXPECT_EQ(Focused(), Control(IDC_JOIN)); }},
      {VK_TAB, true, [this] { EXPECT_EQ(Focused(), Control(IDC_MODE_JOIN)); }},
      {VK_UP, false,
       [this] {
         EXPECT_EQ(Focused(), Control(IDC_MODE_SPLIT));
         EXPECT_EQ(dialog.m_bSplitMode, 1);
       }},
      // Enter on a radio button presses the default button, Exit.
      {VK_RETURN, false, nullptr},
  });
  EXPECT_EQ(result, IDCANCEL);
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

// This program carries the dialog program's manifest, which the system reads at its start.
TEST(Win32ManifestTest, TheSystemTakesTheProgramAsDpiAwareWithTheCommonControls6) {
  EXPECT_TRUE(::IsProcessDPIAware());
  // Version 6 of the common controls is the side-by-side assembly's, never the system folder's.
  wchar_t path[MAX_PATH] = {};
  ::GetModuleFileNameW(::GetModuleHandleW(L"comctl32.dll"), path, MAX_PATH);
  std::wstring loaded{path};
  std::transform(loaded.begin(), loaded.end(), loaded.begin(), std::towlower);
  EXPECT_NE(loaded.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << fw::win32::Utf8FromUtf16(loaded);
}

using Win32DpiTest = DialogTest;

// The rows of a button that its dark caption reaches, its smoothed edges too, inside the skin's
// margins.
int CaptionHeight(HWND button) {
  ::InvalidateRect(button, nullptr, FALSE);
  ::UpdateWindow(button);
  RECT client;
  ::GetClientRect(button, &client);
  int top = -1;
  int bottom = -1;
  for (int y = 6; y < client.bottom - 6; ++y)
    for (int x = 6; x < client.right - 6; ++x) {
      const COLORREF pixel = PixelAt(button, x, y);
      if (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel) < 3 * 128) {
        top = top < 0 ? y : top;
        bottom = y;
        break;
      }
    }
  return top < 0 ? 0 : bottom - top + 1;
}

TEST_F(Win32DpiTest, OnADisplayOfAnotherDpiTheDialogTakesTheSuggestedPlaceAndTheSkinsTheNewSizes) {
  ASSERT_EQ(dialog.GetDpi(), 96u) << "the tests' display";
  const int captionAt96 = CaptionHeight(Control(IDC_SPLIT));
  ASSERT_GT(captionAt96, 5);
  RECT suggested{40, 30, 40 + 360, 30 + 300};
  ::SendMessageW(dialog.m_hWnd, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
  RECT taken;
  ::GetWindowRect(dialog.m_hWnd, &taken);
  EXPECT_TRUE(taken == suggested);

  // The system then resizes each control and tells it; the skin is fitted to the new size, as on
  // a button that started at that size.
  HWND split = Control(IDC_SPLIT);
  ::SetWindowPos(split, nullptr, 0, 0, 120, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::SendMessageW(split, WM_DPICHANGED_AFTERPARENT, 0, 0);
  auto lowerRightCorner = [split] {
    ::UpdateWindow(split);
    std::vector<COLORREF> pixels;
    for (int y = 30; y < 40; ++y)
      for (int x = 100; x < 120; ++x)
        pixels.push_back(PixelAt(split, x, y));
    return pixels;
  };
  const std::vector<COLORREF> refitted = lowerRightCorner();
  // The caption follows, half as high again.
  EXPECT_GE(2 * CaptionHeight(split), 3 * captionAt96 - 2) << captionAt96;
  EXPECT_EQ(dialog.m_btnExit.GetDpi(), 144u) << "every control of the window";
  dialog.m_btnSplit.SetStateImages(IDB_BUTTON_SKIN, 5, 5, 5, 5, 4);
  dialog.m_btnSplit.Invalidate(FALSE);
  EXPECT_EQ(refitted, lowerRightCorner());
}

TEST(Win32AboutTest, ShowsTheWholeWebAddress) {
  AboutDialog about;
  ASSERT_TRUE(about.Create());
  HWND label = nullptr;
  for (HWND child = ::GetWindow(about.m_hWnd, GW_CHILD); child && !label;
       child = ::GetWindow(child, GW_HWNDNEXT))
    if (platform::Text(child) == "www.quorvel.example")
      label = child;
  ASSERT_NE(label, nullptr);
  const HDC dc = ::GetDC(label);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
  SIZE text{};
  ::GetTextExtentPoint32W(dc, L"www.quorvel.example", 19, &text);
  ::SelectObject(dc, previous);
  ::ReleaseDC(label, dc);
  RECT client;
  ::GetClientRect(label, &client);
  EXPECT_LE(text.cx, client.right);
  about.DestroyWindow();
}

// Labels, read-only fields and radio buttons take their colours from WM_CTLCOLORSTATIC.
TEST_F(Win32LayoutTest, LabelsReadOnlyFieldsAndRadiosShowTheDialogColour) {
  for (unsigned id : {IDC_STATUS, IDC_SOURCE_PATH, IDC_MODE_JOIN}) {
    ::InvalidateRect(Control(id), nullptr, TRUE);
    ::UpdateWindow(Control(id));
    RECT client;
    ::GetClientRect(Control(id), &client);
    EXPECT_EQ(PixelAt(Control(id), client.right - 2, client.bottom - 2), ColourRef(kDialogColour))
        << id;
  }
}

// The fields are given UTF-16: UTF-8 through an A function would show é as two characters.
TEST_F(Win32LayoutTest, FieldsShowNamesInAnyScript) {
  WriteFile(folder / "Données 報告.bin", RandomBytes(10, 1));
  ChooseSource(folder / "Données 報告.bin");
  wchar_t shown[MAX_PATH] = {};
  ::GetWindowTextW(Control(IDC_SOURCE_PATH), shown, MAX_PATH);
  EXPECT_TRUE(std::wstring_view{shown}.ends_with(L"\\Données 報告.bin"))
      << platform::Text(Control(IDC_SOURCE_PATH));
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
  EXPECT_EQ(notice.background, ColourRef(kDialogColour));
  EXPECT_EQ(ShowAndRead(dialog.m_hWnd, MB_ICONSTOP).icon, ::LoadIconW(nullptr, IDI_HAND));
  EXPECT_TRUE(dialog.IsWindowEnabled()) << "the owner takes input again";
}

BOOL CALLBACK FindPathBox(HWND child, LPARAM found) {
  wchar_t className[16] = {};
  ::GetClassNameW(child, className, 16);
  if (std::wstring_view{className} != L"Edit" || !::IsWindowVisible(child))
    return TRUE;
  *reinterpret_cast<HWND *>(found) = child;
  return FALSE;
}

// The present folder dialog, in which a path can be typed: the folder typed there is chosen.
using Win32FolderDialogTest = DialogTest;

TEST_F(Win32FolderDialogTest, TakesAPathTypedIntoItsBox) {
  std::filesystem::create_directory(folder.path() / "pieces");
  CString title;
  HWND pathBox = nullptr;
  WhenModalWindowShows([&](HWND window) {
    title = platform::Text(window);
    ::EnumChildWindows(window, FindPathBox, reinterpret_cast<LPARAM>(&pathBox));
    if (pathBox)
      platform::SetText(pathBox, folder / "pieces");
    ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(pathBox ? IDOK : IDCANCEL, BN_CLICKED), 0);
  });
  const auto choice = platform::PlatformModalUi().BrowseForFolder(
      {dialog.m_hWnd, "Select a folder", {}, folder.Text()});
  EXPECT_EQ(title, "Select a folder");
  EXPECT_NE(pathBox, nullptr);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->path, folder / "pieces");
}

using Win32LongRunTest = DialogFixture<SlowRunDialog>;

// The shell, from a thread of its own, finds the window alive throughout a long split, and Alt+F4
// stops the split and then ends the program.
TEST_F(Win32LongRunTest, TheWindowAnswersWhileASplitRunsAndAltF4StopsItThenCloses) {
  WriteFile(folder / "whole.bin", RandomBytes(10'000'000, 4));
  std::filesystem::create_directory(folder.path() / "pieces");
  ChooseSource(folder / "whole.bin");
  ChooseDestination(folder / "pieces");
  dialog.m_comboSize.SetCurSel(3);

  const HWND window = dialog.m_hWnd;
  std::atomic<bool> running = true;
  // Set once the window's thread takes events again: the click that starts the run is its own.
  std::atomic<bool> runStarted = false;
  std::atomic<int> asked = 0;
  std::atomic<bool> probing = true;
  int hung = 0;
  int unanswered = 0;
  std::thread shell([&] {
    while (running) {
      hung += ::IsHungAppWindow(window) ? 1 : 0;
      DWORD_PTR result = 0;
      // Only a time-out counts: the window is gone once the close has ended the program.
      const bool asking = runStarted;
      if (!::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 100, &result) &&
          ::GetLastError() == ERROR_TIMEOUT && asking)
        ++unanswered;
      ++asked;
      ::Sleep(10);
    }
    probing = false;
  });
  std::function<void()> pressAltF4 = [&] {
    if (TextOf(IDC_EXIT) != "Cancel")
      return;
    runStarted = true;
    if (TextOf(IDC_STATUS) == "Status" || asked < 10)
      return platform::PostTask(pressAltF4);
    // Bit 29 of the key's flags: Alt is down.
    ::PostMessageW(::GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000001);
  };
  platform::PostTask(pressAltF4);
  Click(IDC_SPLIT);
  running = false;
  // The window's thread answers the last question too: PeekMessage hands on what was sent.
  for (MSG message; probing; ::Sleep(1))
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
  shell.join();
  HandlePostedMessages();

  EXPECT_GE(asked, 10);
  EXPECT_EQ(hung, 0);
  EXPECT_EQ(unanswered, 0);
  EXPECT_EQ(TextOf(IDC_STATUS), "Cancelled");
  EXPECT_FALSE(IsShown(window));
  EXPECT_TRUE(std::filesystem::is_empty(folder.path() / "pieces"));
}

} // namespace
} // namespace quorvel::test
