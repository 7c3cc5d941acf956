// Draws the two button skin strips and the application icon, and writes them as the files the
// resource library embeds: generate-art OUTPUT_DIR
#include "res/art/Png.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

Rgba Mix(Rgba from, Rgba to, double share) {
  auto channel = [share](std::uint8_t x, std::uint8_t y) {
    return static_cast<std::uint8_t>(std::lround(x + (y - x) * share));
  };
  return {channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), 255};
}

class Canvas {
public:
  Canvas(int width, int height, Rgba fill = {0, 0, 0, 0})
      : m_width(width), m_height(height), m_pixels(width * height, fill) {}

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  Rgba At(int x, int y) const { return m_pixels[y * m_width + x]; }
  void Set(int x, int y, Rgba colour) {
    if (x >= 0 && y >= 0 && x < m_width && y < m_height)
      m_pixels[y * m_width + x] = colour;
  }
  void Fill(int left, int top, int right, int bottom, Rgba colour) {
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x)
        Set(x, y, colour);
  }

private:
  int m_width, m_height;
  std::vector<Rgba> m_pixels;
};

void PutLe(std::vector<std::uint8_t> &out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit bottom-up BMP with its file header.
std::vector<std::uint8_t> EncodeBmp24(const Canvas &canvas) {
  const int stride = (canvas.Width() * 3 + 3) & ~3;
  const std::uint32_t pixelBytes = stride * canvas.Height();
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 14 + 40 + pixelBytes, 4);
  PutLe(out, 0, 4);
  PutLe(out, 14 + 40, 4);
  PutLe(out, 40, 4);
  PutLe(out, canvas.Width(), 4);
  PutLe(out, canvas.Height(), 4);
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);
  PutLe(out, pixelBytes, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = canvas.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const Rgba p = canvas.At(x, y);
      out.insert(out.end(), {p.b, p.g, p.r});
    }
    out.resize(out.size() + stride - canvas.Width() * 3, 0);
  }
  return out;
}

// One icon image: a 32-bit DIB (doubled height) followed by its AND mask.
std::vector<std::uint8_t> EncodeIconImage(const Canvas &canvas) {
  const int size = canvas.Width();
  const int maskStride = ((size + 31) / 32) * 4;
  std::vector<std::uint8_t> out;
  PutLe(out, 40, 4);
  PutLe(out, size, 4);
  PutLe(out, size * 2, 4);
  PutLe(out, 1, 2);
  PutLe(out, 32, 2);
  PutLe(out, 0, 4);
  PutLe(out, size * size * 4 + maskStride * size, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      const Rgba p = canvas.At(x, y);
      out.insert(out.end(), {p.b, p.g, p.r, p.a});
    }
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < size; ++x)
      if (canvas.At(x, y).a == 0)
        row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<std::uint8_t> EncodeIconPng(const Canvas &canvas) {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const Rgba p = canvas.At(x, y);
      rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    }
  return quorvel::art::EncodePng(canvas.Width(), canvas.Height(), rgba);
}

std::vector<std::uint8_t> EncodeIco(const std::vector<Canvas> &images) {
  // The 256-pixel image as a PNG, which Windows has taken in icons since Vista, at a tenth of the
  // bitmap's size; the smaller ones as bitmaps, which every reader takes.
  std::vector<std::vector<std::uint8_t>> encoded;
  for (const Canvas &image : images)
    encoded.push_back(image.Width() >= 256 ? EncodeIconPng(image) : EncodeIconImage(image));
  std::vector<std::uint8_t> out;
  PutLe(out, 0, 2);
  PutLe(out, 1, 2);
  PutLe(out, images.size(), 2);
  std::uint32_t offset = 6 + 16 * images.size();
  for (std::size_t i = 0; i < images.size(); ++i) {
    // 256 pixels are written as 0, as the byte cannot hold them.
    out.push_back(static_cast<std::uint8_t>(images[i].Width() % 256));
    out.push_back(static_cast<std::uint8_t>(images[i].Height() % 256));
    PutLe(out, 0, 2);
    PutLe(out, 1, 2);
    PutLe(out, 32, 2);
    PutLe(out, encoded[i].size(), 4);
    PutLe(out, offset, 4);
    offset += encoded[i].size();
  }
  for (const auto &image : encoded)
    out.insert(out.end(), image.begin(), image.end());
  return out;
}

