#include "controls/FaceFont.h"

namespace quorvel {

using namespace fw;

FaceFont::FaceFont(const CString &faceName) {
  m_logFont.lfHeight = -12;
  m_logFont.lfWeight = FW_NORMAL;
  m_logFont.lfCharSet = DEFAULT_CHARSET;
  m_logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  m_logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  m_logFont.lfQuality = PROOF_QUALITY;
  m_logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  SetFaceName(m_logFont, faceName);
  CreateFontIndirect(&m_logFont);
}

} // namespace quorvel
