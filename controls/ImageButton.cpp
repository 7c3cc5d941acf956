#include "controls/ImageButton.h"

#include <algorithm>

namespace quorvel {

using namespace fw;

namespace {

// Borders that fit both the frame and the button, so that no piece has a negative size or reads
// outside its frame.
struct Borders {
  int top, bottom, left, right;
};

Borders FitBorders(int top, int bottom, int left, int right, int frameWidth, int frameHeight,
                   int width, int height) {
  const int across = std::min(frameWidth, width);
  const int down = std::min(frameHeight, height);
  Borders fitted{};
  fitted.left = std::clamp(left, 0, across);
  fitted.right = std::clamp(right, 0, across - fitted.left);
  fitted.top = std::clamp(top, 0, down);
  fitted.bottom = std::clamp(bottom, 0, down - fitted.top);
  return fitted;
}

class ClientDCHandle {
public:
  explicit ClientDCHandle(CWnd &window) : m_window(window), m_dc(window.GetDC()) {}
  ~ClientDCHandle() { m_window.ReleaseDC(m_dc); }
  ClientDCHandle(const ClientDCHandle &) = delete;
  ClientDCHandle &operator=(const ClientDCHandle &) = delete;
  CDC *Get() const { return m_dc; }

private:
  CWnd &m_window;
  CDC *m_dc;
};

// Puts a memory context's previous bitmap back however the build ends.
class BitmapSelection {
public:
  BitmapSelection(CDC &dc, CBitmap *bitmap) : m_dc(dc), m_previous(dc.SelectObject(bitmap)) {}
  ~BitmapSelection() { m_dc.SelectObject(m_previous); }
  BitmapSelection(const BitmapSelection &) = delete;
  BitmapSelection &operator=(const BitmapSelection &) = delete;

private:
  CDC &m_dc;
  CBitmap *m_previous;
};

} // namespace

ImageButton::ImageButton() : m_pFont(std::make_unique<FaceFont>("宋体")) {}

ImageButton::~ImageButton() = default;

bool ImageButton::SetStateImages(UINT resourceId, int frameCount, int marginTop, int marginBottom,
                                 int marginLeft, int marginRight) {
  m_marginTop = marginTop;
  m_marginBottom = marginBottom;
  m_marginLeft = marginLeft;
  m_marginRight = marginRight;
  m_imageResourceId = resourceId;
  m_imageFrameCount = frameCount;
  if (frameCount < 1)
    return false;
  CBitmap strip;
  if (!strip.LoadBitmap(resourceId & 0xFFFF))
    return false;
  return BuildStateImage(strip, m_normalImage, 0, frameCount) &&
         BuildStateImage(strip, m_pressedImage, 1, frameCount) &&
         BuildStateImage(strip, m_disabledImage, 2, frameCount) &&
         BuildStateImage(strip, m_focusedImage, 3, frameCount);
}

void ImageButton::SetCaptionColor(COLORREF color) {
  m_pFont->SetColor(color);
  UpdateWindow();
}

void ImageButton::PreSubclassWindow() {
  const LONG style = GetWindowLong(GWL_STYLE);
  SendMessage(BM_SETSTYLE, (static_cast<DWORD>(style) & 0xFF) | BS_OWNERDRAW, TRUE);
  m_pFont->SetDpi(GetDpi());
}

BOOL ImageButton::OnEraseBkgnd(CDC *) { return FALSE; }

void ImageButton::OnDpiChangedAfterParent() {
  m_pFont->SetDpi(GetDpi());
  if (m_imagesReady)
    SetStateImages(m_imageResourceId, m_imageFrameCount, m_marginTop, m_marginBottom, m_marginLeft,
                   m_marginRight);
  Invalidate(FALSE);
}

bool ImageButton::BuildStateImage(CBitmap &strip, CBitmap &image, int frame, int frameCount) {
  ClientDCHandle windowDC(*this);
  if (!windowDC.Get())
    return false;
  CDC sourceDC;
  CDC targetDC;
  sourceDC.CreateCompatibleDC(windowDC.Get());
  targetDC.CreateCompatibleDC(windowDC.Get());
  BitmapSelection stripSelection(sourceDC, &strip);

  BITMAP stripInfo{};
  strip.GetObject(&stripInfo);
  const int frameWidth = stripInfo.bmWidth / frameCount;
  const int sx = frame * frameWidth;
  const int sh = stripInfo.bmHeight;
  CRect client;
  GetClientRect(&client);
  const int w = client.Width();
  const int h = client.Height();

  image.DeleteObject();
  image.CreateCompatibleBitmap(windowDC.Get(), w, h);
  BitmapSelection imageSelection(targetDC, &image);

  const auto [t, b, l, r] =
      FitBorders(m_marginTop, m_marginBottom, m_marginLeft, m_marginRight, frameWidth, sh, w, h);
  if (!targetDC.BitBlt(0, 0, l, t, &sourceDC, sx, 0, SRCCOPY) ||
      !targetDC.BitBlt(0, h - b, l, b, &sourceDC, sx, sh - b, SRCCOPY) ||
      !targetDC.BitBlt(w - r, 0, r, t, &sourceDC, sx + frameWidth - r, 0, SRCCOPY) ||
      !targetDC.BitBlt(w - r, h - b, r, b, &sourceDC, sx + frameWidth - r, sh - b, SRCCOPY)) {
    // Half made, it would be drawn as if whole.
    image.DeleteObject();
    return false;
  }
  const int innerWidth = w - l - r;
  const int innerHeight = h - t - b;
  const int sourceInnerWidth = frameWidth - l - r;
  const int sourceInnerHeight = sh - t - b;
  targetDC.StretchBlt(l, t, innerWidth, innerHeight, &sourceDC, sx + l, t, sourceInnerWidth,
                      sourceInnerHeight, SRCCOPY);
  targetDC.StretchBlt(l, 0, innerWidth, t, &sourceDC, sx + l, 0, sourceInnerWidth, t, SRCCOPY);
  targetDC.StretchBlt(l, h - b, innerWidth, b, &sourceDC, sx + l, sh - b, sourceInnerWidth, b,
                      SRCCOPY);
  targetDC.StretchBlt(0, t, l, innerHeight, &sourceDC, sx, t, l, sourceInnerHeight, SRCCOPY);
  targetDC.StretchBlt(w - r, t, r, innerHeight, &sourceDC, sx + frameWidth - r, t, r,
                      sourceInnerHeight, SRCCOPY);
  m_imagesReady = 1;
  return true;
}

void ImageButton::DrawStateImage(CDC *target, CBitmap &image) {
  // An image a failed build left unmade shows the bare face.
  if (!m_imagesReady || image.IsNull())
    return;
  CRect client;
  GetClientRect(&client);
  const int w = client.Width();
  const int h = client.Height();
  const COLORREF previousBack = target->SetBkColor(RGB(255, 255, 255));
  const COLORREF previousText = target->SetTextColor(RGB(0, 0, 0));

  CDC imageDC;
  CDC maskDC;
  imageDC.CreateCompatibleDC(target);
  maskDC.CreateCompatibleDC(target);
  CBitmap mask;
  mask.CreateBitmap(w, h, 1, 1, nullptr);
  {
    BitmapSelection imageSelection(imageDC, &image);
    BitmapSelection maskSelection(maskDC, &mask);
    imageDC.SetBkColor(m_transparentColor);
    maskDC.BitBlt(0, 0, w, h, &imageDC, 0, 0, SRCCOPY);
    target->BitBlt(0, 0, w, h, &imageDC, 0, 0, SRCINVERT);
    target->BitBlt(0, 0, w, h, &maskDC, 0, 0, SRCAND);
    target->BitBlt(0, 0, w, h, &imageDC, 0, 0, SRCINVERT);
  }
  target->SetBkColor(previousBack);
  target->SetTextColor(previousText);
}

void ImageButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
  CRect client;
  GetClientRect(&client);
  CRect textRect = client;
  CHandleDC request(lpDrawItemStruct->hDC);
  CDC *requestDC = &request;

