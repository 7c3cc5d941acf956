#pragma once

#include "framework/Types.h"

#include <filesystem>

namespace quorvel::fw {

// Paths are UTF-8 in the program, whatever the system's own paths are made of.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::u8string_view(reinterpret_cast<const char8_t *>(text.data()), text.size());
}

inline CString Utf8FromPath(const std::filesystem::path &path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

} // namespace quorvel::fw
