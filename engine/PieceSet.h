#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

class Folder;

// The rules of a set of pieces, in one place: piece n of a file "name" is "n_name" (n in decimal
// without leading zeros), the first piece is "1_name", and the set's checksum list is
// "name.sha256", all in one folder.
class PieceSet {
public:
  explicit PieceSet(std::string name) : m_strName(std::move(name)) {}

  // What a piece's name begins with: "12_" for piece 12.
  static std::string PiecePrefix(std::uint64_t pieceNumber);
  // The set of a first piece's name, which is "1_" and the whole file's name, not empty; none for
  // any other name.
  static std::optional<PieceSet> OfFirstPiece(std::string_view firstPieceName);

  // The whole file's name.
  const std::string &Name() const { return m_strName; }
  std::string PieceName(std::uint64_t pieceNumber) const {
    return PiecePrefix(pieceNumber).append(m_strName);
  }
  std::string ListName() const { return m_strName + ".sha256"; }
  // The piece number of a name of this set, 0 for any other name.
  std::uint64_t NumberOf(std::string_view pieceName) const;

  // The pieces in the folder from 1 up to the first number not there.
  std::uint64_t CountIn(const Folder &folder) const;
  // The highest number of a piece of this set in the folder, 0 when there is none.
  std::uint64_t HighestIn(const Folder &folder) const;

private:
  std::string m_strName;
};

} // namespace quorvel
