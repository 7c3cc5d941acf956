// Draws the two button skin strips, at one and at two pixels per point, and the application icon
// at the sizes a desktop asks for, and writes them as the files the resource library embeds and
// the desktop entry installs: generate-art OUTPUT_DIR
#include "res/Look.h"

#include "res/art/Png.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
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

std::vector<std::uint8_t> EncodePng(const Canvas &canvas) {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) {
      const Rgba p = canvas.At(x, y);
      rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    }
  return quorvel::art::EncodePng(canvas.Width(), canvas.Height(), rgba);
}

// The large images as PNG, as icon files hold them, which keeps the file small.
constexpr int kLargestDibIcon = 48;

std::vector<std::uint8_t> EncodeIco(const std::vector<Canvas> &images) {
  // The 256-pixel image as a PNG, which Windows has taken in icons since Vista, at a tenth of the
  // bitmap's size; the smaller ones as bitmaps, which every reader takes.
  std::vector<std::vector<std::uint8_t>> encoded;
  for (const Canvas &image : images)
    encoded.push_back(image.Width() > kLargestDibIcon ? EncodePng(image) : EncodeIconImage(image));
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

// `scale` pixels stand for one: the same pictures for screens of more pixels per point.
void DrawBar(Canvas &strip, int originX, int width, const BarLook &look, int scale) {
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
  strip.Fill(originX, 0, originX + width, scale, topLeft);
  strip.Fill(originX, 0, originX + scale, height, topLeft);
  strip.Fill(originX + width - scale, 0, originX + width, height, bottomRight);
  strip.Fill(originX + scale, height - scale, originX + width, height, bottomRight);
}

Canvas MakeBrowseStrip(int scale) {
  const int kFrameWidth = 26 * scale, kFrames = 6;
  Canvas strip(kFrameWidth * kFrames, 10 * scale);
  const BarLook normal{{120, 160, 230}, {40, 70, 160}, false};
  const BarLook pressed{{70, 30, 110}, {120, 70, 160}, true};
  const BarLook disabled{{170, 140, 200}, {120, 90, 160}, false};
  const BarLook focused{{160, 200, 250}, {80, 120, 210}, false};
  const BarLook looks[kFrames] = {normal, pressed, disabled, focused, focused, focused};
  for (int frame = 0; frame < kFrames; ++frame)
    DrawBar(strip, frame * kFrameWidth, kFrameWidth, looks[frame], scale);
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

void DrawButton(Canvas &strip, int originX, int width, const ButtonLook &look, int scale) {
  constexpr Rgba kDialog{quorvel::res::kDialogColour.red, quorvel::res::kDialogColour.green,
                         quorvel::res::kDialogColour.blue};
  const double kRadius = 3.5 * scale;
  const int height = strip.Height();
  // Which line of the edge, counted in lines of `scale` pixels from either side, a pixel is on.
  auto line = [scale](int offset) { return offset / scale; };
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      Rgba colour = kDialog;
      if (InsideRounded(x, y, width, height, kRadius)) {
        const bool onOutline = !InsideRounded(x - scale, y, width, height, kRadius) ||
                               !InsideRounded(x + scale, y, width, height, kRadius) ||
                               !InsideRounded(x, y - scale, width, height, kRadius) ||
                               !InsideRounded(x, y + scale, width, height, kRadius) ||
                               line(x) == 0 || line(y) == 0 || line(width - 1 - x) == 0 ||
                               line(height - 1 - y) == 0;
        const double share = double(y) / (height - 1);
        colour = look.flat     ? look.faceTop
                 : look.sunken ? Mix(look.faceBottom, look.faceTop, share)
                               : Mix(look.faceTop, look.faceBottom, share);
        if (onOutline)
          colour = look.outline;
        else if (!look.flat && (line(y) == 1 || line(x) == 1))
          colour = look.sunken ? Mix(colour, {0, 0, 0}, 0.25) : Mix(colour, {255, 255, 255}, 0.7);
        else if (!look.flat && (line(height - 1 - y) == 1 || line(width - 1 - x) == 1))
          colour = look.sunken ? Mix(colour, {255, 255, 255}, 0.5) : Mix(colour, {0, 0, 0}, 0.2);
      }
      strip.Set(originX + x, y, colour);
    }
}

Canvas MakeButtonStrip(int scale) {
  const int kFrameWidth = 55 * scale, kFrames = 5;
  Canvas strip(kFrameWidth * kFrames, 22 * scale);
  const ButtonLook normal{{238, 238, 238}, {196, 196, 200}, {64, 64, 72}, false, false};
  const ButtonLook pressed{{226, 226, 230}, {180, 180, 186}, {40, 40, 48}, true, false};
  const ButtonLook disabled{{214, 214, 214}, {214, 214, 214}, {150, 150, 150}, false, true};
  const ButtonLook focused{{252, 252, 252}, {214, 222, 236}, {40, 70, 150}, false, false};
  const ButtonLook looks[kFrames] = {normal, pressed, disabled, focused, normal};
  for (int frame = 0; frame < kFrames; ++frame)
    DrawButton(strip, frame * kFrameWidth, kFrameWidth, looks[frame], scale);
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
  // Lines as thick as the icon is large, one pixel up to 48.
  const int line = std::max(1, size / 32);
  const int cuts[] = {px(0.5), px(5.5), px(10.5), px(15.5)};
  for (int piece = 0; piece < 3; ++piece) {
    const int shift = (piece - 1) * std::max(1, px(0.75));
    const int top = cuts[piece] + (piece > 0 ? std::max(1, px(0.5)) : 0);
    const int bottom = cuts[piece + 1];
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) {
        const bool inFold = piece == 0 && x >= right - fold && y - top < fold - (right - 1 - x);
        if (inFold)
          continue;
        const int diagonal = fold - (right - 1 - x) - (y - top);
        const bool border = x - left < line || right - 1 - x < line || y - top < line ||
                            bottom - 1 - y < line ||
                            (piece == 0 && diagonal > -line && diagonal <= 0);
        icon.Set(x + shift, y, border ? kEdge : kPaper);
      }
    if (piece == 0)
      for (int y = top + 1; y < top + fold; ++y)
        for (int x = right - fold; x < right - 1; ++x)
          if (fold - (right - 1 - x) - (y - top) <= -line && right - 1 - x >= line)
            icon.Set(x + shift, y, kFold);
    const int lineStep = std::max(2, px(2));
    for (int y = top + lineStep; y < bottom - 1 - 2 * (line - 1); y += lineStep)
      for (int x = left + px(1.5); x < right - px(1.5) - (piece == 0 && y - top < fold ? fold : 0);
           ++x)
        for (int thick = 0; thick < line; ++thick)
          icon.Set(x + shift, y + thick, kText);
  }
  return icon;
}

