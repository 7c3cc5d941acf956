#include "framework/ResourceModule.h"
#include "framework/Wnd.h"
#include "framework/win32/Win32GdiData.h"
#include "framework/win32/Win32Utf16.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

namespace quorvel::fw {
namespace detail {

BitmapData::~BitmapData() {
  if (owned)
    ::DeleteObject(handle);
}

FontData::~FontData() {
  if (owned)
    ::DeleteObject(handle);
}

} // namespace detail

namespace {

using detail::DCAccess;

// The framework object that holds each GDI object we made, so that a selection can hand back
// what was selected before. Only the user-interface thread draws.
// Never destroyed: objects of static duration may still leave it at the program's end.
template <class Object> std::unordered_map<HGDIOBJ, Object *> &Holders() {
  static auto *holders = new std::unordered_map<HGDIOBJ, Object *>;
  return *holders;
}

template <class Object> void Forget(HGDIOBJ handle, const Object *holder) {
  auto &holders = Holders<Object>();
  const auto found = holders.find(handle);
  if (found != holders.end() && found->second == holder)
    holders.erase(found);
}

// The object that stands for `handle`: ours, or one that lends the system's (a context's first
// bitmap or font) without deleting it.
template <class Object, class Handle> Object *ObjectFor(HGDIOBJ handle) {
  if (!handle || handle == HGDI_ERROR)
    return nullptr;
  const auto &holders = Holders<Object>();
  if (const auto held = holders.find(handle); held != holders.end())
    return held->second;
  static auto *lent = new std::map<HGDIOBJ, std::unique_ptr<Object>>;
  auto &object = (*lent)[handle];
  if (!object) {
    object = std::make_unique<Object>();
    DCAccess::Adopt(*object, static_cast<Handle>(handle), false);
  }
  return object.get();
}

// The 1 x 1 monochrome bitmap every memory context starts with.
HBITMAP FirstBitmap() {
  static const HBITMAP first = [] {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const auto bitmap = static_cast<HBITMAP>(::GetCurrentObject(dc, OBJ_BITMAP));
    ::DeleteDC(dc);
    return bitmap;
  }();
  return first;
}

// The pixels of a bitmap file as a bitmap in the screen's format, as a bitmap resource loads;
// null when the bytes are not an uncompressed file of 24 or 32 bits that holds them all.
HBITMAP BitmapFromFile(std::span<const std::byte> bytes) {
  BITMAPFILEHEADER file;
  BITMAPINFO info{};
  if (bytes.size() < sizeof file + sizeof info.bmiHeader)
    return nullptr;
  std::memcpy(&file, bytes.data(), sizeof file);
  std::memcpy(&info.bmiHeader, bytes.data() + sizeof file, sizeof info.bmiHeader);
  const BITMAPINFOHEADER &header = info.bmiHeader;
  if (file.bfType != 0x4D42 || header.biSize < sizeof header || header.biPlanes != 1 ||
      header.biWidth <= 0 || header.biHeight == 0 || header.biCompression != BI_RGB ||
      (header.biBitCount != 24 && header.biBitCount != 32))
    return nullptr;
  const std::uint64_t stride = (std::uint64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const std::uint64_t rows = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
  if (file.bfOffBits < sizeof file + header.biSize || file.bfOffBits > bytes.size() ||
      bytes.size() - file.bfOffBits < stride * rows)
    return nullptr;
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  const HDC screen = ::GetDC(nullptr);
  const HBITMAP bitmap = ::CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT,
                                          bytes.data() + file.bfOffBits, &info, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  return bitmap;
}

} // namespace

void DCAccess::Adopt(CBitmap &bitmap, HBITMAP handle, bool owned) {
  bitmap.DeleteObject();
  if (!handle)
    return;
  // Made in place: a temporary would delete the handle as it goes.
  bitmap.m_data = std::make_shared<BitmapData>();
  bitmap.m_data->handle = handle;
  bitmap.m_data->owned = owned;
  if (owned)
    Holders<CBitmap>()[handle] = &bitmap;
}

void DCAccess::Adopt(CFont &font, HFONT handle, bool owned) {
  font.DeleteObject();
  if (!handle)
    return;
  font.m_data = std::make_shared<FontData>();
  font.m_data->handle = handle;
  font.m_data->owned = owned;
  if (owned)
    Holders<CFont>()[handle] = &font;
}

void SetFaceName(LOGFONT &logFont, std::string_view face) {
  const std::wstring wide = win32::Utf16FromUtf8(face);
  std::size_t length = std::min<std::size_t>(wide.size(), LF_FACESIZE - 1);
  // A character of two units is kept whole or left out.
  if (length < wide.size() && length > 0 && wide[length - 1] >= 0xD800 &&
      wide[length - 1] <= 0xDBFF)
    --length;
  std::copy_n(wide.data(), length, logFont.lfFaceName);
  logFont.lfFaceName[length] = L'\0';
}

// Nothing to tell: the system's font mapper itself draws a face that is not installed in one that
// covers its characters.
void SetFaceStandIns(std::string_view, std::span<const std::string_view>) {}

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() { DeleteObject(); }

BOOL CBitmap::LoadBitmap(UINT resourceId) {
  const HBITMAP bitmap =
      BitmapFromFile(AfxGetResourceHandle().Find(ResourceType::Bitmap, resourceId & 0xFFFF));
  if (!bitmap)
    return FALSE;
  DCAccess::Adopt(*this, bitmap, true);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC *dc, int width, int height) {
  if (!dc || !dc->m_hDC || width < 0 || height < 0)
    return FALSE;
  const HBITMAP bitmap = ::CreateCompatibleBitmap(dc->m_hDC, width, height);
  if (!bitmap)
    return FALSE;
  DCAccess::Adopt(*this, bitmap, true);
  return TRUE;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void *bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32) || width < 0 || height < 0)
    return FALSE;
  const HBITMAP bitmap = ::CreateBitmap(width, height, planes, bitsPerPixel, bits);
  if (!bitmap)
    return FALSE;
  DCAccess::Adopt(*this, bitmap, true);
  return TRUE;
}

