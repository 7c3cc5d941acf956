#include "controls/MemoryDC.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "base/win32/Utf16.h"
#endif

namespace quorvel::test {
namespace {

using namespace fw;

constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kRed = RGB(220, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 230);

std::string FaceName(const LOGFONT &font) {
#ifdef _WIN32
  return quorvel::win32::Utf8FromUtf16(font.lfFaceName);
#else
  return font.lfFaceName;
#endif
}

TEST(FaceNames, ALongFaceIsCutBeforeTheCharacterThatWouldNotFit) {
  LOGFONT font;
  // Four bytes in UTF-8, two units in UTF-16: a cut on either platform.
  SetFaceName(font, std::string(30, 'a') + "𠀀");
  EXPECT_EQ(FaceName(font), std::string(30, 'a'));
  SetFaceName(font, "宋体");
  EXPECT_EQ(FaceName(font), "宋体");
}

TEST(Bitmaps, AResourceLoadsWithItsPixelsInPlace) {
  TestResources resources;
  resources.AddBitmap(901, MakeBmp(5, 3, [](int x, int y) { return RGB(40 * x, 80 * y, 7); }));
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(901));
  BITMAP info;
  ASSERT_GT(bitmap.GetObject(&info), 0);
  EXPECT_EQ(info.bmWidth, 5);
  EXPECT_EQ(info.bmHeight, 3);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap *previous = dc.SelectObject(&bitmap);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      ASSERT_EQ(dc.GetPixel(x, y), RGB(40 * x, 80 * y, 7)) << x << "," << y;
  EXPECT_EQ(dc.SelectObject(previous), &bitmap);
  CBitmap missing;
  EXPECT_FALSE(missing.LoadBitmap(4242));
}

TEST(Blits, MonochromeConversionFollowsTheBackgroundAndTextColours) {
  Canvas colour(4, 1, kRed);
  const CRect second{1, 0, 2, 1};
  CBrush blue(kBlue);
  colour.dc().FillRect(&second, &blue);

  CDC maskDC;
  maskDC.CreateCompatibleDC(&colour.dc());
  CBitmap mask;
  mask.CreateBitmap(4, 1, 1, 1, nullptr);
  CBitmap *previous = maskDC.SelectObject(&mask);
  colour.dc().SetBkColor(kBlue);
  maskDC.BitBlt(0, 0, 4, 1, &colour.dc(), 0, 0, SRCCOPY);
  // Monochrome pixels read back as black (0) and white (1).
  EXPECT_EQ(maskDC.GetPixel(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(maskDC.GetPixel(1, 0), RGB(255, 255, 255));

  Canvas target(4, 1, kGreen);
  target.dc().SetBkColor(RGB(10, 20, 30));
  target.dc().SetTextColor(RGB(40, 50, 60));
  target.dc().BitBlt(0, 0, 4, 1, &maskDC, 0, 0, SRCCOPY);
  EXPECT_EQ(target.dc().GetPixel(0, 0), RGB(40, 50, 60));
  EXPECT_EQ(target.dc().GetPixel(1, 0), RGB(10, 20, 30));
  maskDC.SelectObject(previous);
}

TEST(Blits, InvertAndAndCombineWithTheTarget) {
  Canvas source(1, 1, RGB(0x0F, 0xF0, 0x33));
  Canvas target(1, 1, RGB(0xFF, 0x0F, 0x30));
  target.dc().BitBlt(0, 0, 1, 1, &source.dc(), 0, 0, SRCINVERT);
  EXPECT_EQ(target.dc().GetPixel(0, 0), RGB(0xF0, 0xFF, 0x03));
  target.dc().BitBlt(0, 0, 1, 1, &source.dc(), 0, 0, SRCAND);
  EXPECT_EQ(target.dc().GetPixel(0, 0), RGB(0x00, 0xF0, 0x03));
}

TEST(Blits, ReadsNothingOutsideTheSourceAndDrawsNothingForEmptyExtents) {
  Canvas source(2, 2, kRed);
  Canvas target(6, 6, kGreen);
  EXPECT_TRUE(target.dc().BitBlt(0, 0, 6, 6, &source.dc(), -1, -1, SRCCOPY));
  EXPECT_EQ(target.dc().GetPixel(0, 0), kGreen);
  EXPECT_EQ(target.dc().GetPixel(1, 1), kRed);
  EXPECT_EQ(target.dc().GetPixel(2, 2), kRed);
  EXPECT_EQ(target.dc().GetPixel(3, 3), kGreen);
  EXPECT_FALSE(target.dc().StretchBlt(0, 0, -3, 2, &source.dc(), 0, 0, 2, 2, SRCCOPY));
  EXPECT_FALSE(target.dc().StretchBlt(0, 0, 3, 2, &source.dc(), 0, 0, 0, 2, SRCCOPY));
  EXPECT_EQ(target.dc().GetPixel(0, 0), kGreen);
}

TEST(Blits, AShrinkingStretchKeepsTheDarkOfThePixelsItMerges) {
  // Without a stretch mode set, merged pixels are combined with AND, as GDI does by default.
  Canvas source(4, 1, RGB(0xF0, 0x3C, 0xFF));
  const CRect second{1, 0, 2, 1};
  CBrush brush(RGB(0x3C, 0xF0, 0x0F));
  source.dc().FillRect(&second, &brush);
  Canvas target(2, 1, kGreen);
  EXPECT_TRUE(target.dc().StretchBlt(0, 0, 2, 1, &source.dc(), 0, 0, 4, 1, SRCCOPY));
  EXPECT_EQ(target.dc().GetPixel(0, 0), RGB(0x30, 0x30, 0x0F));
  EXPECT_EQ(target.dc().GetPixel(1, 0), RGB(0xF0, 0x3C, 0xFF));
}

TEST(Blits, AnEnlargingStretchTakesThePixelUnderEachCentre) {
  Canvas source(3, 1, RGB(10, 0, 0));
  const CRect second{1, 0, 2, 1}, third{2, 0, 3, 1};
  CBrush twenty(RGB(20, 0, 0)), thirty(RGB(30, 0, 0));
  source.dc().FillRect(&second, &twenty);
  source.dc().FillRect(&third, &thirty);
  Canvas target(8, 1, kGreen);
  EXPECT_TRUE(target.dc().StretchBlt(0, 0, 8, 1, &source.dc(), 0, 0, 3, 1, SRCCOPY));
  const int expected[8] = {10, 10, 10, 20, 20, 30, 30, 30};
  for (int x = 0; x < 8; ++x)
    EXPECT_EQ(target.dc().GetPixel(x, 0), RGB(expected[x], 0, 0)) << x;
}

class MemoryDCTest : public testing::Test {
protected:
  static constexpr CRect kCovered{10, 5, 30, 15};
  Canvas target{40, 20, kGreen};
};

TEST_F(MemoryDCTest, OnlyTheCoveredRectangleReachesTheTarget) {
  target.dc().IntersectClipRect(kCovered);
  {
    MemoryDC memDC(&target.dc());
    const CRect everything{0, 0, 40, 20};
    CBrush red(kRed);
    memDC.FillRect(&everything, &red);
    // Logical coordinates are the target's: this is the covered rectangle's first pixel.
    const CRect corner{10, 5, 11, 6};
    CBrush blue(kBlue);
    memDC.FillRect(&corner, &blue);
    EXPECT_EQ(target.dc().GetPixel(15, 10), kGreen) << "nothing reaches the target before the copy";
  }
  const Pixels result = target.Read();
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool covered =
          x >= kCovered.left && x < kCovered.right && y >= kCovered.top && y < kCovered.bottom;
      const COLORREF expected = (x == 10 && y == 5) ? kBlue : covered ? kRed : kGreen;
      ASSERT_EQ(result.At(x, y), expected) << x << "," << y;
    }
}

TEST_F(MemoryDCTest, AnEmptyClipBoxChangesNothing) {
  target.dc().IntersectClipRect(CRect{0, 0, 0, 0});
  const Pixels before = target.Read();
  {
    MemoryDC memDC(&target.dc());
    const CRect everything{0, 0, 40, 20};
    CBrush red(kRed);
    memDC.FillRect(&everything, &red);
  }
  EXPECT_EQ(target.Read(), before);
}

} // namespace
} // namespace quorvel::test
