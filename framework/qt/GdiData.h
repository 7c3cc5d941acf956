#pragma once

// What stands behind the drawing objects in the Qt backend.
#include "framework/Gdi.h"

#include <QFont>
#include <QImage>
#include <QRect>

namespace quorvel::fw {
namespace qt {
class QtWindowPeer;
}

namespace detail {

// Pixels are held as 0xffRRGGBB; a monochrome bitmap holds only black (0) and white (1).
struct BitmapData {
  QImage image;
  bool monochrome = false;
};

struct FontData {
  QFont font;
};

// What a context handle points at.
struct DCData {
  // What the context draws on: a window's surface or the bitmap selected into a memory context.
  std::shared_ptr<BitmapData> surface;
  bool memory = false;
  CBitmap firstBitmap;
  CBitmap *selectedBitmap = nullptr;
  CFont *selectedFont = nullptr;
  CBrush *selectedBrush = nullptr;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  int bkMode = OPAQUE;
  QPoint windowOrg;
  QRect deviceClip; // in device pixels, within the surface
};

struct DCAccess {
  // A context over a window's surface, clipped to `clip` (client coordinates).
  static void OpenOnWindow(CDC &dc, qt::QtWindowPeer &window, const QRect &clip);
  static const std::shared_ptr<BitmapData> &Data(const CBitmap &bitmap) { return bitmap.m_data; }
  static void SetData(CBitmap &bitmap, std::shared_ptr<BitmapData> data) {
    bitmap.m_data = std::move(data);
  }
  static const std::shared_ptr<FontData> &Data(const CFont &font) { return font.m_data; }
  static DCData *Data(const CDC &dc) { return dc.m_hDC; }
};

QRgb ToRgb(COLORREF colour);
COLORREF ToColorRef(QRgb rgb);
// The font a context holds before any is selected.
const QFont &DefaultFont();

} // namespace detail
} // namespace quorvel::fw
