#pragma once

#include "controls/FaceFont.h"
#include "framework/Wnd.h"

#include <memory>

namespace quorvel {

// A push button painted from a strip of state pictures, each fitted to the button in nine
// pieces, with one colour keyed out and the caption drawn on top in its own font and colour.
class ImageButton : public fw::CButton {
public:
  ImageButton();
  ~ImageButton() override;

  // Frames 0 to 3 of bitmap `resourceId` cut into `frameCount` frames become the normal,
  // pressed, disabled and focused images at the button's present size, and again at its size on
  // a display of another DPI.
  bool SetStateImages(UINT resourceId, int frameCount, int marginTop, int marginBottom,
                      int marginLeft, int marginRight);
  // Shows at the next repaint.
  void SetCaptionColor(COLORREF color);

  void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
  void PreSubclassWindow() override;
  BOOL OnEraseBkgnd(fw::CDC *dc) override;
  // The caption's font and the state images follow the button to its new DPI and size.
  void OnDpiChangedAfterParent() override;

private:
  bool BuildStateImage(fw::CBitmap &strip, fw::CBitmap &image, int frame, int frameCount);
  void DrawStateImage(fw::CDC *target, fw::CBitmap &image);
  // The focused image, with the pressed one over it and the caption moved right while pressed;
  // else the disabled or the normal image.
  void DrawStatePictures(fw::CDC &surface, UINT state, fw::CRect &textRect);
  // The window's text, centred in `textRect`, in grey while disabled.
  void DrawCaption(fw::CDC &surface, fw::CRect &textRect, bool disabled);

  int m_imagesReady = 0;
  fw::CBitmap m_normalImage;
  fw::CBitmap m_pressedImage;
  fw::CBitmap m_focusedImage;
  fw::CBitmap m_disabledImage;
  int m_marginTop = 8;
  int m_marginBottom = 8;
  int m_marginLeft = 8;
  int m_marginRight = 17;
  COLORREF m_transparentColor = RGB(255, 0, 255);
  UINT m_imageResourceId = 0;
  int m_imageFrameCount = 0;
  std::unique_ptr<FaceFont> m_pFont;
};

} // namespace quorvel
