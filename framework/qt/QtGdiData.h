#pragma once

// What stands behind the drawing objects in the Qt backend.
#include "framework/Gdi.h"

#include <QFont>
#include <QImage>
#include <QRect>

namespace quorvel::fw {
namespace qt {
class QtWindowPeer;

// The Qt font that a font description asks for.
QFont FontFromLogFont(const LOGFONT &logFont);
} // namespace qt

namespace detail {

// Pixels are held as 0xffRRGGBB; a monochrome bitmap holds only black (0) and white (1). A
// bitmap made for a screen of more pixels per point than one holds that many pixels per logical
// pixel: its size and every drawing on it are in logical pixels, so that the program draws the
// same at any scale and the screen shows it sharp.
struct BitmapData {
  QImage image;
  bool monochrome = false;
  qreal scale = 1;
  // The same picture drawn for a larger scale, which a copy onto such a bitmap takes instead.
  std::shared_ptr<BitmapData> finer;

  // The device rectangle that a logical one covers, with `origin` at device pixel (0, 0).
  QRect ToDevice(int x, int y, int width, int height, QPoint origin = {}) const;
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
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  int bkMode = OPAQUE;
  QPoint windowOrg;
  QRect deviceClip; // in device pixels, within the surface

  QRect ToDevice(int x, int y, int width, int height) const {
    return surface->ToDevice(x, y, width, height, windowOrg);
  }
};

struct DCAccess {
  // A context over a window's surface, clipped to `clip` (client coordinates, logical pixels).
  static void OpenOnWindow(CDC &dc, qt::QtWindowPeer &window, const QRect &clip);
  static const std::shared_ptr<BitmapData> &Data(const CBitmap &bitmap) { return bitmap.m_data; }
  static const std::shared_ptr<FontData> &Data(const CFont &font) { return font.m_data; }
  static DCData *Data(const CDC &dc) { return dc.m_hDC; }
};

QRgb ToRgb(COLORREF colour);
COLORREF ToColorRef(QRgb rgb);
// The font a context holds before any is selected.
const QFont &DefaultFont();

} // namespace detail
} // namespace quorvel::fw
