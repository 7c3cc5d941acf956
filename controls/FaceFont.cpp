#include "controls/FaceFont.h"

#include <algorithm>
#include <cstring>

namespace quorvel {

using namespace fw;

namespace {

// At most LF_FACESIZE - 1 bytes, never ending inside a UTF-8 sequence.
std::size_t FaceNameLength(const CString &faceName) {
  std::size_t length = std::min<std::size_t>(faceName.size(), LF_FACESIZE - 1);
  if (length == faceName.size())
    return length;
  while (length > 0 && (static_cast<unsigned char>(faceName[length]) & 0xC0) == 0x80)
    --length;
  return length;
}

} // namespace

FaceFont::FaceFont(const CString &faceName) {
  m_logFont.lfHeight = -12;
  m_logFont.lfWeight = FW_NORMAL;
  m_logFont.lfCharSet = DEFAULT_CHARSET;
  m_logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
  m_logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  m_logFont.lfQuality = PROOF_QUALITY;
  m_logFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::memcpy(m_logFont.lfFaceName, faceName.data(), FaceNameLength(faceName));
  CreateFontIndirect(&m_logFont);
}

} // namespace quorvel
