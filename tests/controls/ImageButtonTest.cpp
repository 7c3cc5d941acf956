#include "controls/ImageButton.h"
#include "controls/FaceFont.h"
#include "res/Resources.h"
#include "tests/controls/ControlWindow.h"
#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

namespace quorvel::test {
namespace {

using namespace fw;

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr UINT kCodedStrip = 900;
// Five frames of 20 x 12; each pixel says where it comes from: red is x, green 10 * y, blue the
// frame.
constexpr int kFrameWidth = 20;
constexpr int kFrameHeight = 12;

COLORREF Coded(int x, int y) { return RGB(x, 10 * y, 40 + 40 * (x / kFrameWidth)); }
int SourceX(COLORREF c) { return GetRValue(c); }
int SourceY(COLORREF c) { return GetGValue(c) / 10; }

class ButtonTest : public testing::Test {
protected:
  void SetUp() override {
    resources.AddBitmap(kCodedStrip, MakeBmp(5 * kFrameWidth + 3, kFrameHeight, [](int x, int y) {
                          // The three leftover columns are never read.
                          return x >= 5 * kFrameWidth ? kMagenta : Coded(x, y);
                        }));
  }

  void Open(int width, int height, const CString &caption) {
    window = std::make_unique<ControlWindow>(
        ControlClass::Button, 1, WS_CHILD | WS_TABSTOP | BS_DEFPUSHBUTTON, caption, width, height);
    ASSERT_TRUE(button.SubclassWindow(window->Handle()));
  }

  Pixels Draw(UINT state) {
    CRect client;
    button.GetClientRect(&client);
    Canvas request(client.Width(), client.Height(), RGB(1, 2, 3));
    DRAWITEMSTRUCT drawItem{ODT_BUTTON,         1,      0, ODA_DRAWENTIRE, state, button.m_hWnd,
                            request.dc().m_hDC, client, 0};
    button.DrawItem(&drawItem);
    return request.Read();
  }

