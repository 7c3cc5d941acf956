#pragma once

#include "framework/Types.h"

#include <memory>

// Device contexts and the drawing objects selected into them. The backend defines what stands
// behind the detail types and implements every operation declared here.
namespace quorvel::fw {

namespace detail {
struct BitmapData;
struct FontData;
struct DCData;
struct DCAccess;
struct IconData;
} // namespace detail

// Icons loaded from resources are shared and live as long as the program.
using HICON = const detail::IconData *;
// Icon group `resourceId` of the program's resources, at the size an icon is drawn; null when
// there is none.
HICON LoadIcon(UINT resourceId);

inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
int GetSystemMetrics(int index);

class CWnd;
class WindowPeer;

// Raster operations.
inline constexpr DWORD SRCCOPY = 0x00CC0020;
inline constexpr DWORD SRCINVERT = 0x00660046;
inline constexpr DWORD SRCAND = 0x008800C6;

// DrawText formats.
inline constexpr UINT DT_LEFT = 0x00;
inline constexpr UINT DT_CENTER = 0x01;
inline constexpr UINT DT_RIGHT = 0x02;
inline constexpr UINT DT_VCENTER = 0x04;
inline constexpr UINT DT_BOTTOM = 0x08;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_NOPREFIX = 0x800;

// Background modes.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// GetClipBox results.
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;

// System colours.
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_GRAYTEXT = 17;
COLORREF GetSysColor(int index);

// Font description; the face name is UTF-8.
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr std::uint8_t DEFAULT_CHARSET = 1;
inline constexpr std::uint8_t OUT_DEFAULT_PRECIS = 0;
inline constexpr std::uint8_t CLIP_DEFAULT_PRECIS = 0;
inline constexpr std::uint8_t PROOF_QUALITY = 2;
inline constexpr std::uint8_t NONANTIALIASED_QUALITY = 3;
inline constexpr std::uint8_t VARIABLE_PITCH = 2;
inline constexpr std::uint8_t FF_SWISS = 0x10;
inline constexpr int LF_FACESIZE = 32;

struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  std::uint8_t lfItalic = 0;
  std::uint8_t lfUnderline = 0;
  std::uint8_t lfStrikeOut = 0;
  std::uint8_t lfCharSet = 0;
  std::uint8_t lfOutPrecision = 0;
  std::uint8_t lfClipPrecision = 0;
  std::uint8_t lfQuality = 0;
  std::uint8_t lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};

// As much of `face` as leaves room for the terminating zero.
inline void SetFaceName(LOGFONT &logFont, std::string_view face) {
  const std::size_t length = Utf8PrefixLength(face, LF_FACESIZE - 1);
  std::copy_n(face.data(), length, logFont.lfFaceName);
  logFont.lfFaceName[length] = '\0';
}

struct BITMAP {
  int bmWidth = 0;
  int bmHeight = 0;
  int bmPlanes = 0;
  int bmBitsPixel = 0;
};

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
  BOOL DeleteObject() {
    m_created = false;
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
  virtual ~CDC();
  CDC(const CDC &) = delete;
  CDC &operator=(const CDC &) = delete;

  // A memory context drawing on a 1 x 1 monochrome bitmap until another is selected.
  BOOL CreateCompatibleDC(CDC *dc);
  BOOL DeleteDC();
  bool IsValid() const { return m_dc != nullptr; }
  BOOL IsPrinting() const { return m_bPrinting; }

  // Each returns what was selected before, or null when nothing could be selected. Only memory
  // contexts take bitmaps; selecting null puts the context's first bitmap back.
  CBitmap *SelectObject(CBitmap *bitmap);
  CFont *SelectObject(CFont *font);
  CBrush *SelectObject(CBrush *brush);

  COLORREF SetBkColor(COLORREF colour);
  COLORREF GetBkColor() const;
  COLORREF SetTextColor(COLORREF colour);
  COLORREF GetTextColor() const;
  int SetBkMode(int mode);
  int GetBkMode() const;

  int GetClipBox(CRect *rect) const;
  // Narrows the clip box; returns what GetClipBox would.
  int IntersectClipRect(const CRect &rect);
  CPoint SetWindowOrg(int x, int y);
  CPoint GetWindowOrg() const;

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
  friend struct detail::DCAccess;
  std::unique_ptr<detail::DCData> m_dc;
  BOOL m_bPrinting = FALSE;
};

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// The context of one painting pass over the invalid part of a window. Sends the window its
// erase message first when the invalidation asked for it.
class CPaintDC : public CDC {
public:
  explicit CPaintDC(CWnd *window);
  explicit CPaintDC(WindowPeer *window);
  ~CPaintDC() override;
};

// The whole client area of a window, outside of painting passes.
class CClientDC : public CDC {
public:
  explicit CClientDC(CWnd *window);
  explicit CClientDC(WindowPeer *window);
};

} // namespace quorvel::fw
