#include "framework/ResourceModule.h"
#include "framework/qt/QtGdiData.h"
#include "framework/qt/QtWindowPeer.h"

#include <QGuiApplication>
#include <QPainter>

#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>

namespace quorvel::fw {
namespace detail {

QRgb ToRgb(COLORREF colour) {
  return qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

COLORREF ToColorRef(QRgb rgb) { return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb)); }

QRect BitmapData::ToDevice(int x, int y, int width, int height, QPoint origin) const {
  const int left = qRound((x - origin.x()) * scale);
  const int top = qRound((y - origin.y()) * scale);
  return QRect(left, top, qRound((x + width - origin.x()) * scale) - left,
               qRound((y + height - origin.y()) * scale) - top);
}

void DCAccess::OpenOnWindow(CDC &dc, qt::QtWindowPeer &window, const QRect &clip) {
  dc.DeleteDC();
  auto *data = new DCData;
  data->surface = window.Surface();
  data->deviceClip =
      data->ToDevice(clip.x(), clip.y(), clip.width(), clip.height()) & data->surface->image.rect();
  dc.Attach(data);
}

} // namespace detail

namespace {

using detail::BitmapData;
using detail::DCData;

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

std::shared_ptr<BitmapData> MakeBitmap(int width, int height, bool monochrome, qreal scale = 1) {
  auto data = std::make_shared<BitmapData>();
  data->scale = scale;
  const QRect area = data->ToDevice(0, 0, std::max(width, 0), std::max(height, 0));
  data->image = QImage(area.size(), QImage::Format_RGB32);
  data->image.fill(kBlack);
  data->monochrome = monochrome;
  return data;
}

// The device rectangle a logical one lands on, cut to the clip box.
QRect ToDeviceClipped(const DCData &dc, int x, int y, int width, int height) {
  return dc.ToDevice(x, y, width, height) & dc.deviceClip;
}

// What a copy onto a bitmap of `scale` reads: the finest drawing of the picture it needs.
const BitmapData &PictureFor(const BitmapData &source, qreal scale) {
  const BitmapData *picture = &source;
  while (picture->finer && picture->scale < scale)
    picture = picture->finer.get();
  return *picture;
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

// Source pixels from `first` up to `last`.
struct Span {
  int first, last;
};

// Which source pixels each target pixel of a stretch takes, and their merge.
class Stretch {
public:
  // Source and target may be one image: the part that is sampled is read into a copy.
  Stretch(const QImage &source, const QRect &sourceDevice, const QRect &targetDevice)
      : m_sampled(source.copy(sourceDevice & source.rect())),
        m_sampledOrigin((sourceDevice & source.rect()).topLeft() - sourceDevice.topLeft()),
        m_source(sourceDevice), m_target(targetDevice) {}

  Span Rows(int targetY) const {
    return Covered(targetY - m_target.y(), m_source.height(), m_target.height(),
                   m_sampledOrigin.y());
  }
  Span Columns(int targetX) const {
    return Covered(targetX - m_target.x(), m_source.width(), m_target.width(), m_sampledOrigin.x());
  }

  // The copy's pixels in `columns` and `rows` merged with AND, as GDI's default stretch mode
  // merges them; nothing where they lie outside the source.
  std::optional<QRgb> Merged(Span columns, Span rows) const {
    QRgb merged = kWhite;
    bool any = false;
    for (int sy = std::max(rows.first, 0); sy < std::min(rows.last, m_sampled.height()); ++sy) {
      const auto *sourceRow = reinterpret_cast<const QRgb *>(m_sampled.constScanLine(sy));
      for (int sx = std::max(columns.first, 0); sx < std::min(columns.last, m_sampled.width());
           ++sx) {
        merged &= sourceRow[sx];
        any = true;
      }
    }
    return any ? std::optional<QRgb>(merged) : std::nullopt;
  }

private:
  // The source pixels that target pixel `offset` covers, less the copy's offset `origin`. A
  // shrinking stretch takes them all; an enlarging one the pixel under the target pixel's centre.
  static Span Covered(int offset, int sourceExtent, int extent, int origin) {
    const auto first = sourceExtent <= extent
                           ? (2LL * offset + 1) * sourceExtent / (2LL * extent)
                           : static_cast<long long>(offset) * sourceExtent / extent;
    const auto last = static_cast<long long>(offset + 1) * sourceExtent / extent;
    return {static_cast<int>(first) - origin, static_cast<int>(std::max(last, first + 1)) - origin};
  }

  QImage m_sampled;
  QPoint m_sampledOrigin;
  QRect m_source;
  QRect m_target;
};

} // namespace

CBitmap::CBitmap() = default;
CBitmap::~CBitmap() = default;

BOOL CBitmap::LoadBitmap(UINT resourceId) {
  const auto bytes = AfxGetResourceHandle().Find(ResourceType::Bitmap, resourceId & 0xFFFF);
  if (bytes.empty())
    return FALSE;
  QImage image;
  if (!image.loadFromData(reinterpret_cast<const uchar *>(bytes.data()),
                          static_cast<int>(bytes.size()), "BMP"))
    return FALSE;
  auto data = std::make_shared<BitmapData>();
  data->image = image.convertToFormat(QImage::Format_RGB32);
  const auto doubled = AfxGetResourceHandle().Find(ResourceType::DoubleBitmap, resourceId & 0xFFFF);
  QImage finer;
  if (!doubled.empty() && finer.loadFromData(reinterpret_cast<const uchar *>(doubled.data()),
                                             static_cast<int>(doubled.size()), "BMP")) {
    data->finer = std::make_shared<BitmapData>();
    data->finer->image = finer.convertToFormat(QImage::Format_RGB32);
    data->finer->scale = 2;
  }
  m_data = std::move(data);
  return TRUE;
}

BOOL CBitmap::CreateCompatibleBitmap(CDC *dc, int width, int height) {
  const DCData *context = dc ? detail::DCAccess::Data(*dc) : nullptr;
  if (!context || width < 0 || height < 0)
    return FALSE;
  m_data = MakeBitmap(width, height, context->surface->monochrome, context->surface->scale);
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
  *bitmap = {};
  bitmap->bmWidth = qRound(m_data->image.width() / m_data->scale);
  bitmap->bmHeight = qRound(m_data->image.height() / m_data->scale);
  bitmap->bmPlanes = 1;
  bitmap->bmBitsPixel = m_data->monochrome ? 1 : 32;
  // Rows as CreateBitmap takes them.
  bitmap->bmWidthBytes = m_data->monochrome ? (bitmap->bmWidth + 15) / 16 * 2 : bitmap->bmWidth * 4;
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
CDC::~CDC() { DeleteDC(); }

BOOL CDC::CreateCompatibleDC(CDC *) {
  DeleteDC();
  auto *data = new DCData;
  data->memory = true;
  data->firstBitmap.CreateBitmap(1, 1, 1, 1, nullptr);
  data->selectedBitmap = &data->firstBitmap;
  data->surface = detail::DCAccess::Data(data->firstBitmap);
  data->deviceClip = data->surface->image.rect();
  m_hDC = data;
  return TRUE;
}

BOOL CDC::DeleteDC() {
  if (!m_hDC)
    return FALSE;
  delete std::exchange(m_hDC, nullptr);
  return TRUE;
}

CBitmap *CDC::SelectObject(CBitmap *bitmap) {
  if (!m_hDC || !m_hDC->memory)
    return nullptr;
  CBitmap *next = bitmap ? bitmap : &m_hDC->firstBitmap;
  const auto &data = detail::DCAccess::Data(*next);
  if (!data)
    return nullptr;
  CBitmap *previous = m_hDC->selectedBitmap;
  m_hDC->selectedBitmap = next;
  m_hDC->surface = data;
  m_hDC->deviceClip = data->image.rect();
  return previous;
}

CFont *CDC::SelectObject(CFont *font) {
  if (!m_hDC)
    return nullptr;
  CFont *previous = m_hDC->selectedFont;
  m_hDC->selectedFont = font;
  // The context's own font stands for "none selected"; hand back something that restores it.
  static CFont noFont;
  return previous ? previous : &noFont;
}

COLORREF CDC::SetBkColor(COLORREF colour) {
  if (!m_hDC)
    return CLR_INVALID;
  return std::exchange(m_hDC->bkColor, colour);
}

COLORREF CDC::SetTextColor(COLORREF colour) {
  if (!m_hDC)
    return CLR_INVALID;
  return std::exchange(m_hDC->textColor, colour);
}

int CDC::SetBkMode(int mode) {
  if (!m_hDC || (mode != TRANSPARENT && mode != OPAQUE))
    return 0;
  return std::exchange(m_hDC->bkMode, mode);
}

int CDC::GetClipBox(CRect *rect) const {
  if (!m_hDC)
    return 0;
  const QRect &clip = m_hDC->deviceClip;
  const qreal scale = m_hDC->surface->scale;
  const QPoint origin = m_hDC->windowOrg;
  // The logical pixels that the device clip touches.
  *rect = clip.isEmpty()
              ? CRect{}
              : CRect{static_cast<int>(std::floor(clip.left() / scale)) + origin.x(),
                      static_cast<int>(std::floor(clip.top() / scale)) + origin.y(),
                      static_cast<int>(std::ceil((clip.right() + 1) / scale)) + origin.x(),
                      static_cast<int>(std::ceil((clip.bottom() + 1) / scale)) + origin.y()};
  return clip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(const CRect &rect) {
  if (!m_hDC)
    return 0;
  m_hDC->deviceClip &= ToDeviceClipped(*m_hDC, rect.left, rect.top, rect.Width(), rect.Height());
  return m_hDC->deviceClip.isEmpty() ? NULLREGION : SIMPLEREGION;
}

CPoint CDC::SetWindowOrg(int x, int y) {
  if (!m_hDC)
    return {};
  const CPoint previous{m_hDC->windowOrg.x(), m_hDC->windowOrg.y()};
  m_hDC->windowOrg = QPoint(x, y);
  return previous;
}

void CDC::FillRect(const CRect *rect, CBrush *brush) {
  if (!m_hDC || !rect || !brush || brush->IsNull())
    return;
  const QRect area = ToDeviceClipped(*m_hDC, rect->left, rect->top, rect->Width(), rect->Height());
  if (area.isEmpty())
    return;
  QRgb colour = detail::ToRgb(brush->Colour());
  if (m_hDC->surface->monochrome)
    colour = colour == kWhite ? kWhite : kBlack;
  QImage &image = m_hDC->surface->image;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
    std::fill(row + area.left(), row + area.right() + 1, colour);
  }
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                 DWORD rop) {
  if (width == 0 || height == 0)
    return m_hDC ? TRUE : FALSE;
  return StretchBlt(x, y, width, height, source, sourceX, sourceY, width, height, rop);
}

BOOL CDC::StretchBlt(int x, int y, int width, int height, CDC *source, int sourceX, int sourceY,
                     int sourceWidth, int sourceHeight, DWORD rop) {
  const DCData *from = source ? detail::DCAccess::Data(*source) : nullptr;
  if (!m_hDC || !from || !IsSupportedRop(rop) || width <= 0 || height <= 0 || sourceWidth <= 0 ||
      sourceHeight <= 0)
    return FALSE;
  const QRect targetDevice = m_hDC->ToDevice(x, y, width, height);
  const BitmapData &picture = PictureFor(*from->surface, m_hDC->surface->scale);
  const QRect sourceDevice =
      picture.ToDevice(sourceX, sourceY, sourceWidth, sourceHeight, from->windowOrg);
  if (targetDevice.isEmpty() || sourceDevice.isEmpty())
    return TRUE;
  const Stretch stretch(picture.image, sourceDevice, targetDevice);
  QImage &target = m_hDC->surface->image;
  const QRect area = targetDevice & m_hDC->deviceClip;
  for (int ty = area.top(); ty <= area.bottom(); ++ty) {
    const Span rows = stretch.Rows(ty);
    auto *targetRow = reinterpret_cast<QRgb *>(target.scanLine(ty));
    for (int tx = area.left(); tx <= area.right(); ++tx) {
      if (const std::optional<QRgb> merged = stretch.Merged(stretch.Columns(tx), rows))
        targetRow[tx] = Combine(targetRow[tx], Convert(*merged, *from, *m_hDC), rop);
    }
  }
  return TRUE;
}

int CDC::DrawText(const CString &text, CRect *rect, UINT format) {
  if (!m_hDC || !rect)
    return 0;
  const auto &selected =
      m_hDC->selectedFont ? detail::DCAccess::Data(*m_hDC->selectedFont) : nullptr;
  const QFont &font = selected ? selected->font : detail::DefaultFont();
  int alignment = Qt::TextSingleLine;
  alignment |= (format & DT_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
  const bool singleLine = (format & DT_SINGLELINE) != 0;
  alignment |= singleLine && (format & DT_VCENTER) ? Qt::AlignVCenter : Qt::AlignTop;
  if (!(format & DT_NOPREFIX))
    alignment |= Qt::TextShowMnemonic;
  QPainter painter(&m_hDC->surface->image);
  painter.setClipRect(m_hDC->deviceClip);
  painter.scale(m_hDC->surface->scale, m_hDC->surface->scale);
  painter.translate(-m_hDC->windowOrg);
  painter.setFont(font);
  const QRect box(rect->left, rect->top, rect->Width(), rect->Height());
  const QString label = qt::ToQString(text);
  const QRect bounds = painter.boundingRect(box, alignment, label);
  if (m_hDC->bkMode == OPAQUE)
    painter.fillRect(bounds, QColor(detail::ToRgb(m_hDC->bkColor)));
  painter.setPen(QColor(detail::ToRgb(m_hDC->textColor)));
  painter.drawText(box, alignment, label);
  return bounds.height();
}

COLORREF CDC::GetPixel(int x, int y) const {
  if (!m_hDC)
    return CLR_INVALID;
  const QPoint device = m_hDC->ToDevice(x, y, 1, 1).topLeft();
  if (!m_hDC->surface->image.rect().contains(device))
    return CLR_INVALID;
  return detail::ToColorRef(m_hDC->surface->image.pixel(device));
}

CPaintDC::CPaintDC(CWnd *window) : CPaintDC(window ? window->m_hWnd : nullptr) {}

CPaintDC::CPaintDC(HWND window) {
  qt::QtWindowPeer *peer = qt::PeerOf(window);
  if (!peer)
    return;
  const qt::PaintRequest request = peer->BeginPaint();
  detail::DCAccess::OpenOnWindow(*this, *peer, request.area);
  if (request.erase)
    peer->Send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_hDC));
}

CPaintDC::~CPaintDC() = default;

CClientDC::CClientDC(CWnd *window) : CClientDC(window ? window->m_hWnd : nullptr) {}

CClientDC::CClientDC(HWND window) {
  qt::QtWindowPeer *peer = qt::PeerOf(window);
  if (peer)
    detail::DCAccess::OpenOnWindow(*this, *peer, peer->Widget().rect());
}

} // namespace quorvel::fw