int CBitmap::GetObject(BITMAP *bitmap) const {
  if (!m_data || !bitmap)
    return 0;
  return ::GetObjectW(m_data->handle, sizeof(BITMAP), bitmap);
}

BOOL CBitmap::DeleteObject() {
  if (!m_data)
    return FALSE;
  Forget<CBitmap>(m_data->handle, this);
  m_data.reset();
  return TRUE;
}

CFont::CFont() = default;
CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFontIndirect(const LOGFONT *logFont) {
  if (!logFont)
    return FALSE;
  const HFONT font = ::CreateFontIndirectW(logFont);
  if (!font)
    return FALSE;
  DCAccess::Adopt(*this, font, true);
  return TRUE;
}

BOOL CFont::DeleteObject() {
  if (!m_data)
    return FALSE;
  Forget<CFont>(m_data->handle, this);
  m_data.reset();
  return TRUE;
}

CDC::CDC() = default;
CDC::~CDC() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(CDC *dc) {
  DeleteDC();
  m_hDC = ::CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
  return m_hDC ? TRUE : FALSE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC)
    return FALSE;
  const HDC dc = std::exchange(m_hDC, nullptr);
  if (::GetObjectType(dc) == OBJ_MEMDC)
    return ::DeleteDC(dc);
  // A window's context is given back to the window.
  return ::ReleaseDC(::WindowFromDC(dc), dc) ? TRUE : FALSE;
}

CBitmap *CDC::SelectObject(CBitmap *bitmap) {
  if (!m_hDC || ::GetObjectType(m_hDC) != OBJ_MEMDC)
    return nullptr;
  const HBITMAP next = bitmap ? DCAccess::Handle(*bitmap) : FirstBitmap();
  if (!next)
    return nullptr;
  return ObjectFor<CBitmap, HBITMAP>(::SelectObject(m_hDC, next));
}