  CDC surface;
  surface.CreateCompatibleDC(requestDC);
  CBitmap surfaceBitmap;
  surfaceBitmap.CreateCompatibleBitmap(requestDC, client.Width(), client.Height());
  CBitmap *previousBitmap = surface.SelectObject(&surfaceBitmap);

  CBrush face(GetSysColor(COLOR_BTNFACE));
  surface.FillRect(&client, &face);

  const UINT state = lpDrawItemStruct->itemState;
  const bool disabled = (state & ODS_DISABLED) != 0;
  if (state & ODS_FOCUS) {
    DrawStateImage(&surface, m_focusedImage);
    if (state & ODS_SELECTED) {
      DrawStateImage(&surface, m_pressedImage);
      textRect.left += 5;
    }
  } else if (disabled) {
    DrawStateImage(&surface, m_disabledImage);
  } else {
    DrawStateImage(&surface, m_normalImage);
  }

  const int previousMode = surface.SetBkMode(TRANSPARENT);
  CFont *previousFont = surface.SelectObject(m_pFont.get());
  const COLORREF previousColor =
      surface.SetTextColor(disabled ? GetSysColor(COLOR_GRAYTEXT) : m_pFont->GetColor());
  CString caption;
  GetWindowText(caption);
  surface.DrawText(caption, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  surface.SetTextColor(previousColor);
  surface.SelectObject(previousFont);
  surface.SetBkMode(previousMode);

  requestDC->BitBlt(0, 0, client.Width(), client.Height(), &surface, 0, 0, SRCCOPY);
  surface.SelectObject(previousBitmap);
}

} // namespace quorvel