// Strip 130: small bars for the "..." buttons, one frame per state.
struct BarLook {
  Rgba top, bottom;
  bool sunken;
};

void DrawBar(Canvas &strip, int originX, int width, const BarLook &look) {
  const int height = strip.Height();
  const Rgba light = Mix(look.top, {255, 255, 255}, 0.6);
  const Rgba dark = Mix(look.bottom, {0, 0, 0}, 0.55);
  for (int y = 0; y < height; ++y) {
    const double share = double(y) / (height - 1);
    const Rgba shade =
        look.sunken ? Mix(look.bottom, look.top, share) : Mix(look.top, look.bottom, share);
    strip.Fill(originX, y, originX + width, y + 1, shade);
  }
  const Rgba topLeft = look.sunken ? dark : light;
  const Rgba bottomRight = look.sunken ? light : dark;
  strip.Fill(originX, 0, originX + width, 1, topLeft);
  strip.Fill(originX, 0, originX + 1, height, topLeft);
  strip.Fill(originX + width - 1, 0, originX + width, height, bottomRight);
  strip.Fill(originX + 1, height - 1, originX + width, height, bottomRight);
}

Canvas MakeBrowseStrip() {
  constexpr int kFrameWidth = 26, kFrames = 6;
  Canvas strip(kFrameWidth * kFrames, 10);
  const BarLook normal{{120, 160, 230}, {40, 70, 160}, false};
  const BarLook pressed{{70, 30, 110}, {120, 70, 160}, true};
  const BarLook disabled{{170, 140, 200}, {120, 90, 160}, false};
  const BarLook focused{{160, 200, 250}, {80, 120, 210}, false};
  const BarLook looks[kFrames] = {normal, pressed, disabled, focused, focused, focused};
  for (int frame = 0; frame < kFrames; ++frame)
    DrawBar(strip, frame * kFrameWidth, kFrameWidth, looks[frame]);
  return strip;
}

// Strip 132: rounded push buttons. Pixels outside the rounded outline take the dialog colour so
// the corners blend with the dialog they sit on.
struct ButtonLook {
  Rgba faceTop, faceBottom, outline;
  bool sunken, flat;
};

bool InsideRounded(int x, int y, int width, int height, double radius) {
  const double cx = std::clamp(x + 0.5, radius, width - radius);
  const double cy = std::clamp(y + 0.5, radius, height - radius);
  return std::hypot(x + 0.5 - cx, y + 0.5 - cy) <= radius;
}

void DrawButton(Canvas &strip, int originX, int width, const ButtonLook &look) {
  constexpr Rgba kDialog{160, 180, 220};
  constexpr double kRadius = 3.5;
  const int height = strip.Height();
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Rgba colour = kDialog;
      if (InsideRounded(x, y, width, height, kRadius)) {
        const bool onOutline = !InsideRounded(x - 1, y, width, height, kRadius) ||
                               !InsideRounded(x + 1, y, width, height, kRadius) ||
                               !InsideRounded(x, y - 1, width, height, kRadius) ||
                               !InsideRounded(x, y + 1, width, height, kRadius) || x == 0 ||
                               y == 0 || x == width - 1 || y == height - 1;
        const double share = double(y) / (height - 1);
        colour = look.flat     ? look.faceTop
                 : look.sunken ? Mix(look.faceBottom, look.faceTop, share)
                               : Mix(look.faceTop, look.faceBottom, share);
        if (onOutline)
          colour = look.outline;
        else if (!look.flat && (y == 1 || x == 1))
          colour = look.sunken ? Mix(colour, {0, 0, 0}, 0.25) : Mix(colour, {255, 255, 255}, 0.7);
        else if (!look.flat && (y == height - 2 || x == width - 2))
          colour = look.sunken ? Mix(colour, {255, 255, 255}, 0.5) : Mix(colour, {0, 0, 0}, 0.2);
      }
      strip.Set(originX + x, y, colour);
    }
}

