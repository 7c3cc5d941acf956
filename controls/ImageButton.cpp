#include "controls/ImageButton.h"

#include <algorithm>

namespace quorvel {

using namespace fw;

namespace {

// The borders of a frame that keep their size when the frame is fitted to a button.
struct Borders {
  int top, bottom, left, right;
};

// A frame of the strip and the button it is fitted to in nine pieces: the frame begins at sx and
// is fw x sh, the button is w x h, and the borders t, b, l and r keep their size.
struct NinePieces {
  int sx, fw, sh;
  int w, h;
  int t, b, l, r;

  // The borders as near `wanted` as fit both the frame and the button, so that no piece has a
  // negative size or reads outside its frame.
  void FitBorders(Borders wanted) {
    const int across = std::min(fw, w);
    const int down = std::min(sh, h);
    l = std::clamp(wanted.left, 0, across);
    r = std::clamp(wanted.right, 0, across - l);
    t = std::clamp(wanted.top, 0, down);
    b = std::clamp(wanted.bottom, 0, down - t);
  }

  // The four corners, at their own size; false as soon as one cannot be copied.
  bool CopyCorners(CDC &target, CDC &source) const {
    return target.BitBlt(0, 0, l, t, &source, sx, 0, SRCCOPY) &&
           target.BitBlt(0, h - b, l, b, &source, sx, sh - b, SRCCOPY) &&
           target.BitBlt(w - r, 0, r, t, &source, sx + fw - r, 0, SRCCOPY) &&
           target.BitBlt(w - r, h - b, r, b, &source, sx + fw - r, sh - b, SRCCOPY);
  }

  // The centre, stretched both ways, then the four edges, each stretched along its length only.
  void StretchCentreAndEdges(CDC &target, CDC &source) const {
    const int innerWidth = w - l - r;
    const int innerHeight = h - t - b;
    const int sourceInnerWidth = fw - l - r;
    const int sourceInnerHeight = sh - t - b;
    target.StretchBlt(l, t, innerWidth, innerHeight, &source, sx + l, t, sourceInnerWidth,
                      sourceInnerHeight, SRCCOPY);
    target.StretchBlt(l, 0, innerWidth, t, &source, sx + l, 0, sourceInnerWidth, t, SRCCOPY);
    target.StretchBlt(l, h - b, innerWidth, b, &source, sx + l, sh - b, sourceInnerWidth, b,
                      SRCCOPY);
    target.StretchBlt(0, t, l, innerHeight, &source, sx, t, l, sourceInnerHeight, SRCCOPY);
    target.StretchBlt(w - r, t, r, innerHeight, &source, sx + fw - r, t, r, sourceInnerHeight,
                      SRCCOPY);
  }
};

// Frame `frame` of `strip` cut into `frameCount`, fitted to a button of the client's size.
NinePieces CutFrame(const CBitmap &strip, int frame, int frameCount, const CRect &client,
                    Borders margins) {
  BITMAP stripInfo{};
  strip.GetObject(&stripInfo);
  NinePieces pieces{};
  pieces.fw = stripInfo.bmWidth / frameCount;
  pieces.sx = frame * pieces.fw;
  pieces.sh = stripInfo.bmHeight;
  pieces.w = client.Width();
  pieces.h = client.Height();
  pieces.FitBorders(margins);
  return pieces;
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
  CRect client;
  GetClientRect(&client);
  const NinePieces pieces = CutFrame(strip, frame, frameCount, client,
                                     {m_marginTop, m_marginBottom, m_marginLeft, m_marginRight});

  image.DeleteObject();
  image.CreateCompatibleBitmap(windowDC.Get(), pieces.w, pieces.h);
  BitmapSelection imageSelection(targetDC, &image);
  if (!pieces.CopyCorners(targetDC, sourceDC)) {
    // Half made, it would be drawn as if whole.
    image.DeleteObject();
    return false;
  }
  pieces.StretchCentreAndEdges(targetDC, sourceDC);
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
  DrawStatePictures(surface, state, textRect);
  DrawCaption(surface, textRect, (state & ODS_DISABLED) != 0);

  requestDC->BitBlt(0, 0, client.Width(), client.Height(), &surface, 0, 0, SRCCOPY);
  surface.SelectObject(previousBitmap);
}

void ImageButton::DrawStatePictures(CDC &surface, UINT state, CRect &textRect) {
  if (state & ODS_FOCUS) {
    DrawStateImage(&surface, m_focusedImage);
    if (state & ODS_SELECTED) {
      DrawStateImage(&surface, m_pressedImage);
      textRect.left += 5;
    }
  } else if (state & ODS_DISABLED) {
    DrawStateImage(&surface, m_disabledImage);
  } else {
    DrawStateImage(&surface, m_normalImage);
  }
}

void ImageButton::DrawCaption(CDC &surface, CRect &textRect, bool disabled) {
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
}

} // namespace quorvel
