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

// The piece size of a size-list index, as kSizePresets orders them; no selection (-1) and any
// other index the default.
std::uint64_t PieceSizeForIndex(int index);
// A split copies in blocks of a tenth of the piece size, and a piece under ten bytes whole.
constexpr std::uint64_t ReadBlockSize(std::uint64_t pieceSize) {
  return pieceSize < 10 ? pieceSize : pieceSize / 10;
}

// "12_": the piece number in decimal, no leading zeros, then "_".
std::string PiecePrefix(std::uint64_t pieceNumber);
std::string PieceFileName(std::uint64_t pieceNumber, std::string_view sourceName);

// The part of a path after its last name delimiter; all of it when it has none.
std::string_view SourceNameOf(std::string_view path);
// The first piece's name without its "1_"; the caller has checked the prefix.
std::string_view JoinedFileName(std::string_view firstPieceName);

// One separator between folder and name, none when the folder already ends with one.
std::string JoinFolder(std::string_view folder, std::string_view name);

std::string SplitPiecePath(std::string_view destFolder, std::uint64_t pieceNumber,
                           std::string_view sourceName);
// The piece folder keeps its trailing separator, so the prefix follows it directly.
std::string JoinPiecePath(std::string_view pieceFolder, std::uint64_t pieceNumber,
                          std::string_view joinedName);
std::string JoinOutputPath(std::string_view destFolder, std::string_view joinedName);

} // namespace quorvel
