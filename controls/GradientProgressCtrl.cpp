#include "controls/GradientProgressCtrl.h"

#include "controls/MemoryDC.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvel {

using namespace fw;

GradientProgressCtrl::GradientProgressCtrl() : m_crBack(GetSysColor(COLOR_BTNFACE)) {}

GradientProgressCtrl::~GradientProgressCtrl() = default;

int GradientProgressCtrl::SetRange(int lower, int upper) {
  m_nRangeLow = lower;
  m_nRangeHigh = upper;
  m_nPosition = lower;
  const auto previous = static_cast<int>(SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)));
  // The platform bar repaints only when its own range, cut to 16 bits, changes.
  Invalidate(FALSE);
  return previous;
}

int GradientProgressCtrl::SetPos(int pos) {
  m_nPosition = pos;
  const auto previous = static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(pos), 0));
  // Nor when its own position stays, as after SetRange put ours back to the lower bound.
  Invalidate(FALSE);
  return previous;
}

void GradientProgressCtrl::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  if (m_nPosition <= m_nRangeLow || m_nPosition > m_nRangeHigh) {
    CBrush back(m_crBack);
    dc.FillRect(&client, &back);
    return;
  }
  const BOOL vertical = (GetStyle() & PBS_VERTICAL) ? TRUE : FALSE;
  const int extent = vertical ? client.Height() : client.Width();
  // In double throughout: the differences of two ints need not fit an int.
  const double reached = double(m_nPosition) - double(m_nRangeLow);
  const double span = double(m_nRangeHigh) - double(m_nRangeLow);
  DrawGradient(&dc, client, static_cast<int>(reached / span * extent), vertical);
  if (!m_bShowPercentage)
    return;
  char text[32];
  std::snprintf(text, sizeof text, "%3.0f %%", reached * 100.0 / span);
  CFont font;
  const LOGFONT description = PercentageFont(GetDpi());
  font.CreateFontIndirect(&description);
  CFont *previousFont = dc.SelectObject(&font);
  dc.SetTextColor(m_crText);
  dc.SetBkMode(TRANSPARENT);
  dc.DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  dc.SelectObject(previousFont);
}

LOGFONT GradientProgressCtrl::PercentageFont(UINT dpi) {
  constexpr int kTextHeight = 12;
  LOGFONT description{};
  description.lfHeight = -ScaleToDpi(kTextHeight, dpi);
  description.lfWeight = FW_BOLD;
  description.lfCharSet = DEFAULT_CHARSET;
  // An outline face, which every size draws, as FaceFont takes.
  description.lfOutPrecision = OUT_TT_PRECIS;
  description.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  return description;
}

BOOL GradientProgressCtrl::OnEraseBkgnd(CDC *) { return TRUE; }

void GradientProgressCtrl::DrawGradient(CDC *pDC, const CRect &client, int filledLength,
                                        BOOL vertical) {
  MemoryDC memDC(pDC);
  const int extent = vertical ? client.Height() : client.Width();
  const int from[3] = {GetRValue(m_crGradientFrom), GetGValue(m_crGradientFrom),
                       GetBValue(m_crGradientFrom)};
  const int to[3] = {GetRValue(m_crGradientTo), GetGValue(m_crGradientTo),
                     GetBValue(m_crGradientTo)};
  int bands = 0;
  for (int channel = 0; channel < 3; ++channel)
    bands = std::max(bands, std::abs(to[channel] - from[channel]));

  // Rest of the bar from `edge` on, along the bar.
  auto fillBackFrom = [&](int edge) {
    CRect rest = vertical ? CRect{0, edge, client.right, client.bottom}
                          : CRect{edge, 0, client.right, client.bottom};
    CBrush back(m_crBack);
    memDC.FillRect(&rest, &back);
  };
  auto bandRect = [&](int start, int end) {
    return vertical ? CRect{0, start, client.right + 1, end}
                    : CRect{start, 0, end, client.bottom + 1};
  };

  if (bands == 0) {
    // One colour: no bands to shade, so the reached part is that colour.
    CBrush band(m_crGradientFrom);
    const CRect reached = bandRect(0, filledLength);
    memDC.FillRect(&reached, &band);
    fillBackFrom(filledLength);
    return;
  }

  const float bandSize = static_cast<float>(extent) / static_cast<float>(bands);
  float step[3];
  for (int channel = 0; channel < 3; ++channel)
    step[channel] = static_cast<float>(to[channel] - from[channel]) / static_cast<float>(bands);

  for (int i = 0; i < bands; ++i) {
    const int start = static_cast<int>(i * double(bandSize));
    // The float band size can fall short of the extent; the last band ends at the far edge.
    const int end =
        i == bands - 1 ? std::max(extent, start) : static_cast<int>((i + 1) * double(bandSize));
    int colour[3];
    for (int channel = 0; channel < 3; ++channel)
      colour[channel] = static_cast<int>(from[channel] + i * double(step[channel]));
    CBrush band(RGB(colour[0], colour[1], colour[2]));
    const CRect bandArea = bandRect(start, end);
    memDC.FillRect(&bandArea, &band);
    if (end > filledLength) {
      fillBackFrom(end);
      return;
    }
  }
}

} // namespace quorvel
