#include "controls/FaceFont.h"

namespace quorvel {

using namespace fw;

namespace {

constexpr int kCaptionHeight = 12;

} // namespace

FaceFont::FaceFont(const CString &faceName, UINT dpi) {
  m_logFont.lfHeight = -ScaleToDpi(kCaptionHeight, dpi);
  m_logFont.lfWeight = FW_NORMAL;
  m_logFont.lfCharSet = DEFAULT_CHARSET;
  // An outline face, which every size draws; where the face is missing a bitmap stand-in would
  // keep one height at every DPI.
  m_logFont.lfOutPrecision = OUT_TT_PRECIS;
  m_logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  m_logFont.lfQuality = PROOF_QUALITY;
  m_logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  SetFaceName(m_logFont, faceName);
  CreateFontIndirect(&m_logFont);
}

void FaceFont::SetDpi(UINT dpi) {
  const LONG height = -ScaleToDpi(kCaptionHeight, dpi);
  if (height == m_logFont.lfHeight)
    return;
  m_logFont.lfHeight = height;
  DeleteObject();
  CreateFontIndirect(&m_logFont);
}

} // namespace quorvel
