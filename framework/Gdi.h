#pragma once

#include "framework/Types.h"

#include <memory>
#include <span>
#include <string_view>
#include <utility>

// Device contexts and the drawing objects selected into them. The backend defines what stands
// behind the detail types and the handles, and implements every operation declared here.
namespace quorvel::fw {

namespace detail {
struct BitmapData;
struct FontData;
struct DCAccess;
} // namespace detail

class CWnd;

// `pixels` at 96 dots per inch, at `dpi`, rounded to the nearest pixel as the window system
// scales.
constexpr int ScaleToDpi(int pixels, UINT dpi) {
  const long long scaled = static_cast<long long>(pixels) * dpi;
  const long long half = USER_DEFAULT_SCREEN_DPI / 2;
  return static_cast<int>((scaled + (scaled < 0 ? -half : half)) / USER_DEFAULT_SCREEN_DPI);
}

// As much of `face` as the font description holds, with its terminating zero.
void SetFaceName(LOGFONT &logFont, std::string_view face);
// Where `face` is not installed, fonts of that face are drawn in the first of `standIns` that is.
void SetFaceStandIns(std::string_view face, std::span<const std::string_view> standIns);

class CDC;

class CBitmap {
public:
  CBitmap();
  ~CBitmap();
  CBitmap(const CBitmap &) = delete;
  CBitmap &operator=(const CBitmap &) = delete;

  // A bitmap resource of the module AfxGetResourceHandle names.
  BOOL LoadBitmap(UINT resourceId);
  // In the format of the bitmap that `dc` draws on; black until painted.
  BOOL CreateCompatibleBitmap(CDC *dc, int width, int height);
  // Only 1 plane of 1 bit (monochrome) or of 32 bits is made; `bits` may be null (all 0).
  BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void *bits);
  int GetObject(BITMAP *bitmap) const;
  BOOL DeleteObject();
  bool IsNull() const { return m_data == nullptr; }

private:
  friend struct detail::DCAccess;
  std::shared_ptr<detail::BitmapData> m_data;
};

class CBrush {
public:
  CBrush() = default;
  explicit CBrush(COLORREF colour) { CreateSolidBrush(colour); }

  BOOL CreateSolidBrush(COLORREF colour) {
    m_colour = colour;
    m_created = true;
    return TRUE;
  }
  bool IsNull() const { return !m_created; }
  COLORREF Colour() const { return m_colour; }

private:
  COLORREF m_colour = 0;
  bool m_created = false;
};

class CFont {
public:
  CFont();
  virtual ~CFont();
  CFont(const CFont &) = delete;
  CFont &operator=(const CFont &) = delete;

  BOOL CreateFontIndirect(const LOGFONT *logFont);
  BOOL DeleteObject();
  bool IsNull() const { return m_data == nullptr; }

private:
  friend struct detail::DCAccess;
  std::shared_ptr<detail::FontData> m_data;
};

// A drawing surface in logical coordinates: a device point is the logical point less the window
// origin, and only the clip box of the device is drawn on.
class CDC {
public:
  CDC();
  // Deletes the context it holds.
  virtual ~CDC();
  CDC(const CDC &) = delete;
  CDC &operator=(const CDC &) = delete;

  HDC m_hDC = nullptr;
  HDC GetSafeHdc() const { return m_hDC; }
  // Takes a context to work on, which it then deletes as its own unless it is detached first.
  BOOL Attach(HDC dc) {
    if (m_hDC || !dc)
      return FALSE;
    m_hDC = dc;
    return TRUE;
  }
  HDC Detach() { return std::exchange(m_hDC, nullptr); }

  // A memory context drawing on a 1 x 1 monochrome bitmap until another is selected.
  BOOL CreateCompatibleDC(CDC *dc);
  BOOL DeleteDC();
  BOOL IsPrinting() const { return m_bPrinting; }

  // Each returns what was selected before, or null when nothing could be selected. Only memory
  // contexts take bitmaps; selecting null puts the context's first bitmap back.
  CBitmap *SelectObject(CBitmap *bitmap);
  CFont *SelectObject(CFont *font);

  COLORREF SetBkColor(COLORREF colour);
  COLORREF SetTextColor(COLORREF colour);
  int SetBkMode(int mode);

  int GetClipBox(CRect *rect) const;
  // Narrows the clip box; returns what GetClipBox would.
  int IntersectClipRect(const CRect &rect);
  CPoint SetWindowOrg(int x, int y);

  void FillRect(const CRect *rect, CBrush *brush);
  // Colour to monochrome: the source's background colour gives 1, every other colour 0.
  // Monochrome to colour: 1 gives this context's background colour, 0 its text colour.
  BOOL BitBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
              DWORD rop);
  // Samples the nearest source pixel; non-positive extents draw nothing.
  BOOL StretchBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                  int sourceWidth, int sourceHeight, DWORD rop);
  // "&x" underlines x and "&&" is a literal "&" unless DT_NOPREFIX is given. Returns the height.
  int DrawText(const CString &text, CRect *rect, UINT format);
  // CLR_INVALID outside the bitmap.
  COLORREF GetPixel(int x, int y) const;
  // At its own size, blended over what is there.
  BOOL DrawIcon(int x, int y, HICON icon);

protected:
  BOOL m_bPrinting = FALSE;
};

// A context the platform lends for one request, such as the one a message carries; its owner
// keeps it.
class CHandleDC : public CDC {
public:
  explicit CHandleDC(HDC dc) { Attach(dc); }
  ~CHandleDC() override { Detach(); }
};

// The context of one painting pass over the invalid part of a window. Sends the window its
// erase message first when the invalidation asked for it.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd *window);
  explicit CPaintDC(HWND window);
  ~CPaintDC() override;
};

// The whole client area of a window, outside of painting passes.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd *window);
  explicit CClientDC(HWND window);
};

} // namespace quorvel::fw
