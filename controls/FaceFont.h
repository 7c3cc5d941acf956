#pragma once

#include "framework/Gdi.h"

namespace quorvel {

// A caption font of fixed metrics in a given face, carrying the colour its text is drawn in.
class FaceFont : public fw::CFont {
public:
  explicit FaceFont(const fw::CString &faceName);

  void SetColor(COLORREF color) { m_color = color; }
  COLORREF GetColor() const { return m_color; }

private:
  LOGFONT m_logFont{};
  COLORREF m_color = 0;
};

} // namespace quorvel
