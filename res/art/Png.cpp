#include "res/art/Png.h"

#include <array>
#include <string_view>

namespace quorvel::art {
namespace {

void PutBe(std::vector<std::uint8_t> &out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t Crc32(const std::uint8_t *data, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

std::uint32_t Adler32(const std::vector<std::uint8_t> &data) {
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

// Deflate's bit stream: values least significant bit first, Huffman codes most significant first.
class BitWriter {
public:
  void Bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
      Bit((value >> i) & 1u);
  }
  void Code(std::uint32_t code, int length) {
    for (int i = length - 1; i >= 0; --i)
      Bit((code >> i) & 1u);
  }
  std::vector<std::uint8_t> Finish() {
    if (m_used)
      m_bytes.push_back(m_current);
    return std::move(m_bytes);
  }

private:
  void Bit(std::uint32_t bit) {
    m_current |= static_cast<std::uint8_t>(bit << m_used);
    if (++m_used == 8) {
      m_bytes.push_back(m_current);
      m_current = 0;
      m_used = 0;
    }
  }
  std::vector<std::uint8_t> m_bytes;
  std::uint8_t m_current = 0;
  int m_used = 0;
};

// The fixed Huffman code of a literal/length symbol.
void Symbol(BitWriter &out, int symbol) {
  if (symbol < 144)
    out.Code(0x30 + symbol, 8);
  else if (symbol < 256)
    out.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    out.Code(symbol - 256, 7);
  else
    out.Code(0xC0 + symbol - 280, 8);
}

// A copy of the byte before, `length` (3 to 258) times.
void Repeat(BitWriter &out, int length) {
  constexpr std::array<int, 29> kBase{3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  constexpr std::array<int, 29> kExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  int code = 28;
  while (kBase[code] > length)
    --code;
  Symbol(out, 257 + code);
  out.Bits(static_cast<std::uint32_t>(length - kBase[code]), kExtra[code]);
  out.Code(0, 5); // distance 1
}

std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t> &data) {
  BitWriter out;
  out.Bits(1, 1); // the last block
  out.Bits(1, 2); // fixed Huffman codes
  std::size_t i = 0;
  while (i < data.size()) {
    std::size_t run = 0;
    while (i > 0 && i + run < data.size() && run < 258 && data[i + run] == data[i - 1])
      ++run;
    if (run >= 3) {
      Repeat(out, static_cast<int>(run));
      i += run;
      continue;
    }
    Symbol(out, data[i++]);
  }
  Symbol(out, 256);
  return out.Finish();
}

void Chunk(std::vector<std::uint8_t> &png, std::string_view type,
           const std::vector<std::uint8_t> &data) {
  PutBe(png, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = png.size();
  png.insert(png.end(), type.begin(), type.end());
  png.insert(png.end(), data.begin(), data.end());
  PutBe(png, Crc32(png.data() + start, png.size() - start));
}

} // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t> &rgba) {
  // Each row as its difference from the row above ("Up"), so that what repeats down the image
  // becomes runs of zeros.
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  std::vector<std::uint8_t> rows;
  for (int y = 0; y < height; ++y) {
    rows.push_back(2);
    for (std::size_t x = 0; x < stride; ++x) {
      const std::uint8_t above = y > 0 ? rgba[(y - 1) * stride + x] : 0;
      rows.push_back(static_cast<std::uint8_t>(rgba[y * stride + x] - above));
    }
  }
  std::vector<std::uint8_t> zlib{0x78, 0x01};
  const std::vector<std::uint8_t> deflated = Deflate(rows);
  zlib.insert(zlib.end(), deflated.begin(), deflated.end());
  PutBe(zlib, Adler32(rows));

  std::vector<std::uint8_t> header;
  PutBe(header, static_cast<std::uint32_t>(width));
  PutBe(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 6, 0, 0, 0}); // 8 bits, RGBA, deflate, no interlace

  std::vector<std::uint8_t> png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Chunk(png, "IHDR", header);
  Chunk(png, "IDAT", zlib);
  Chunk(png, "IEND", {});
  return png;
}

} // namespace quorvel::art
