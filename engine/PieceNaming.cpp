#include "engine/PieceNaming.h"

#include <array>

namespace quorvel {

std::uint64_t PieceSizeForIndex(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= kSizePresets.size())
    return kDefaultPieceSize;
  return kSizePresets[static_cast<std::size_t>(index)].bytes;
}

std::string PiecePrefix(std::uint64_t pieceNumber) { return std::to_string(pieceNumber) + '_'; }

std::string PieceFileName(std::uint64_t pieceNumber, std::string_view sourceName) {
  return PiecePrefix(pieceNumber).append(sourceName);
}

std::string_view SourceNameOf(std::string_view path) {
  const auto separator = path.find_last_of(kNameDelimiters);
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view JoinedFileName(std::string_view firstPieceName) {
  return firstPieceName.substr(2);
}

std::string JoinFolder(std::string_view folder, std::string_view name) {
  std::string path{folder};
  if (!path.ends_with(kPathSeparator))
    path += kPathSeparator;
  return path.append(name);
}

std::string SplitPiecePath(std::string_view destFolder, std::uint64_t pieceNumber,
                           std::string_view sourceName) {
  return JoinFolder(destFolder, PieceFileName(pieceNumber, sourceName));
}

std::string JoinPiecePath(std::string_view pieceFolder, std::uint64_t pieceNumber,
                          std::string_view joinedName) {
  return std::string{pieceFolder}.append(PieceFileName(pieceNumber, joinedName));
}

std::string JoinOutputPath(std::string_view destFolder, std::string_view joinedName) {
  return JoinFolder(destFolder, joinedName);
}

} // namespace quorvel
