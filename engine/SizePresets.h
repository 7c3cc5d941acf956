#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvel {

// A piece size the user chooses by its label.
struct SizePreset {
  std::string_view label;
  std::uint64_t bytes;
};

// In the size list's order, the first the default: the dialog's list, the command line's --size
// and its usage text are made from it.
inline constexpr std::array kSizePresets{
    SizePreset{"1.4M", 1'400'000},
    SizePreset{"1.2M", 1'200'000},
    SizePreset{"1.0M", 1'000'000},
    SizePreset{"0.8M", 800'000},
};

} // namespace quorvel
