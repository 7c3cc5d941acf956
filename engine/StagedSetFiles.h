#pragma once

#include "engine/Folder.h"
#include "engine/PieceSet.h"

#include <cstdint>
#include <string>
#include <vector>

// What both file layers' StagedSet know of a set's files, by number: the list is number 0
// (StagedSet::kList), piece n number n.
namespace quorvel::staging {

std::string FinalName(const PieceSet &set, std::uint64_t number);

// The set's files in the folder before the split: its pieces, whatever gaps lie between them, and
// its list; the first piece first, as it holds the set.
std::vector<std::uint64_t> OlderFiles(const Folder &folder, const PieceSet &set);

// The order the set's names are taken in: the list first, the pieces from the last down, the older
// pieces beyond the new set (only moved aside), and the first piece last, so that no set joins
// before the last name is taken: the older pieces differ from the new list. Reckoned step by step,
// so that it takes no memory for each piece.
class CommitOrder {
public:
  CommitOrder(std::uint64_t pieceCount, std::vector<std::uint64_t> olderFiles);

  std::size_t size() const { return m_pieceCount + 1 + m_beyond.size(); }
  // The number of the file the step takes the name of; usable in a signal's handler.
  std::uint64_t operator[](std::size_t step) const noexcept;
  // Whether the step puts a new file under the name, or only moves an older one aside.
  bool HasNew(std::size_t step) const noexcept { return (*this)[step] <= m_pieceCount; }

private:
  std::uint64_t m_pieceCount;
  std::vector<std::uint64_t> m_beyond;
};

} // namespace quorvel::staging