// Fonts.
namespace quorvel::fw {
namespace qt {

QFont FontFromLogFont(const LOGFONT &logFont) {
  const auto faceLength = static_cast<qsizetype>(strnlen(logFont.lfFaceName, LF_FACESIZE));
  QFont font;
  if (faceLength > 0)
    font.setFamily(QString::fromUtf8(logFont.lfFaceName, faceLength));
  if ((logFont.lfPitchAndFamily & 0xF0) == FF_SWISS)
    font.setStyleHint(QFont::SansSerif);
  // Both the character height (negative) and the cell height are near enough to Qt's pixel size.
  font.setPixelSize(logFont.lfHeight == 0 ? 12 : std::abs(logFont.lfHeight));
  if (logFont.lfWeight > 0)
    font.setWeight(static_cast<QFont::Weight>(std::clamp<int>(logFont.lfWeight, 100, 900)));
  font.setItalic(logFont.lfItalic != 0);
  font.setUnderline(logFont.lfUnderline != 0);
  font.setStrikeOut(logFont.lfStrikeOut != 0);
  return font;
}

} // namespace qt

void SetFaceName(LOGFONT &logFont, std::string_view face) {
  const std::size_t length = Utf8PrefixLength(face, LF_FACESIZE - 1);
  std::copy_n(face.data(), length, logFont.lfFaceName);
  logFont.lfFaceName[length] = '\0';
}

void SetFaceStandIns(std::string_view face, std::span<const std::string_view> standIns) {
  QStringList families;
  for (std::string_view standIn : standIns)
    families.append(qt::ToQString(standIn));
  const QString faceFamily = qt::ToQString(face);
  QFont::removeSubstitutions(faceFamily);
  QFont::insertSubstitutions(faceFamily, families);
}

const QFont &detail::DefaultFont() {
  static const QFont font = [] {
    QFont systemFont = QGuiApplication::font();
    systemFont.setPixelSize(12);
    return systemFont;
  }();
  return font;
}

} // namespace quorvel::fw
