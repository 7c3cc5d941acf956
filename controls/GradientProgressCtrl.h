#pragma once

#include "framework/Wnd.h"

namespace quorvel {

// A progress bar painted as colour bands shading along the bar, with the reached share written
// across it. Keeps its own range and position for painting and forwards both to the platform bar,
// which repaints after each change.
class GradientProgressCtrl : public fw::CProgressCtrl {
public:
  GradientProgressCtrl();
  ~GradientProgressCtrl() override;

  int SetRange(int lower, int upper);
  int SetPos(int pos);

  int m_nRangeLow = 0;
  int m_nRangeHigh = 100;
  int m_nPosition = 0;
  fw::COLORREF m_crGradientFrom = fw::RGB(255, 0, 0);
  fw::COLORREF m_crGradientTo = fw::RGB(0, 0, 255);
  fw::COLORREF m_crBack;
  fw::COLORREF m_crText = fw::RGB(255, 255, 255);
  fw::BOOL m_bShowPercentage = fw::TRUE;

protected:
  void OnPaint() override;
  fw::BOOL OnEraseBkgnd(fw::CDC *dc) override;

private:
  void DrawGradient(fw::CDC *pDC, const fw::CRect &client, int filledLength, fw::BOOL vertical);
};

} // namespace quorvel
