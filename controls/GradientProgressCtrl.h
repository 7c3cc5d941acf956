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

  // The font the percentage is written in on a display of `dpi` dots per inch: bold, 12 pixels
  // high at 96 and as much larger as the display's DPI is.
  static LOGFONT PercentageFont(UINT dpi);

  int m_nRangeLow = 0;
  int m_nRangeHigh = 100;
  int m_nPosition = 0;
  COLORREF m_crGradientFrom = RGB(255, 0, 0);
  COLORREF m_crGradientTo = RGB(0, 0, 255);
  COLORREF m_crBack;
  COLORREF m_crText = RGB(255, 255, 255);
  BOOL m_bShowPercentage = TRUE;

protected:
  void OnPaint() override;
  BOOL OnEraseBkgnd(fw::CDC *dc) override;

private:
  void DrawGradient(fw::CDC *pDC, const fw::CRect &client, int filledLength, BOOL vertical);
};

} // namespace quorvel
