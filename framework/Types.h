#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

// The value types of the window and drawing interface, laid out as the platform lays them out.
namespace quorvel::fw {

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
using UINT = unsigned int;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Texts are UTF-8 on every backend.
using CString = std::string;

// The length of the longest start of `text` that has at most `maxBytes` bytes and does not end
// inside a character.
constexpr std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text.size();
  std::size_t length = maxBytes;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    --length;
  return length;
}

// 0x00BBGGRR: red in the low byte.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(int red, int green, int blue) {
  return static_cast<COLORREF>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF colour) { return colour & 0xFF; }
constexpr int GetGValue(COLORREF colour) { return (colour >> 8) & 0xFF; }
constexpr int GetBValue(COLORREF colour) { return (colour >> 16) & 0xFF; }

constexpr WPARAM MAKEWPARAM(unsigned low, unsigned high) {
  return static_cast<WPARAM>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
constexpr LPARAM MAKELPARAM(unsigned low, unsigned high) {
  return static_cast<LPARAM>(static_cast<DWORD>((low & 0xFFFF) | ((high & 0xFFFF) << 16)));
}
constexpr unsigned LOWORD(std::uintptr_t value) { return value & 0xFFFF; }
constexpr unsigned HIWORD(std::uintptr_t value) { return (value >> 16) & 0xFFFF; }

struct CPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const CPoint &, const CPoint &) = default;
};

struct CSize {
  int cx = 0;
  int cy = 0;
  friend bool operator==(const CSize &, const CSize &) = default;
};

// A rectangle covers its left and top edges, not its right and bottom ones.
struct CRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  void OffsetRect(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
  // The common part of both, or an empty rectangle at the origin.
  static CRect Intersection(const CRect &a, const CRect &b) {
    const CRect common{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                       std::min(a.bottom, b.bottom)};
    return common.IsRectEmpty() ? CRect{} : common;
  }
  friend bool operator==(const CRect &, const CRect &) = default;
};

} // namespace quorvel::fw
