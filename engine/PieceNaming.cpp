#include "engine/PieceNaming.h"

#include <array>

namespace quorvel {

std::uint64_t PieceSizeForIndex(int index) {
  static constexpr std::array<std::uint64_t, 4> kPieceSizes{1'400'000, 1'200'000, 1'000'000,
                                                            800'000};
  if (index < 0 || static_cast<std::size_t>(index) >= kPieceSizes.size())
    return kDefaultPieceSize;
  return kPieceSizes[static_cast<std::size_t>(index)];
}

std::string_view SourceNameOf(std::string_view path) {
  const auto separator = path.find_last_of(kNameDelimiters);
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

std::string_view FolderOf(std::string_view path) {
  return path.substr(0, path.size() - SourceNameOf(path).size());
}

std::string JoinFolder(std::string_view folder, std::string_view name) {
  std::string path{folder};
  if (!path.ends_with(kPathSeparator))
    path += kPathSeparator;
  return path.append(name);
}

} // namespace quorvel
