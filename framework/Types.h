#pragma once

// The framework speaks Windows' own vocabulary. Its types, constants, structures and the few
// system functions the program calls (BOOL, HWND, WM_PAINT, RGB, DRAWITEMSTRUCT, GetSysColor, ...)
// are global names with Windows' values and layouts. On Windows they are those of <windows.h>,
// <commctrl.h> and <commdlg.h>, which every framework header includes through this one, compiled
// for Unicode; the framework defines only what they lack. Elsewhere framework/WindowsNames.h
// declares them, with constants and functions where Windows has macros. Hence:
// - Such a name is never qualified (fw::TRUE reads fw::1 on Windows) nor declared again in our
//   namespaces, and what a message carries is what a window procedure gets on Windows: handles
//   (HDC, HICON, HWND) and text pointers.
// - A framework member named like a Windows function that has an A and a W form (MessageBox,
//   SendMessage, DrawText, LoadBitmap, ...) becomes the W form on Windows in every translation
//   unit alike, as in any Unicode Windows program. Headers that do not include this one (res/,
//   engine/) keep clear of those names, or would mean something else after it.
// - Texts are UTF-8 CStrings everywhere; the backend converts where it hands one to the system.
// The framework's own classes and functions live in quorvel::fw. scripts/check-windows-compile.sh
// holds the two sides to each other.
#ifdef _WIN32
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After <windows.h>, which these need.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
static_assert(sizeof(TCHAR) == sizeof(wchar_t),
              "<windows.h> was included before framework/Types.h without UNICODE");
#if defined(min) || defined(max)
#error "<windows.h> was included before framework/Types.h without NOMINMAX"
#endif
#else
#include "framework/WindowsNames.h"
#endif

#include "base/Text.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel::fw {

// Texts are UTF-8 on every backend.
using CString = std::string;

using quorvel::Utf8PrefixLength;

struct CPoint : POINT {
  constexpr CPoint() : POINT{0, 0} {}
  constexpr CPoint(LONG x, LONG y) : POINT{x, y} {}
};

struct CSize : SIZE {
  constexpr CSize() : SIZE{0, 0} {}
  constexpr CSize(LONG cx, LONG cy) : SIZE{cx, cy} {}
};

// A rectangle covers its left and top edges, not its right and bottom ones.
struct CRect : RECT {
  constexpr CRect() : RECT{0, 0, 0, 0} {}
  constexpr CRect(LONG l, LONG t, LONG r, LONG b) : RECT{l, t, r, b} {}
  constexpr CRect(const RECT &rect) : RECT(rect) {}

  int Width() const { return static_cast<int>(right - left); }
  int Height() const { return static_cast<int>(bottom - top); }
};

} // namespace quorvel::fw
