#include "controls/MemoryDC.h"

namespace quorvel {

using namespace fw;

MemoryDC::MemoryDC(CDC *target) : m_pTargetDC(target), m_bOffscreen(!target->IsPrinting()) {
  if (!m_bOffscreen)
    return;
  m_pTargetDC->GetClipBox(&m_coveredRect);
  CreateCompatibleDC(m_pTargetDC);
  m_offscreenBitmap.CreateCompatibleBitmap(m_pTargetDC, m_coveredRect.Width(),
                                           m_coveredRect.Height());
  m_pPrevBitmap = SelectObject(&m_offscreenBitmap);
  SetWindowOrg(m_coveredRect.left, m_coveredRect.top);
}

MemoryDC::~MemoryDC() {
  if (!m_bOffscreen)
    return;
  m_pTargetDC->BitBlt(m_coveredRect.left, m_coveredRect.top, m_coveredRect.Width(),
                      m_coveredRect.Height(), this, m_coveredRect.left, m_coveredRect.top, SRCCOPY);
  SelectObject(m_pPrevBitmap);
}

} // namespace quorvel
