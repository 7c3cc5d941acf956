#include "controls/GradientProgressCtrl.h"
#include "res/Look.h"
#include "tests/controls/ControlWindow.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

namespace quorvel::test {
namespace {

using namespace fw;

constexpr COLORREF kBack = res::ColourRef(res::kDialogColour);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class BarTest : public testing::Test {
protected:
  void Open(int width, int height, DWORD style = PBS_SMOOTH) {
    window = std::make_unique<ControlWindow>(ControlClass::Progress, 1034, WS_CHILD | style, "",
                                             width, height);
    ASSERT_TRUE(bar.SubclassWindow(window->Handle()));
    bar.m_crBack = kBack;
  }

  Pixels Paint() {
    bar.UpdateWindow();
    CRect client;
    bar.GetClientRect(&client);
    CClientDC dc(&bar);
    return ReadPixels(dc, client.Width(), client.Height());
  }

  // What the bar shows at `pos` with the text `text` written on its bands by hand.
  Pixels PaintWithText(int pos, const char *text) {
    bar.m_bShowPercentage = FALSE;
    bar.SetPos(pos);
    const Pixels bands = Paint();
    Canvas expected(bands.width, bands.height, 0);
    for (int y = 0; y < bands.height; ++y)
      for (int x = 0; x < bands.width; ++x) {
        CBrush brush(bands.At(x, y));
        const CRect pixel{x, y, x + 1, y + 1};
        expected.dc().FillRect(&pixel, &brush);
      }
    CFont font;
    const LOGFONT description = GradientProgressCtrl::PercentageFont(USER_DEFAULT_SCREEN_DPI);
    font.CreateFontIndirect(&description);
    expected.dc().SelectObject(&font);
    expected.dc().SetTextColor(kWhite);
    expected.dc().SetBkMode(TRANSPARENT);
    CRect client{0, 0, bands.width, bands.height};
    expected.dc().DrawText(text, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Pixels result = expected.Read();
    expected.dc().SelectObject(static_cast<CFont *>(nullptr));
    return result;
  }

  static bool OnlyBackground(const Pixels &pixels) {
    return std::all_of(pixels.values.begin(), pixels.values.end(),
                       [](COLORREF c) { return c == kBack; });
  }
  static int CountColour(const Pixels &pixels, COLORREF colour) {
    return static_cast<int>(std::count(pixels.values.begin(), pixels.values.end(), colour));
  }

  std::unique_ptr<ControlWindow> window;
  GradientProgressCtrl bar;
};

TEST_F(BarTest, PositionsOutsideTheRangeShowOnlyTheBackground) {
  Open(138, 16);
  EXPECT_TRUE(OnlyBackground(Paint())) << "fresh bar: position at the lower bound";
  bar.SetRange(1, 500);
  for (int pos : {-5, 0, 1, 501, 100000}) {
    bar.SetPos(pos);
    EXPECT_EQ(bar.m_nPosition, pos) << "stored unchanged";
    EXPECT_TRUE(OnlyBackground(Paint())) << pos;
  }
  bar.SetRange(7, 7);
  bar.SetPos(7);
  EXPECT_TRUE(OnlyBackground(Paint())) << "equal bounds";
}

TEST_F(BarTest, SetRangeSendsThePositionBackToTheLowerBound) {
  Open(138, 16);
  bar.SetRange(1, 500);
  bar.SetPos(300);
  EXPECT_FALSE(OnlyBackground(Paint()));
  bar.SetRange(1, 500);
  EXPECT_EQ(bar.m_nPosition, 1);
  EXPECT_TRUE(OnlyBackground(Paint())) << "the platform bar keeps the same range";
  bar.SetPos(300);
  EXPECT_FALSE(OnlyBackground(Paint())) << "the platform bar is at 300 already";
}

TEST_F(BarTest, FullBarHasNoBackgroundAndReadsOneHundredPercent) {
  Open(138, 16);
  bar.SetRange(1, 500);
  const Pixels expected = PaintWithText(500, "100 %");
  EXPECT_EQ(CountColour(expected, kBack), 0);
  bar.m_bShowPercentage = TRUE;
  bar.Invalidate();
  const Pixels painted = Paint();
  EXPECT_EQ(painted, expected);
  EXPECT_GT(CountColour(painted, kWhite), 0);
}

TEST_F(BarTest, JustAboveTheLowerBoundShowsTheFirstBandAndZeroPercent) {
  // 255 bands need a bar at least as long for the first one to be a pixel wide.
  Open(300, 16);
  bar.SetRange(0, 10000);
  const Pixels expected = PaintWithText(1, "  0 %");
  bar.m_bShowPercentage = TRUE;
  bar.Invalidate();
  const Pixels painted = Paint();
  EXPECT_EQ(painted, expected);
  EXPECT_EQ(painted.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(painted.At(0, 15), RGB(255, 0, 0));
  EXPECT_EQ(painted.At(299, 0), kBack);
  EXPECT_NE(painted, PaintWithText(1, "0 %")) << "the text keeps its two leading blanks";
}

TEST_F(BarTest, BandsShadeFromRedTowardBlue) {
  Open(510, 4);
  bar.m_bShowPercentage = FALSE;
  bar.SetRange(0, 10);
  bar.SetPos(10);
  const Pixels painted = Paint();
  for (int band = 0; band < 255; ++band) {
    ASSERT_EQ(painted.At(2 * band, 1), RGB(255 - band, 0, band)) << band;
    ASSERT_EQ(painted.At(2 * band + 1, 3), RGB(255 - band, 0, band)) << band;
  }
}

TEST_F(BarTest, FilledLengthStopsAtTheFarEdgeOfItsBand) {
  Open(138, 16);
  bar.m_bShowPercentage = FALSE;
  bar.SetRange(0, 100);
  bar.SetPos(50); // 69 pixels filled
  const Pixels painted = Paint();
  int lastBand = 0;
  while (lastBand < 138 && painted.At(lastBand, 8) != kBack)
    ++lastBand;
  EXPECT_GE(lastBand, 69);
  EXPECT_LE(lastBand, 71);
  for (int x = lastBand; x < 138; ++x)
    ASSERT_EQ(painted.At(x, 8), kBack) << x;
}

TEST_F(BarTest, VerticalBarFillsFromTheTop) {
  Open(16, 138, PBS_SMOOTH | PBS_VERTICAL);
  bar.m_bShowPercentage = FALSE;
  bar.SetRange(0, 100);
  bar.SetPos(25);
  const Pixels painted = Paint();
  EXPECT_EQ(painted.At(0, 0), RGB(254, 0, 1)) << "band 0 is empty on a bar this short";
  EXPECT_EQ(painted.At(15, 137), kBack);
  for (int y = 0; y < 30; ++y)
    ASSERT_EQ(painted.At(0, y), painted.At(15, y)) << "bands run across the bar";
}

TEST_F(BarTest, LongBarAtFullLeavesNoLineUncovered) {
  // 702 / 255 in single precision is a little short: the bands alone would end at 701.
  Open(702, 4);
  bar.m_bShowPercentage = FALSE;
  bar.SetRange(0, 10);
  bar.SetPos(10);
  const Pixels painted = Paint();
  EXPECT_EQ(CountColour(painted, kBack), 0);
  EXPECT_EQ(painted.At(701, 0), RGB(1, 0, 254));
}

TEST_F(BarTest, PartialRepaintGivesTheSamePixelsAsAFullOne) {
  Open(138, 16);
  bar.SetRange(1, 500);
  bar.SetPos(260);
  const Pixels full = Paint();
  // Something else covered part of the bar; only that part is repainted.
  CClientDC dc(&bar);
  CBrush black(RGB(0, 0, 0));
  const CRect damaged{40, 2, 100, 14};
  dc.FillRect(&damaged, &black);
  bar.InvalidateRect(&damaged);
  EXPECT_EQ(Paint(), full);
}

TEST_F(BarTest, EqualColoursAndExtremeRangesDivideByNothing) {
  Open(138, 16);
  bar.m_bShowPercentage = FALSE;
  bar.m_crGradientTo = bar.m_crGradientFrom;
  bar.SetRange(0, 2);
  bar.SetPos(1);
  const Pixels painted = Paint();
  EXPECT_EQ(painted.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(painted.At(68, 8), RGB(255, 0, 0));
  EXPECT_EQ(painted.At(69, 8), kBack);

  bar.m_crGradientTo = RGB(0, 0, 255);
  bar.SetRange(INT_MIN, INT_MAX);
  bar.SetPos(0);
  const Pixels half = Paint();
  EXPECT_NE(half.At(60, 8), kBack);
  EXPECT_EQ(half.At(80, 8), kBack);
}

} // namespace
} // namespace quorvel::test