Canvas MakeButtonStrip() {
  constexpr int kFrameWidth = 55, kFrames = 5;
  Canvas strip(kFrameWidth * kFrames, 22);
  const ButtonLook normal{{238, 238, 238}, {196, 196, 200}, {64, 64, 72}, false, false};
  const ButtonLook pressed{{226, 226, 230}, {180, 180, 186}, {40, 40, 48}, true, false};
  const ButtonLook disabled{{214, 214, 214}, {214, 214, 214}, {150, 150, 150}, false, true};
  const ButtonLook focused{{252, 252, 252}, {214, 222, 236}, {40, 70, 150}, false, false};
  const ButtonLook looks[kFrames] = {normal, pressed, disabled, focused, normal};
  for (int frame = 0; frame < kFrames; ++frame)
    DrawButton(strip, frame * kFrameWidth, kFrameWidth, looks[frame]);
  return strip;
}

// The icon: a page of text cut across into three pieces pulled slightly apart.
Canvas MakeIconImage(int size) {
  Canvas icon(size, size);
  const double unit = size / 16.0;
  auto px = [unit](double v) { return static_cast<int>(std::lround(v * unit)); };
  constexpr Rgba kPaper{250, 250, 246}, kEdge{60, 70, 90}, kText{90, 120, 190},
      kFold{200, 205, 215};
  const int left = px(2.5), right = px(13.5), fold = px(4);
  const int cuts[] = {px(0.5), px(5.5), px(10.5), px(15.5)};
  // One pixel up to 64; the large icons draw their lines thicker to stay as bold.
  const int edge = std::max(1, px(0.125)), stroke = std::max(1, px(0.25));
  for (int piece = 0; piece < 3; ++piece) {
    const int shift = (piece - 1) * std::max(1, px(0.75));
    const int top = cuts[piece] + (piece > 0 ? std::max(1, px(0.5)) : 0);
    const int bottom = cuts[piece + 1];
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const bool inFold = piece == 0 && x >= right - fold && y - top < fold - (right - 1 - x);
        if (inFold)
          continue;
        const bool border = x < left + edge || x >= right - edge || y < top + edge ||
                            y >= bottom - edge ||
                            (piece == 0 && std::abs(y - top - (fold - (right - 1 - x))) < edge);
        icon.Set(x + shift, y, border ? kEdge : kPaper);
      }
    if (piece == 0)
      for (int y = top + 1; y < top + fold; ++y)
        for (int x = right - fold; x < right - 1; ++x)
          if (y - top > fold - (right - 1 - x))
            icon.Set(x + shift, y, kFold);
    const int lineStep = std::max(2, px(2));
    for (int y = top + lineStep; y < bottom - 1; y += lineStep)
      for (int x = left + px(1.5); x < right - px(1.5) - (piece == 0 && y - top < fold ? fold : 0);
           ++x)
        for (int line = 0; line < stroke; ++line)
          icon.Set(x + shift, y + line, kText);
  }
  return icon;
}

bool WriteFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const bool written =
      WriteFile(dir + "/bitmaps/browse_skin_130.bmp", EncodeBmp24(MakeBrowseStrip())) &&
      WriteFile(dir + "/bitmaps/button_skin_132.bmp", EncodeBmp24(MakeButtonStrip())) &&
      WriteFile(dir + "/icons/app_128.ico",
                EncodeIco({MakeIconImage(16), MakeIconImage(24), MakeIconImage(32),
                           MakeIconImage(48), MakeIconImage(64), MakeIconImage(256)}));
  if (!written) {
    std::perror(dir.c_str());
    return 1;
  }
  return 0;
}