// The icon as a drawing for any size, on the same 16-point grid as MakeIconImage.
std::string MakeIconSvg() {
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                    "viewBox=\"0 0 16 16\">\n";
  const double left = 2.5, right = 13.5, fold = 4;
  const double cuts[] = {0.5, 5.5, 10.5, 15.5};
  auto number = [](double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return std::string(text);
  };
  for (int piece = 0; piece < 3; ++piece) {
    const double shift = (piece - 1) * 0.75;
    const double top = cuts[piece] + (piece > 0 ? 0.5 : 0) + 0.25;
    const double bottom = cuts[piece + 1] - 0.25;
    const double l = left + shift + 0.25, r = right + shift - 0.25;
    std::string outline = "M" + number(l) + " " + number(top);
    if (piece == 0)
      outline += "H" + number(r - fold) + "L" + number(r) + " " + number(top + fold);
    else
      outline += "H" + number(r);
    outline += "V" + number(bottom) + "H" + number(l) + "Z";
    svg += "  <path d=\"" + outline +
           "\" fill=\"#fafaf6\" stroke=\"#3c465a\" stroke-width=\"0.5\" "
           "stroke-linejoin=\"round\"/>\n";
    if (piece == 0)
      svg += "  <path d=\"M" + number(r - fold) + " " + number(top) + "V" + number(top + fold) +
             "H" + number(r) +
             "Z\" fill=\"#c8cdd7\" stroke=\"#3c465a\" stroke-width=\"0.5\" "
             "stroke-linejoin=\"round\"/>\n";
    for (double y = top + 1.75; y < bottom - 0.5; y += 2) {
      const double end = r - 1.25 - (piece == 0 && y - top < fold ? fold : 0);
      svg += "  <path d=\"M" + number(l + 1.25) + " " + number(y) + "H" + number(end) +
             "\" stroke=\"#5a78be\" stroke-width=\"0.6\"/>\n";
    }
  }
  return svg + "</svg>\n";
}

bool WriteFile(const std::string &path, const std::vector<std::uint8_t> &bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
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
  constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
  std::vector<Canvas> icons;
  bool written = true;
  for (int size : kIconSizes) {
    icons.push_back(MakeIconImage(size));
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    written = written && WriteFile(dir + "/icons/hicolor/" + name + "/apps/quorvel-splitter.png",
                                   EncodePng(icons.back()));
  }
  const std::string svg = MakeIconSvg();
  written = written &&
            WriteFile(dir + "/icons/hicolor/scalable/apps/quorvel-splitter.svg",
                      {svg.begin(), svg.end()}) &&
            WriteFile(dir + "/bitmaps/browse_skin_130.bmp", EncodeBmp24(MakeBrowseStrip(1))) &&
            WriteFile(dir + "/bitmaps/button_skin_132.bmp", EncodeBmp24(MakeButtonStrip(1))) &&
            WriteFile(dir + "/bitmaps/browse_skin_130@2x.bmp", EncodeBmp24(MakeBrowseStrip(2))) &&
            WriteFile(dir + "/bitmaps/button_skin_132@2x.bmp", EncodeBmp24(MakeButtonStrip(2))) &&
            WriteFile(dir + "/icons/app_128.ico", EncodeIco(icons));
  if (!written) {
    std::perror(dir.c_str());
    return 1;
  }
  return 0;
}
