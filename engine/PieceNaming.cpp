#include "engine/PieceNaming.h"

namespace quorvel {

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
