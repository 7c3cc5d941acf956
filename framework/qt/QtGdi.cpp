#include "framework/ResourceModule.h"
#include "framework/qt/GdiData.h"
#include "framework/qt/QtWindowPeer.h"

#include <QPainter>

#include <cstring>

namespace quorvel::fw {
namespace detail {

QRgb ToRgb(COLORREF colour) {
  return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF ToColorRef(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

void DCAccess::OpenOnWindow(CDC &dc, qt::QtWindowPeer &window, const QRect &clip) {
  dc.m_dc = std::make_unique<DCData>();
  dc.m_dc->surface = window.Surface();
  dc.m_dc->deviceClip = clip & dc.m_dc->surface->image.rect();
}

} // namespace detail

namespace {

using detail::BitmapData;
using detail::DCData;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

std::shared_ptr<BitmapData> MakeBitmap(int width, int height, bool monochrome) {
  auto data = std::make_shared<BitmapData>();
  data->image = QImage(std::max(width, 0), std::max(height, 0), QImage::Format_RGB32);
  data->image.fill(kBlack);
  data->monochrome = monochrome;
  return data;
}

// The device rectangle a logical one lands on, cut to the clip box.
QRect ToDeviceClipped(const DCData &dc, int x, int y, int width, int height) {
  return QRect(x - dc.windowOrg.x(), y - dc.windowOrg.y(), width, height) & dc.deviceClip;
}

// One source pixel as the target stores it.
QRgb Convert(QRgb pixel, const DCData &source, const DCData &target) {
  if (source.surface->monochrome == target.surface->monochrome)
    return pixel;
  if (target.surface->monochrome)
    return (pixel | kBlack) == detail::ToRgb(source.bkColor) ? kWhite : kBlack;
  return detail::ToRgb(pixel == kWhite ? target.bkColor : target.textColor);
}

QRgb Combine(QRgb target, QRgb source, DWORD rop) {
  switch (rop) {
  case SRCINVERT:
    return (target ^ source) | kBlack;
  case SRCAND:
    return target & source;
  default:
    return source;
  }
}

bool IsSupportedRop(DWORD rop) { return rop == SRCCOPY || rop == SRCINVERT || rop == SRCAND; }

} // namespace

COLORREF GetSysColor(int index) { return qt::SystemColour(index); }

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT resourceId) {
  const auto bytes = AfxGetResourceHandle().Find(res::ResourceType::Bitmap, resourceId & 0xFFFF);
  if (bytes.empty())
    return FALSE;
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar *>(bytes.data()),
                          static_cast<int>(bytes.size()), "BMP"))
    return FALSE;
  auto data = std::make_shared<BitmapData>();
  data->image = image.convertToFormat(QImage::Format_RGB32);
  m_data = std::move(data);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC *dc, int width, int height) {
  const DCData *context = dc ? detail::DCAccess::Data(*dc) : nullptr;
  if (!context || width < 0 || height < 0)
    return FALSE;
  m_data = MakeBitmap(width, height, context->surface->monochrome);
  return TRUE;
}

BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void *bits) {
  if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 32) || width < 0 || height < 0)
    return FALSE;
  const bool monochrome = bitsPerPixel == 1;
  m_data = MakeBitmap(width, height, monochrome);
  if (!bits)
    return TRUE;
  const auto *bytes = static_cast<const std::uint8_t *>(bits);
  // Rows are padded to 16 bits, as the platform lays out bitmap bits.
  const int rowBytes = monochrome ? ((width + 15) / 16) * 2 : width * 4;
  for (int y = 0; y < height; ++y) {
    auto *row = reinterpret_cast<QRgb *>(m_data->image.scanLine(y));
    const std::uint8_t *source = bytes + y * rowBytes;
    for (int x = 0; x < width; ++x) {
      if (monochrome) {
        row[x] = (source[x / 8] & (0x80 >> (x % 8))) ? kWhite : kBlack;
      } else {
        std::uint32_t bgrx;
        std::memcpy(&bgrx, source + 4 * x, 4);
        row[x] = bgrx | kBlack;
      }
    }
  }
  return TRUE;
}

int CBitmap::GetObject(BITMAP *bitmap) const {
  if (!m_data || !bitmap)
    return 0;
  *bitmap = {m_data->image.width(), m_data->image.height(), 1, m_data->monochrome ? 1 : 32};
  return sizeof(BITMAP);
}

BOOL CBitmap::DeleteObject() {
  if (!m_data)
    return FALSE;
  m_data.reset();
  return TRUE;
}

CFont::CFont() = default;
CFont::~CFont() = default;

