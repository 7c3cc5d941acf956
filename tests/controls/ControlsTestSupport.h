#pragma once

#include "framework/ResourceModule.h"
#include "framework/Wnd.h"
#include "res/Resources.h"

#include <functional>
#include <map>
#include <vector>

namespace quorvel::test {

// The pixels of a rectangle of a context, row by row.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<COLORREF> values;

  COLORREF At(int x, int y) const { return values[y * width + x]; }
  bool operator==(const Pixels &) const = default;
};

Pixels ReadPixels(const fw::CDC &dc, int width, int height);

// A memory context over a fresh colour bitmap, filled with `fill`.
class Canvas {
public:
  Canvas(int width, int height, COLORREF fill);
  ~Canvas();
  fw::CDC &dc() { return m_dc; }
  Pixels Read() const { return ReadPixels(m_dc, m_width, m_height); }

private:
  int m_width, m_height;
  fw::CDC m_dc;
  fw::CBitmap m_bitmap;
  fw::CBitmap *m_previous = nullptr;
};

// A 24-bit BMP file of `width` x `height` whose pixels `colourAt` gives.
std::vector<std::byte> MakeBmp(int width, int height,
                               const std::function<COLORREF(int x, int y)> &colourAt);

// Bitmaps that tests hand to the controls in place of the program's; unknown ids fall through to
// the program's own resources.
class TestResources : public fw::ResourceModule {
public:
  TestResources();
  ~TestResources() override;
  void AddBitmap(UINT id, std::vector<std::byte> bmp) { m_bitmaps[id] = std::move(bmp); }
  std::span<const std::byte> Find(fw::ResourceType type, UINT id) const override;

private:
  std::map<UINT, std::vector<std::byte>> m_bitmaps;
};

} // namespace quorvel::test
