#pragma once

#include <cstdint>
#include <vector>

namespace quorvel::art {

// An RGBA image of 8 bits a channel, rows top to bottom, as a PNG file. Runs of equal bytes, of
// which drawn art is made, are what the compression looks for; nothing else.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t> &rgba);

} // namespace quorvel::art
