#include "engine/PieceSet.h"

#include "engine/Folder.h"

#include <algorithm>
#include <charconv>

namespace quorvel {

std::string PieceSet::PiecePrefix(std::uint64_t pieceNumber) {
  return std::to_string(pieceNumber).append("_");
}

std::optional<PieceSet> PieceSet::OfFirstPiece(std::string_view firstPieceName) {
  const std::string prefix = PiecePrefix(1);
  if (firstPieceName.size() <= prefix.size() || !firstPieceName.starts_with(prefix))
    return std::nullopt;
  return PieceSet{std::string{firstPieceName.substr(prefix.size())}};
}

std::uint64_t PieceSet::NumberOf(std::string_view pieceName) const {
  const std::size_t underscore = pieceName.find('_');
  if (underscore == std::string_view::npos || underscore == 0 ||
      pieceName.substr(underscore + 1) != m_strName || pieceName.front() == '0')
    return 0;
  std::uint64_t number = 0;
  const char *end = pieceName.data() + underscore;
  const auto [stop, error] = std::from_chars(pieceName.data(), end, number);
  return error == std::errc{} && stop == end ? number : 0;
}

std::uint64_t PieceSet::CountIn(const Folder &folder) const {
  std::uint64_t count = 0;
  while (folder.Look(PieceName(count + 1)) != Folder::Entry::absent)
    ++count;
  return count;
}

std::uint64_t PieceSet::HighestIn(const Folder &folder) const {
  std::uint64_t highest = 0;
  folder.ForEachName([&](std::string_view name) { highest = std::max(highest, NumberOf(name)); });
  return highest;
}

} // namespace quorvel
