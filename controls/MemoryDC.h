#pragma once

#include "framework/Gdi.h"

namespace quorvel {

// Gathers one painting pass in an off-screen bitmap the size of the target's clip box and copies
// it onto the target in one blit when destroyed. Drawing uses the target's logical coordinates.
class MemoryDC : public fw::CDC {
public:
  explicit MemoryDC(fw::CDC *target);
  ~MemoryDC() override;

private:
  fw::CBitmap m_offscreenBitmap;
  fw::CBitmap *m_pPrevBitmap = nullptr;
  fw::CDC *m_pTargetDC;
  fw::CRect m_coveredRect;
  BOOL m_bOffscreen;
};

} // namespace quorvel