CFont *CDC::SelectObject(CFont *font) {
  if (!m_hDC)
    return nullptr;
  HFONT next = font ? DCAccess::Handle(*font) : nullptr;
  if (!next)
    next = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
  return ObjectFor<CFont, HFONT>(::SelectObject(m_hDC, next));
}

COLORREF CDC::SetBkColor(COLORREF colour) {
  return m_hDC ? ::SetBkColor(m_hDC, colour) : CLR_INVALID;
}

COLORREF CDC::SetTextColor(COLORREF colour) {
  return m_hDC ? ::SetTextColor(m_hDC, colour) : CLR_INVALID;
}

int CDC::SetBkMode(int mode) {
  if (!m_hDC || (mode != TRANSPARENT && mode != OPAQUE))
    return 0;
  return ::SetBkMode(m_hDC, mode);
}

int CDC::GetClipBox(CRect *rect) const {
  if (!m_hDC || !rect)
    return 0;
  return ::GetClipBox(m_hDC, rect);
}

int CDC::IntersectClipRect(const CRect &rect) {
  if (!m_hDC)
    return 0;
  return ::IntersectClipRect(m_hDC, rect.left, rect.top, rect.right, rect.bottom);
}

CPoint CDC::SetWindowOrg(int x, int y) {
  CPoint previous;
  if (m_hDC)
    ::SetWindowOrgEx(m_hDC, x, y, &previous);
  return previous;
}

void CDC::FillRect(const CRect *rect, CBrush *brush) {
  if (!m_hDC || !rect || !brush || brush->IsNull())
    return;
  const HBRUSH solid = ::CreateSolidBrush(brush->Colour());
  ::FillRect(m_hDC, rect, solid);
  ::DeleteObject(solid);
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                 DWORD rop) {
  if (width == 0 || height == 0)
    return m_hDC ? TRUE : FALSE;
  if (!m_hDC || !source || !source->m_hDC)
    return FALSE;
  return ::BitBlt(m_hDC, x, y, width, height, source->m_hDC, sourceX, sourceY, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, DWORD rop) {
  // GDI would mirror for negative extents; a piece of no size here draws nothing instead.
  if (!m_hDC || !source || !source->m_hDC || width <= 0 || height <= 0 || sourceWidth <= 0 ||
      sourceHeight <= 0)
    return FALSE;
  return ::StretchBlt(m_hDC, x, y, width, height, source->m_hDC, sourceX, sourceY, sourceWidth,
                      sourceHeight, rop);
}

int CDC::DrawText(const CString &text, CRect *rect, UINT format) {
  if (!m_hDC || !rect)
    return 0;
  std::wstring wide = win32::Utf16FromUtf8(text);
  return ::DrawTextW(m_hDC, wide.data(), static_cast<int>(wide.size()), rect, format);
}

COLORREF CDC::GetPixel(int x, int y) const { return m_hDC ? ::GetPixel(m_hDC, x, y) : CLR_INVALID; }

CPaintDC::CPaintDC(CWnd *window) : CPaintDC(window ? window->m_hWnd : nullptr) {}

// BeginPaint sends the erase message itself when the invalidation asked for it.
CPaintDC::CPaintDC(HWND window) {
  PAINTSTRUCT paint;
  if (window)
    Attach(::BeginPaint(window, &paint));
}

CPaintDC::~CPaintDC() {
  if (!m_hDC)
    return;
  PAINTSTRUCT paint{};
  paint.hdc = Detach();
  ::EndPaint(::WindowFromDC(paint.hdc), &paint);
}

CClientDC::CClientDC(CWnd *window) : CClientDC(window ? window->m_hWnd : nullptr) {}

CClientDC::CClientDC(HWND window) {
  if (window)
    Attach(::GetDC(window));
}

} // namespace quorvel::fw
