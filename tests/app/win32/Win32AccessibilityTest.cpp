// What assistive technology reads of the dialog through Microsoft Active Accessibility: each
// control's accessible object, as the system's proxies for the standard controls make it.
#include "framework/win32/Win32Utf16.h"
#include "res/DialogTemplates.h"
#include "tests/app/AppTestSupport.h"

#include <windows.h>
// After <windows.h>.
#include <oleacc.h>

#include <string>

namespace quorvel::test {
namespace {

using namespace res;

// Wine (8.0) has a proxy of its own for the edit field only: every other window reads as a
// generic client object, named by its text and with no checked state. It ignores the names the
// program annotates, its IAccPropServices being a stub.
bool UnderWine() {
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

class AccessibleObject {
public:
  explicit AccessibleObject(HWND window) {
    // __uuidof: the import libraries of the toolchain both define IID_IAccessible.
    ::AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                 reinterpret_cast<void **>(&m_object));
  }
  AccessibleObject(const AccessibleObject &) = delete;
  AccessibleObject &operator=(const AccessibleObject &) = delete;
  ~AccessibleObject() {
    if (m_object)
      m_object->Release();
  }

  explicit operator bool() const { return m_object != nullptr; }
  long Role() const {
    VARIANT role;
    ::VariantInit(&role);
    m_object->get_accRole(Self(), &role);
    return role.vt == VT_I4 ? role.lVal : 0;
  }
  std::string Name() const {
    BSTR name = nullptr;
    if (m_object->get_accName(Self(), &name) != S_OK || !name)
      return {};
    std::string text = fw::win32::Utf8FromUtf16(name);
    ::SysFreeString(name);
    return text;
  }
  bool Has(long state) const {
    VARIANT states;
    ::VariantInit(&states);
    m_object->get_accState(Self(), &states);
    return states.vt == VT_I4 && (states.lVal & state) != 0;
  }

private:
  static VARIANT Self() {
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
  }

  IAccessible *m_object = nullptr;
};

using Win32AccessibilityTest = DialogTest;

TEST_F(Win32AccessibilityTest, EveryControlHasTheRoleAndNameOfWhatItIs) {
  const bool wine = UnderWine();
  struct Expected {
    unsigned id;
    long role;
    const char *name;
  };
  for (const auto &[id, role, name] : {
           Expected{IDC_SPLIT, ROLE_SYSTEM_PUSHBUTTON, "Split"},
           Expected{IDC_JOIN, ROLE_SYSTEM_PUSHBUTTON, "Join"},
           Expected{IDC_EXIT, ROLE_SYSTEM_PUSHBUTTON, "Exit"},
           Expected{IDC_BROWSE_SOURCE, ROLE_SYSTEM_PUSHBUTTON, "Choose the source file"},
           Expected{IDC_BROWSE_DEST, ROLE_SYSTEM_PUSHBUTTON, "Choose the destination folder"},
           Expected{IDC_MODE_SPLIT, ROLE_SYSTEM_RADIOBUTTON, "Split File"},
           Expected{IDC_MODE_JOIN, ROLE_SYSTEM_RADIOBUTTON, "Join File"},
           Expected{IDC_SOURCE_PATH, ROLE_SYSTEM_TEXT, "Choose a source file:"},
           Expected{IDC_DEST_FOLDER, ROLE_SYSTEM_TEXT, "Select a folder to save:"},
           Expected{IDC_SIZE_LIST, ROLE_SYSTEM_COMBOBOX, "Piece size"},
           Expected{IDC_PROGRESS, ROLE_SYSTEM_PROGRESSBAR, "Progress"},
           Expected{IDC_STATUS, ROLE_SYSTEM_STATICTEXT, "Status"},
       }) {
    const AccessibleObject control(Control(id));
    ASSERT_TRUE(control) << id;
    EXPECT_EQ(control.Role(), wine && role != ROLE_SYSTEM_TEXT ? ROLE_SYSTEM_CLIENT : role) << id;
    if (name) {
      // Wine names the windows it has no proxy for by their text.
      EXPECT_EQ(control.Name(), wine && role != ROLE_SYSTEM_TEXT ? TextOf(id) : name) << id;
    }
  }
  EXPECT_EQ(TextOf(IDC_BROWSE_SOURCE), "...") << "the caption stays";

  const AccessibleObject frame(dialog.m_hWnd);
  EXPECT_EQ(frame.Role(), wine ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_DIALOG);
  EXPECT_EQ(frame.Name(), "Quorvel File Splitter");
}

TEST_F(Win32AccessibilityTest, StatesFollowTheDialog) {
  const bool wine = UnderWine();
  auto has = [this](unsigned id, long state) { return AccessibleObject(Control(id)).Has(state); };
  EXPECT_TRUE(has(IDC_SOURCE_PATH, STATE_SYSTEM_READONLY));
  EXPECT_TRUE(has(IDC_DEST_FOLDER, STATE_SYSTEM_READONLY));
  EXPECT_TRUE(has(IDC_JOIN, STATE_SYSTEM_UNAVAILABLE));
  // Wine shows no checked state.
  EXPECT_EQ(has(IDC_MODE_SPLIT, STATE_SYSTEM_CHECKED), !wine);
  EXPECT_FALSE(has(IDC_MODE_JOIN, STATE_SYSTEM_CHECKED));

  Click(IDC_MODE_JOIN);
  EXPECT_FALSE(has(IDC_JOIN, STATE_SYSTEM_UNAVAILABLE));
  EXPECT_EQ(has(IDC_MODE_JOIN, STATE_SYSTEM_CHECKED), !wine);
  EXPECT_FALSE(has(IDC_MODE_SPLIT, STATE_SYSTEM_CHECKED));
}

} // namespace
} // namespace quorvel::test
