#pragma once

#include <cstddef>
#include <span>

namespace quorvel::res {

// A double bitmap is the bitmap of that ID drawn at two pixels per pixel, for screens that show
// two pixels per point.
enum class ResourceType { Bitmap, DoubleBitmap, Icon };

inline constexpr unsigned IDR_MAINFRAME = 128;
inline constexpr unsigned IDB_BROWSE_SKIN = 130;
inline constexpr unsigned IDB_BUTTON_SKIN = 132;

// The bytes of a resource the program carries: a bitmap as a BMP file, an icon group as an ICO
// file. Empty when the program has no such resource. (Not FindResource, which <windows.h> makes
// FindResourceW wherever it is included.)
std::span<const std::byte> FindResourceBytes(ResourceType type, unsigned id);

} // namespace quorvel::res
