#include "tests/controls/ControlsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace quorvel::test {

Pixels ReadPixels(const fw::CDC &dc, int width, int height) {
  Pixels pixels{width, height, {}};
  pixels.values.reserve(width * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      pixels.values.push_back(dc.GetPixel(x, y));
  return pixels;
}

Canvas::Canvas(int width, int height, COLORREF fill) : m_width(width), m_height(height) {
  m_bitmap.CreateBitmap(width, height, 1, 32, nullptr);
  m_dc.CreateCompatibleDC(nullptr);
  m_previous = m_dc.SelectObject(&m_bitmap);
  fw::CBrush brush(fill);
  const fw::CRect all{0, 0, width, height};
  m_dc.FillRect(&all, &brush);
}

Canvas::~Canvas() { m_dc.SelectObject(m_previous); }

std::vector<std::byte> MakeBmp(int width, int height,
                               const std::function<COLORREF(int x, int y)> &colourAt) {
  const int stride = (width * 3 + 3) & ~3;
  std::vector<std::uint8_t> out;
  auto put = [&out](std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
  };
  out = {'B', 'M'};
  put(54 + stride * height, 4);
  put(0, 4);
  put(54, 4);
  for (std::uint32_t field : {40, width, height})
    put(field, 4);
  put(1, 2);
  put(24, 2);
  for (int i = 0; i < 6; ++i)
    put(0, 4);
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = colourAt(x, y);
      out.insert(out.end(), {std::uint8_t(GetBValue(colour)), std::uint8_t(GetGValue(colour)),
                             std::uint8_t(GetRValue(colour))});
    }
    out.resize(out.size() + stride - width * 3, 0);
  }
  std::vector<std::byte> bytes(out.size());
  std::transform(out.begin(), out.end(), bytes.begin(),
                 [](std::uint8_t b) { return std::byte{b}; });
  return bytes;
}

TestResources::TestResources() { fw::AfxSetResourceHandle(this); }

TestResources::~TestResources() { fw::AfxSetResourceHandle(&res::ProgramResources()); }

std::span<const std::byte> TestResources::Find(fw::ResourceType type, UINT id) const {
  const auto found = m_bitmaps.find(id);
  if (type == fw::ResourceType::Bitmap && found != m_bitmaps.end())
    return found->second;
  return res::ProgramResources().Find(type, id);
}

} // namespace quorvel::test
