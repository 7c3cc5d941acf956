#pragma once

#include "engine/Folder.h"
#include "engine/PieceSet.h"

#include <cstdint>
#include <span>
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
// before the last name is taken: the older pieces differ from the new list.
std::vector<std::uint64_t> CommitOrder(std::uint64_t pieceCount,
                                       std::span<const std::uint64_t> olderFiles);

} // namespace quorvel::staging
