#pragma once

// What stands behind the drawing objects in the Win32 backend: GDI's own objects, deleted with
// the framework object that holds them.
#include "framework/Gdi.h"

namespace quorvel::fw::detail {

struct BitmapData {
  HBITMAP handle = nullptr;
  // False for what the system owns, such as the bitmap a memory context starts with.
  bool owned = true;
  ~BitmapData();
};

struct FontData {
  HFONT handle = nullptr;
  bool owned = true;
  ~FontData();
};

struct DCAccess {
  static HBITMAP Handle(const CBitmap &bitmap) {
    return bitmap.m_data ? bitmap.m_data->handle : nullptr;
  }
  static HFONT Handle(const CFont &font) { return font.m_data ? font.m_data->handle : nullptr; }
  // Makes `object` hold `handle` in place of what it held.
  static void Adopt(CBitmap &bitmap, HBITMAP handle, bool owned);
  static void Adopt(CFont &font, HFONT handle, bool owned);
};

} // namespace quorvel::fw::detail