BOOL CFont::CreateFontIndirect(const LOGFONT *logFont) {
  if (!logFont)
    return FALSE;
  m_data = std::make_shared<detail::FontData>(detail::FontData{qt::FontFromLogFont(*logFont)});
  return TRUE;
}

BOOL CFont::DeleteObject() {
  if (!m_data)
    return FALSE;
  m_data.reset();
  return TRUE;
}

CDC::CDC() = default;
CDC::~CDC() = default;

BOOL CDC::CreateCompatibleDC(CDC *) {
  m_dc = std::make_unique<DCData>();
  m_dc->memory = true;
  m_dc->firstBitmap.CreateBitmap(1, 1, 1, 1, nullptr);
  m_dc->selectedBitmap = &m_dc->firstBitmap;
  m_dc->surface = detail::DCAccess::Data(m_dc->firstBitmap);
  m_dc->deviceClip = m_dc->surface->image.rect();
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_dc)
    return FALSE;
  m_dc.reset();
  return TRUE;
}

CBitmap *CDC::SelectObject(CBitmap *bitmap) {
  if (!m_dc || !m_dc->memory)
    return nullptr;
  CBitmap *next = bitmap ? bitmap : &m_dc->firstBitmap;
  const auto &data = detail::DCAccess::Data(*next);
  if (!data)
    return nullptr;
  CBitmap *previous = m_dc->selectedBitmap;
  m_dc->selectedBitmap = next;
  m_dc->surface = data;
  m_dc->deviceClip = data->image.rect();
  return previous;
}

CFont *CDC::SelectObject(CFont *font) {
  if (!m_dc)
    return nullptr;
  CFont *previous = m_dc->selectedFont;
  m_dc->selectedFont = font;
  // The context's own font stands for "none selected"; hand back something that restores it.
  static CFont noFont;
  return previous ? previous : &noFont;
}

CBrush *CDC::SelectObject(CBrush *brush) {
  if (!m_dc)
    return nullptr;
  CBrush *previous = m_dc->selectedBrush;
  m_dc->selectedBrush = brush;
  static CBrush noBrush;
  return previous ? previous : &noBrush;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
  if (!m_dc)
    return CLR_INVALID;
  return std::exchange(m_dc->bkColor, colour);
}

COLORREF CDC::GetBkColor() const { return m_dc ? m_dc->bkColor : CLR_INVALID; }

COLORREF CDC::SetTextColor(COLORREF colour) {
  if (!m_dc)
    return CLR_INVALID;
  return std::exchange(m_dc->textColor, colour);
}

COLORREF CDC::GetTextColor() const { return m_dc ? m_dc->textColor : CLR_INVALID; }

int CDC::SetBkMode(int mode) {
  if (!m_dc || (mode != TRANSPARENT && mode != OPAQUE))
    return 0;
  return std::exchange(m_dc->bkMode, mode);
}

int CDC::GetBkMode() const { return m_dc ? m_dc->bkMode : 0; }

