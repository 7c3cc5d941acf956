// On Windows a later copy finds the window by a property that names the lock; the atom behind the
// property's value is the system's, seen by every program of the session.
#include "framework/RunningCopy.h"

#include "framework/win32/Win32RunningCopy.h"
#include "framework/win32/Win32Utf16.h"

namespace quorvel::fw {
namespace {

constexpr wchar_t kAnswersProperty[] = L"Quorvel.AnswersLaterCopies";

struct Search {
  HANDLE atom;
  HWND found = nullptr;
};

BOOL CALLBACK Match(HWND window, LPARAM data) {
  auto &search = *reinterpret_cast<Search *>(data);
  if (::GetPropW(window, kAnswersProperty) != search.atom)
    return TRUE;
  search.found = window;
  return FALSE;
}

HANDLE AsHandle(ATOM atom) { return reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)); }

} // namespace

void AnswerLaterCopies(HWND window, const CString &name) {
  if (const ATOM atom = ::GlobalAddAtomW(win32::Utf16FromUtf8(name).c_str()))
    ::SetPropW(window, kAnswersProperty, AsHandle(atom));
}

bool BringRunningCopyToFront(const CString &name) {
  const ATOM atom = ::GlobalFindAtomW(win32::Utf16FromUtf8(name).c_str());
  if (!atom)
    return false;
  Search search{AsHandle(atom)};
  ::EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  if (!search.found)
    return false;
  if (::IsIconic(search.found))
    ::ShowWindow(search.found, SW_RESTORE);
  // A box it shows stays in front of it.
  ::SetForegroundWindow(::GetLastActivePopup(search.found));
  return true;
}

namespace win32 {

void ForgetLaterCopies(HWND window) {
  if (HANDLE atom = ::RemovePropW(window, kAnswersProperty))
    ::GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(atom)));
}

} // namespace win32
} // namespace quorvel::fw
