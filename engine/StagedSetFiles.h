#pragma once

#include "engine/Folder.h"
#include "engine/PieceSet.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// What both file layers' StagedSet know of a set's files, by number: the list is number 0
// (StagedSet::kList), piece n number n.
namespace quorvel::staging {

std::string FinalName(const PieceSet &set, std::uint64_t number);

// The temporary names in the folder but this run's own, `ownName`: what runs killed outright left,
// and what running ones hold. Gathered whole, so that they can be removed once it is read.
std::vector<std::string> OtherTemporaries(const Folder &folder, std::string_view ownName);

// Calls `visit` with the number of each of the set's files in the folder before the split: its
// pieces, whatever gaps lie between them, and its list; the first piece first, as it holds the set.
// Ends early, returning false, once `visit` returns false. A file at a time, so that a set of any
// size takes no memory for its numbers.
bool ForEachOlderFile(const Folder &folder, const PieceSet &set,
                      const std::function<bool(std::uint64_t number)> &visit);

// The order the set's names are taken in: the list first, the pieces from the last down, the older
// pieces beyond the new set (only moved aside), and the first piece last, so that no set joins
// before the last name is taken: the older pieces differ from the new list. Reckoned step by step,
// so that it takes no memory for each piece.
class CommitOrder {
public:
  // The order for a new set of `pieceCount` pieces over the older files in `folder`.
  CommitOrder(std::uint64_t pieceCount, const Folder &folder, const PieceSet &set);

  std::size_t size() const { return m_pieceCount + 1 + m_beyondCount; }
  // The number of the file the step takes the name of; usable in a signal's handler.
  std::uint64_t operator[](std::size_t step) const noexcept;
  // Whether the step puts a new file under the name, or only moves an older one aside.
  bool HasNew(std::size_t step) const noexcept { return (*this)[step] <= m_pieceCount; }

private:
  std::uint64_t m_pieceCount;
  std::uint64_t m_beyondCount = 0;
  // The older pieces beyond the new set where gaps lie between them; none where they are the
  // numbers right after its last piece, as they are but after a killed run.
  std::vector<std::uint64_t> m_scattered;
};

} // namespace quorvel::staging
