#pragma once

#include "engine/PieceSet.h"
#include "engine/Sha256.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// A set's checksum list, "name.sha256", in the format of sha256sum so that standard tools check a
// set too: a line "# name: length bytes" first, which sha256sum skips, then one line
// "<64 lowercase hex digits>  <piece name>" for each piece in order, UTF-8, LF line ends. A name
// with a backslash or a line break is escaped as sha256sum does it.
struct ChecksumList {
  // Lists stay far below this; anything longer is no list of this program's.
  static constexpr std::uint64_t kLargestText = std::uint64_t{64} << 20;

  std::uint64_t wholeLength = 0;
  // The pieces' digests, piece 1 first.
  std::vector<Sha256::Digest> pieces;

  std::string Format(const PieceSet &set) const;
  // The list of `set` in the text, or nothing when the text is not one: another file's list, a
  // line that is not the next piece's, or no piece at all.
  static std::optional<ChecksumList> Parse(std::string_view text, const PieceSet &set);
};

} // namespace quorvel
