#pragma once

#include "framework/Gdi.h"
#include "res/Resources.h"

#include <array>
#include <string_view>

// How the program looks: its colours, its face and the settings of its button skins, for the
// dialogs, the art that is drawn for them and the programs that show their controls.
namespace quorvel::res {

struct Rgb {
  unsigned char red, green, blue;
};

// Every dialog and box of the program, and the progress bar's background.
inline constexpr Rgb kDialogColour{160, 180, 220};
inline constexpr Rgb kDialogTextColour{0, 0, 0};
// The caption of the two "..." buttons.
inline constexpr Rgb kBrowseCaptionColour{240, 200, 90};

constexpr COLORREF ColourRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

// The dialogs' face, in which the buttons write their captions too.
inline constexpr std::string_view kFaceName = "宋体";
// Families of the Linux desktop that cover the face's characters, for where it is not installed.
inline constexpr std::array<std::string_view, 4> kFaceStandIns{
    "WenQuanYi Micro Hei", "Noto Sans CJK SC", "Noto Serif CJK SC", "AR PL UMing CN"};

// Called by every program that draws in the face, before it first does.
inline void DeclareFaceStandIns() { fw::SetFaceStandIns(kFaceName, kFaceStandIns); }

// A skin strip, the frames it is cut into and the borders that keep their size when a frame is
// fitted to a button.
struct Skin {
  unsigned bitmap;
  int frames, top, bottom, left, right;
};
inline constexpr Skin kBrowseSkin{IDB_BROWSE_SKIN, 6, 1, 1, 1, 1};
inline constexpr Skin kButtonSkin{IDB_BUTTON_SKIN, 5, 5, 5, 5, 4};

} // namespace quorvel::res
