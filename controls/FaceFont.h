#pragma once

#include "framework/Gdi.h"

namespace quorvel {

// A caption font of fixed metrics in a given face, carrying the colour its text is drawn in: 12
// pixels high on a display of 96 dots per inch, and in proportion on one of another DPI.
class FaceFont : public fw::CFont {
public:
  explicit FaceFont(const fw::CString &faceName, UINT dpi = USER_DEFAULT_SCREEN_DPI);

  // Makes the font again for text shown at `dpi`.
  void SetDpi(UINT dpi);

  void SetColor(COLORREF color) { m_color = color; }
  COLORREF GetColor() const { return m_color; }

private:
  LOGFONT m_logFont{};
  COLORREF m_color = 0;
};

} // namespace quorvel
