#pragma once

#include "engine/Outcome.h"
#include "engine/PieceSet.h"
#include "engine/Sha256.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {

class File;

// A set's checksum list, "name.sha256", in the format of sha256sum so that standard tools check a
// set too: a line "# name: length bytes" first, which sha256sum skips, then one line
// "<64 lowercase hex digits>  <piece name>" for each piece in order, UTF-8, LF line ends. A name
// with a backslash, a carriage return or a line feed is escaped as sha256sum escapes it.
//
// Made a line at a time as the pieces are hashed, so that the memory a split takes stays the same
// whatever the number of its pieces.
class ChecksumListWriter {
public:
  ChecksumListWriter(const PieceSet &set, std::uint64_t wholeLength);

  // The line of the next piece.
  void Add(const Sha256::Digest &digest);
  // The text made since the last call.
  std::string Take() { return std::exchange(m_text, {}); }

private:
  const PieceSet &m_set;
  std::uint64_t m_pieceCount = 0;
  std::string m_text;
};

// A set's checksum list as a join reads it: any list that sha256sum writes or checks for the
// set's pieces, and only those. Its lines may be in the text ("  ") or binary (" *") form or the
// BSD one ("SHA256 (name) = "), in either case of hex digits, in any order, with CRLF line ends
// and a byte-order mark; the "#" line that gives the whole file's length may be missing, as
// sha256sum skips it. Only where each hash lies in the list is kept, so that the memory stays
// small whatever the number of pieces; the hashes are read back as the pieces are checked.
class ListedSet {
public:
  // Lists stay far below this; anything longer is no list of a set.
  static constexpr std::uint64_t kLargestText = std::uint64_t{64} << 20;

  explicit ListedSet(const PieceSet &set) : m_set(set) {}

  // Reads the list, `length` bytes from the file's start; what refuses it, if anything.
  std::optional<ListProblem> Read(File &list, std::uint64_t length);

  std::uint64_t PieceCount() const { return m_hashOffsets.size(); }
  // The whole file's length, when the list gives it.
  const std::optional<std::uint64_t> &WholeLength() const { return m_wholeLength; }
  // The hash of a piece, read back from the list; nothing when the list no longer holds one there.
  std::optional<Sha256::Digest> DigestOf(File &list, std::uint64_t pieceNumber) const;

private:
  std::optional<ListProblem> TakeLine(std::string_view line, std::uint64_t offset,
                                      std::uint64_t lineNumber);
  std::optional<ListProblem> TakeHeader(std::string_view line);
  // After the last line: every piece from 1 to the highest has its line.
  std::optional<ListProblem> CheckComplete() const;

  const PieceSet &m_set;
  std::optional<std::uint64_t> m_wholeLength;
  // Where the hash of piece n lies in the list, at n - 1.
  std::vector<std::uint32_t> m_hashOffsets;
  // More pieces than any list of this length can give lines for, and whether a line named one
  // beyond them: then a piece before it has none.
  std::uint64_t m_reach = 0;
  bool m_beyondReach = false;
};

} // namespace quorvel
