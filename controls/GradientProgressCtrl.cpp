#include "controls/GradientProgressCtrl.h"

#include "controls/MemoryDC.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace quorvel {

using namespace fw;

namespace {

// The bar's rectangles, along its length and across it; the length runs down a vertical bar.
struct BarAxis {
  const CRect &client;
  bool vertical;

  int Extent() const { return vertical ? client.Height() : client.Width(); }
  // From `start` to `end` along the bar, and a pixel beyond the client across it.
  CRect Band(int start, int end) const {
    return vertical ? CRect{0, start, client.right + 1, end}
                    : CRect{start, 0, end, client.bottom + 1};
  }
  // The rest of the bar from `edge` on.
  CRect RestFrom(int edge) const {
    return vertical ? CRect{0, edge, client.right, client.bottom}
                    : CRect{edge, 0, client.right, client.bottom};
  }
};

// Bands shading from one colour toward another over the bar's extent, one for each step of the
// channel that changes most. The band size and the steps are kept in single precision, and
// their products taken in double, so that every bar of a size shows the same bands.
class Shading {
public:
  Shading(COLORREF from, COLORREF to, int extent)
      : m_from{GetRValue(from), GetGValue(from), GetBValue(from)}, m_extent(extent) {
    const std::array<int, 3> target{GetRValue(to), GetGValue(to), GetBValue(to)};
    std::array<int, 3> difference{};
    for (std::size_t channel = 0; channel < 3; ++channel) {
      difference[channel] = target[channel] - m_from[channel];
      m_bands = std::max(m_bands, std::abs(difference[channel]));
    }
    if (m_bands == 0)
      return;
    m_bandSize = static_cast<float>(extent) / static_cast<float>(m_bands);
    for (std::size_t channel = 0; channel < 3; ++channel)
      m_step[channel] = static_cast<float>(difference[channel]) / static_cast<float>(m_bands);
  }

  int Bands() const { return m_bands; }
  int Start(int band) const { return static_cast<int>(band * double(m_bandSize)); }
  // The float band size can fall short of the extent; the last band ends at the far edge.
  int End(int band) const {
    return band == m_bands - 1 ? std::max(m_extent, Start(band)) : Start(band + 1);
  }
  COLORREF Colour(int band) const {
    std::array<int, 3> colour{};
    for (std::size_t channel = 0; channel < 3; ++channel)
      colour[channel] = static_cast<int>(m_from[channel] + band * double(m_step[channel]));
    return RGB(colour[0], colour[1], colour[2]);
  }

private:
  std::array<int, 3> m_from;
  int m_extent;
  int m_bands = 0;
  float m_bandSize = 0;
  std::array<float, 3> m_step{};
};

void Fill(CDC &dc, const CRect &area, COLORREF colour) {
  CBrush brush(colour);
  dc.FillRect(&area, &brush);
}

} // namespace

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
  const BarAxis bar{client, vertical != FALSE};
  const Shading shading(m_crGradientFrom, m_crGradientTo, bar.Extent());
  if (shading.Bands() == 0) {
    // One colour: no bands to shade, so the reached part is that colour.
    Fill(memDC, bar.Band(0, filledLength), m_crGradientFrom);
    Fill(memDC, bar.RestFrom(filledLength), m_crBack);
    return;
  }
  for (int i = 0; i < shading.Bands(); ++i) {
    const int end = shading.End(i);
    Fill(memDC, bar.Band(shading.Start(i), end), shading.Colour(i));
    // The bands stop with the one that holds the filled length.
    if (end > filledLength) {
      Fill(memDC, bar.RestFrom(end), m_crBack);
      return;
    }
  }
}

} // namespace quorvel
