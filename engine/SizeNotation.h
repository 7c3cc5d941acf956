#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvel {

// A piece size as the user writes it, in the size list, the custom-size dialog and on the
// command line: a number with an optional fraction and an optional unit, decimal K, M or G (each
// optionally followed by B) or binary KiB, MiB or GiB; a bare number is bytes. "1.4M" is
// 1,400,000 bytes. Nothing for anything else: another unit or case, an exponent, a sign, a space,
// zero, a fraction of a byte, more than 64 bits hold.
std::optional<std::uint64_t> ParsePieceSize(std::string_view text);

} // namespace quorvel