  // `face` with `caption` written on it by hand in the button's font.
  static Pixels WithCaption(const Pixels &face, const CString &caption, COLORREF colour,
                            int shift) {
    Canvas expected(face.width, face.height, 0);
    for (int y = 0; y < face.height; ++y)
      for (int x = 0; x < face.width; ++x) {
        CBrush brush(face.At(x, y));
        const CRect pixel{x, y, x + 1, y + 1};
        expected.dc().FillRect(&pixel, &brush);
      }
    FaceFont font("宋体");
    expected.dc().SelectObject(&font);
    expected.dc().SetBkMode(TRANSPARENT);
    expected.dc().SetTextColor(colour);
    CRect textRect{shift, 0, face.width, face.height};
    expected.dc().DrawText(caption, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    Pixels result = expected.Read();
    expected.dc().SelectObject(static_cast<CFont *>(nullptr));
    return result;
  }

  Pixels DrawWithoutCaption(UINT state) {
    CString caption;
    button.GetWindowText(caption);
    button.SetWindowText("");
    Pixels face = Draw(state);
    button.SetWindowText(caption);
    return face;
  }

  TestResources resources;
  std::unique_ptr<ControlWindow> window;
  ImageButton button;
};

TEST_F(ButtonTest, AttachingMakesTheButtonOwnerDrawn) {
  Open(64, 21, "Split");
  EXPECT_EQ(button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
  EXPECT_EQ(button.GetStyle() & WS_TABSTOP, WS_TABSTOP);
}

TEST_F(ButtonTest, StatesPickTheirFramesOfTheProgramsStrip) {
  Open(64, 21, "");
  ASSERT_TRUE(button.SetStateImages(res::IDB_BUTTON_SKIN, 5, 5, 5, 5, 4));
  CBitmap strip;
  ASSERT_TRUE(strip.LoadBitmap(res::IDB_BUTTON_SKIN));
  CDC stripDC;
  stripDC.CreateCompatibleDC(nullptr);
  CBitmap *previous = stripDC.SelectObject(&strip);
  const struct {
    UINT state;
    int frameOrigin;
  } cases[] = {{0, 0},
               {ODS_FOCUS | ODS_SELECTED, 55},
               {ODS_DISABLED, 110},
               {ODS_FOCUS, 165},
               {ODS_SELECTED, 0}};
  for (const auto &c : cases) {
    const Pixels drawn = Draw(c.state);
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 5; ++x) {
        ASSERT_EQ(drawn.At(x, y), stripDC.GetPixel(c.frameOrigin + x, y)) << c.state;
        ASSERT_EQ(drawn.At(x, 20 - y), stripDC.GetPixel(c.frameOrigin + x, 21 - y)) << c.state;
      }
      for (int x = 0; x < 4; ++x)
        ASSERT_EQ(drawn.At(63 - x, y), stripDC.GetPixel(c.frameOrigin + 54 - x, y)) << c.state;
    }
  }
  stripDC.SelectObject(previous);
}

TEST_F(ButtonTest, ProgramStripsHoldNoTransparentPixel) {
  for (UINT id : {res::IDB_BROWSE_SKIN, res::IDB_BUTTON_SKIN}) {
    CBitmap strip;
    ASSERT_TRUE(strip.LoadBitmap(id));
    BITMAP info;
    strip.GetObject(&info);
    EXPECT_EQ(info.bmWidth, id == res::IDB_BROWSE_SKIN ? 156 : 275);
    EXPECT_EQ(info.bmHeight, id == res::IDB_BROWSE_SKIN ? 10 : 22);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap *previous = dc.SelectObject(&strip);
    const Pixels pixels = ReadPixels(dc, info.bmWidth, info.bmHeight);
    EXPECT_EQ(std::count(pixels.values.begin(), pixels.values.end(), kMagenta), 0) << id;
    dc.SelectObject(previous);
  }
}

TEST_F(ButtonTest, CornersAreCopiedAndEdgesStretched) {
  constexpr int kTop = 3, kBottom = 2, kLeft = 4, kRight = 5;
  Open(50, 30, "");
  ASSERT_TRUE(button.SetStateImages(kCodedStrip, 5, kTop, kBottom, kLeft, kRight));
  const Pixels drawn = Draw(0);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 50; ++x) {
      const COLORREF c = drawn.At(x, y);
      ASSERT_EQ(GetBValue(c), 40) << "frame 0 only";
      const int sx = SourceX(c), sy = SourceY(c);
      const bool left = x < kLeft, right = x >= 50 - kRight, top = y < kTop,
                 bottom = y >= 30 - kBottom;
      if (left)
        ASSERT_EQ(sx, x);
      else if (right)
        ASSERT_EQ(sx, kFrameWidth - (50 - x));
      else
        ASSERT_TRUE(sx >= kLeft && sx < kFrameWidth - kRight) << x;
      if (top)
        ASSERT_EQ(sy, y);
      else if (bottom)
        ASSERT_EQ(sy, kFrameHeight - (30 - y));
      else
        ASSERT_TRUE(sy >= kTop && sy < kFrameHeight - kBottom) << y;
    }
}

TEST_F(ButtonTest, TransparentPixelsLetWhatIsBeneathShowThrough) {
  resources.AddBitmap(kCodedStrip, MakeBmp(5 * kFrameWidth, kFrameHeight, [](int x, int y) {
                        const int frameX = x % kFrameWidth;
                        if (y == 0 && frameX == 0 && x / kFrameWidth != 2)
                          return kMagenta;
                        if (y == 0 && frameX == 1)
                          return RGB(254, 0, 255);
                        return Coded(x, y);
                      }));
  Open(30, 14, "");
  ASSERT_TRUE(button.SetStateImages(kCodedStrip, 5, 2, 2, 2, 2));
  EXPECT_EQ(Draw(0).At(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Draw(0).At(1, 0), RGB(254, 0, 255)) << "near magenta is painted";
  EXPECT_EQ(Draw(ODS_DISABLED).At(0, 0), Coded(2 * kFrameWidth, 0));
  EXPECT_EQ(Draw(ODS_FOCUS | ODS_SELECTED).At(0, 0), GetSysColor(COLOR_BTNFACE))
      << "magenta in both the pressed and the focused image";
}

TEST_F(ButtonTest, PressedImageIsDrawnOverTheFocusedOne) {
  resources.AddBitmap(kCodedStrip, MakeBmp(5 * kFrameWidth, kFrameHeight, [](int x, int y) {
                        // The pressed frame is transparent at its top-left pixel only.
                        return x == kFrameWidth && y == 0 ? kMagenta : Coded(x, y);
                      }));
  Open(30, 14, "");
  ASSERT_TRUE(button.SetStateImages(kCodedStrip, 5, 2, 2, 2, 2));
  const Pixels drawn = Draw(ODS_FOCUS | ODS_SELECTED);
  EXPECT_EQ(drawn.At(0, 0), Coded(3 * kFrameWidth, 0));
  EXPECT_EQ(drawn.At(1, 0), Coded(kFrameWidth + 1, 0));
}

TEST_F(ButtonTest, CaptionIsCentredAndShiftedWhenPressed) {
  Open(64, 21, "Split");
  button.SetStateImages(res::IDB_BUTTON_SKIN, 5, 5, 5, 5, 4);
  button.SetCaptionColor(RGB(240, 200, 90));
  EXPECT_EQ(Draw(0), WithCaption(DrawWithoutCaption(0), "Split", RGB(240, 200, 90), 0));
  const UINT pressed = ODS_FOCUS | ODS_SELECTED;
  const Pixels shifted = Draw(pressed);
  EXPECT_EQ(shifted, WithCaption(DrawWithoutCaption(pressed), "Split", RGB(240, 200, 90), 5));
  EXPECT_NE(shifted, WithCaption(DrawWithoutCaption(pressed), "Split", RGB(240, 200, 90), 0));
}

// The height of a line of caption text in `font`.
int LineHeight(FaceFont &font) {
  Canvas canvas(200, 100, 0);
  canvas.dc().SelectObject(&font);
  CRect area{0, 0, 200, 100};
  const int height = canvas.dc().DrawText("Split", &area, DT_SINGLELINE);
  canvas.dc().SelectObject(static_cast<CFont *>(nullptr));
  return height;
}

TEST(FaceFontTest, CaptionsAreAsLargeOnADisplayOfHigherDpi) {
  FaceFont font("宋体");
  const int at96 = LineHeight(font);
  FaceFont at144("宋体", 144);
  EXPECT_NEAR(LineHeight(at144), at96 * 3 / 2, 2);
  font.SetDpi(144);
  EXPECT_EQ(LineHeight(font), LineHeight(at144));
}

TEST_F(ButtonTest, DisabledCaptionIsGreyWhateverItsColour) {
  Open(64, 21, "&Join");
  button.SetStateImages(res::IDB_BUTTON_SKIN, 5, 5, 5, 5, 4);
  button.SetCaptionColor(RGB(0, 255, 0));
  const Pixels disabled = Draw(ODS_DISABLED);
  EXPECT_EQ(disabled,
            WithCaption(DrawWithoutCaption(ODS_DISABLED), "&Join", GetSysColor(COLOR_GRAYTEXT), 0));
  EXPECT_NE(disabled, DrawWithoutCaption(ODS_DISABLED)) << "a caption was drawn";
  const COLORREF grey = GetSysColor(COLOR_GRAYTEXT), face = GetSysColor(COLOR_BTNFACE);
  EXPECT_TRUE(GetRValue(grey) == GetGValue(grey) && GetGValue(grey) == GetBValue(grey));
  EXPECT_LT(GetGValue(grey) + 60, GetGValue(face)) << "readable on a light face";
}

TEST_F(ButtonTest, WithoutImagesTheFaceIsFlat) {
  Open(20, 10, "");
  EXPECT_FALSE(button.SetStateImages(4242, 5, 5, 5, 5, 4));
  EXPECT_FALSE(button.SetStateImages(res::IDB_BUTTON_SKIN, 0, 5, 5, 5, 4));
  const Pixels drawn = Draw(ODS_FOCUS);
  EXPECT_TRUE(std::all_of(drawn.values.begin(), drawn.values.end(),
                          [](COLORREF c) { return c == GetSysColor(COLOR_BTNFACE); }));
}

TEST_F(ButtonTest, ClientSmallerThanTheMarginsStaysInsideItsFrame) {
  Open(3, 3, "");
  ASSERT_TRUE(button.SetStateImages(kCodedStrip, 5, 5, 5, 5, 4));
  for (UINT state : {UINT{0}, UINT{ODS_DISABLED}}) {
    const Pixels drawn = Draw(state);
    const int frame = state ? 2 : 0;
    for (COLORREF c : drawn.values) {
      ASSERT_EQ(GetBValue(c), 40 + 40 * frame);
      ASSERT_GE(SourceX(c), frame * kFrameWidth);
      ASSERT_LT(SourceX(c), (frame + 1) * kFrameWidth);
    }
  }
}

TEST_F(ButtonTest, BordersOfANarrowButtonDoNotOverlap) {
  // The left and top borders keep their width; the right and bottom ones get what is left.
  Open(6, 5, "");
  ASSERT_TRUE(button.SetStateImages(kCodedStrip, 5, 3, 3, 4, 4));
  const Pixels drawn = Draw(0);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) {
      ASSERT_EQ(SourceX(drawn.At(x, y)), x < 4 ? x : kFrameWidth - (6 - x)) << x;
      ASSERT_EQ(SourceY(drawn.At(x, y)), y < 3 ? y : kFrameHeight - (5 - y)) << y;
    }
}

TEST_F(ButtonTest, PaintsThroughItsWindowAndRecolorsOnlyAtTheNextRepaint) {
  Open(64, 21, "Exit");
  button.SetStateImages(res::IDB_BUTTON_SKIN, 5, 5, 5, 5, 4);
  CClientDC window(&button);
  button.UpdateWindow();
  const Pixels black = ReadPixels(window, 64, 21);
  EXPECT_EQ(black, Draw(0));
  button.SetCaptionColor(RGB(255, 0, 0));
  EXPECT_EQ(ReadPixels(window, 64, 21), black);
  button.Invalidate();
  button.UpdateWindow();
  EXPECT_EQ(ReadPixels(window, 64, 21), Draw(0));
  EXPECT_NE(ReadPixels(window, 64, 21), black);

  button.EnableWindow(FALSE);
  button.UpdateWindow();
  EXPECT_EQ(ReadPixels(window, 64, 21), Draw(ODS_DISABLED));
  button.EnableWindow(TRUE);
  button.SetState(TRUE);
  button.UpdateWindow();
  EXPECT_EQ(ReadPixels(window, 64, 21), Draw(0)) << "pressed without the focus";
}

} // namespace
} // namespace quorvel::test
