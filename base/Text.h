#pragma once

#include <cstddef>
#include <string_view>

// Facts about texts that the engine and the framework share.
namespace quorvel {

// The length of the longest start of `text` that has at most `maxBytes` bytes and does not end
// inside a UTF-8 character.
constexpr std::size_t Utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text.size();
  std::size_t length = maxBytes;
  while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
    --length;
  return length;
}

// The buffer a failure's text is reported from: what fits with its terminating zero is shown.
inline constexpr std::size_t kFailureReportBufferSize = 512;

} // namespace quorvel
