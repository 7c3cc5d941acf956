#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvel {

// A piece size the user chooses by its label.
struct SizePreset {
  // What the size list shows: the size as ParsePieceSize reads it, then the medium it is for.
  std::string_view label;
  std::uint64_t bytes;
  // The medium in a word, which the command line takes for the size; empty for the floppy sizes.
  std::string_view medium;
};

// In the size list's order, the first the default: the dialog's list, the command line's --size
// and its usage text are made from it. The floppy sizes keep the first four places, on which
// the list's indexes rely.
inline constexpr std::array kSizePresets{
    SizePreset{"1.4M", 1'400'000, {}},
    SizePreset{"1.2M", 1'200'000, {}},
    SizePreset{"1.0M", 1'000'000, {}},
    SizePreset{"0.8M", 800'000, {}},
    // Within the attachment limits of mail and chat services, also once mail's encoding has
    // added its third.
    SizePreset{"10M mail", 10'000'000, "mail"},
    // An 80-minute CD holds 737,280,000 bytes.
    SizePreset{"700M CD", 700'000'000, "CD"},
    // A 4.7 GB DVD holds 4,700,372,992 bytes, too few for 4.7G and the disc's file system.
    SizePreset{"4.6G DVD", 4'600'000'000, "DVD"},
    // The largest file FAT32 can hold, as on most memory sticks and cards.
    SizePreset{"FAT32", 4'294'967'295, "FAT32"},
};

// The units a size is written with, bytes first, in the order a list of them offers them.
inline constexpr std::array<std::string_view, 7> kSizeUnits{"", "K", "M", "G", "KiB", "MiB", "GiB"};

} // namespace quorvel
