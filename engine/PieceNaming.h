#pragma once

#include "engine/SizePresets.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvel {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// A name ends at the last of these: Windows takes "/" too, and "C:name" is on drive C.
inline constexpr std::string_view kNameDelimiters = "\\/:";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kNameDelimiters = "/";
#endif
inline constexpr std::uint64_t kDefaultPieceSize = kSizePresets.front().bytes;

// The part of a path after its last name delimiter; all of it when it has none.
std::string_view SourceNameOf(std::string_view path);
// The part before it, delimiter included, so that a name follows it directly; empty for a bare
// name.
std::string_view FolderOf(std::string_view path);

// One separator between folder and name, none when the folder already ends with one.
std::string JoinFolder(std::string_view folder, std::string_view name);

} // namespace quorvel