int CDC::GetClipBox(CRect *rect) const {
  if (!m_dc)
    return 0;
  const QRect clip = m_dc->deviceClip.translated(m_dc->windowOrg);
  *rect = clip.isEmpty() ? CRect{}
                         : CRect{clip.left(), clip.top(), clip.right() + 1, clip.bottom() + 1};
  return clip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(const CRect &rect) {
  if (!m_dc)
    return 0;
  m_dc->deviceClip &= ToDeviceClipped(*m_dc, rect.left, rect.top, rect.Width(), rect.Height());
  return m_dc->deviceClip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

CPoint CDC::SetWindowOrg(int x, int y) {
  if (!m_dc)
    return {};
  const CPoint previous{m_dc->windowOrg.x(), m_dc->windowOrg.y()};
  m_dc->windowOrg = QPoint(x, y);
  return previous;
}

CPoint CDC::GetWindowOrg() const {
  return m_dc ? CPoint{m_dc->windowOrg.x(), m_dc->windowOrg.y()} : CPoint{};
}

void CDC::FillRect(const CRect *rect, CBrush *brush) {
  if (!m_dc || !rect || !brush || brush->IsNull())
    return;
  const QRect area = ToDeviceClipped(*m_dc, rect->left, rect->top, rect->Width(), rect->Height());
  if (area.isEmpty())
    return;
  QRgb colour = detail::ToRgb(brush->Colour());
  if (m_dc->surface->monochrome)
    colour = colour == kWhite ? kWhite : kBlack;
  QImage &image = m_dc->surface->image;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
    std::fill(row + area.left(), row + area.right() + 1, colour);
  }
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                 DWORD rop) {
  if (width == 0 || height == 0)
    return m_dc ? TRUE : FALSE;
  return StretchBlt(x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, DWORD rop) {
  const DCData *from = source ? detail::DCAccess::Data(*source) : nullptr;
  if (!m_dc || !from || !IsSupportedRop(rop) || width <= 0 || height <= 0 || sourceWidth <= 0 ||
      sourceHeight <= 0)
    return FALSE;
  const QRect area = ToDeviceClipped(*m_dc, x, y, width, height);
  // Source and target may be one image; read a copy of the part that is sampled.
  const QImage &sourceImage = from->surface->image;
  const QRect sourceDevice(sourceX - from->windowOrg.x(), sourceY - from->windowOrg.y(),
                           sourceWidth, sourceHeight);
  const QImage sampled = sourceImage.copy(sourceDevice & sourceImage.rect());
  const QPoint sampledOrigin =
      (sourceDevice & sourceImage.rect()).topLeft() - sourceDevice.topLeft();
  const int originX = x - m_dc->windowOrg.x();
  const int originY = y - m_dc->windowOrg.y();
  QImage &target = m_dc->surface->image;
  for (int ty = area.top(); ty <= area.bottom(); ++ty) {
    const int sy = static_cast<int>(static_cast<long long>(ty - originY) * sourceHeight / height) -
                   sampledOrigin.y();
    if (sy < 0 || sy >= sampled.height())
      continue;
    const auto *sourceRow = reinterpret_cast<const QRgb *>(sampled.constScanLine(sy));
    auto *targetRow = reinterpret_cast<QRgb *>(target.scanLine(ty));
    for (int tx = area.left(); tx <= area.right(); ++tx) {
      const int sx = static_cast<int>(static_cast<long long>(tx - originX) * sourceWidth / width) -
                     sampledOrigin.x();
      if (sx < 0 || sx >= sampled.width())
        continue;
      targetRow[tx] = Combine(targetRow[tx], Convert(sourceRow[sx], *from, *m_dc), rop);
    }
  }
  return TRUE;
}

int CDC::DrawText(const CString &text, CRect *rect, UINT format) {
  if (!m_dc || !rect)
    return 0;
  const auto &selected = m_dc->selectedFont ? detail::DCAccess::Data(*m_dc->selectedFont) : nullptr;
  const QFont &font = selected ? selected->font : detail::DefaultFont();
  int alignment = Qt::TextSingleLine;
  alignment |= (format & DT_CENTER)  ? Qt::AlignHCenter
               : (format & DT_RIGHT) ? Qt::AlignRight
                                     : Qt::AlignLeft;
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  alignment |= singleLine && (format & DT_VCENTER)  ? Qt::AlignVCenter
               : singleLine && (format & DT_BOTTOM) ? Qt::AlignBottom
                                                    : Qt::AlignTop;
  if (!(format & DT_NOPREFIX))
    alignment |= Qt::TextShowMnemonic;
  QPainter painter(&m_dc->surface->image);
  painter.setClipRect(m_dc->deviceClip);
  painter.translate(-m_dc->windowOrg);
  painter.setFont(font);
  const QRect box(rect->left, rect->top, rect->Width(), rect->Height());
  const QString label = qt::ToQString(text);
  const QRect bounds = painter.boundingRect(box, alignment, label);
  if (m_dc->bkMode == OPAQUE)
    painter.fillRect(bounds, QColor(detail::ToRgb(m_dc->bkColor)));
  painter.setPen(QColor(detail::ToRgb(m_dc->textColor)));
  painter.drawText(box, alignment, label);
  return bounds.height();
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (!m_dc)
    return CLR_INVALID;
  const QPoint device(x - m_dc->windowOrg.x(), y - m_dc->windowOrg.y());
  if (!m_dc->surface->image.rect().contains(device))
    return CLR_INVALID;
  return detail::ToColorRef(m_dc->surface->image.pixel(device));
}

CPaintDC::CPaintDC(CWnd *window) : CPaintDC(window ? window->m_hWnd : nullptr) {}

CPaintDC::CPaintDC(WindowPeer *window) {
  auto *peer = dynamic_cast<qt::QtWindowPeer *>(window);
  if (!peer)
    return;
  const qt::PaintRequest request = peer->BeginPaint();
  detail::DCAccess::OpenOnWindow(*this, *peer, request.area);
  if (request.erase)
    peer->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(static_cast<CDC *>(this)));
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd *window) : CClientDC(window ? window->m_hWnd : nullptr) {}

CClientDC::CClientDC(WindowPeer *window) {
  auto *peer = dynamic_cast<qt::QtWindowPeer *>(window);
  if (peer)
    detail::DCAccess::OpenOnWindow(*this, *peer, peer->rect());
}

} // namespace quorvel::fw
