#include "engine/StagedSetFiles.h"

#include "engine/StagedSet.h"

#include <algorithm>

namespace quorvel::staging {

std::string FinalName(const PieceSet &set, std::uint64_t number) {
  return number == StagedSet::kList ? set.ListName() : set.PieceName(number);
}

std::vector<std::uint64_t> OlderFiles(const Folder &folder, const PieceSet &set) {
  std::vector<std::uint64_t> numbers;
  for (const std::string &name : folder.Names()) {
    if (name == set.ListName())
      numbers.push_back(StagedSet::kList);
    else if (const std::uint64_t number = set.NumberOf(name); number > 0)
      numbers.push_back(number);
  }
  std::ranges::sort(numbers);
  std::ranges::stable_partition(numbers, [](std::uint64_t number) { return number == 1; });
  return numbers;
}

std::vector<std::uint64_t> CommitOrder(std::uint64_t pieceCount,
                                       std::span<const std::uint64_t> olderFiles) {
  std::vector<std::uint64_t> order{StagedSet::kList};
  for (std::uint64_t number = pieceCount; number >= 2; --number)
    order.push_back(number);
  for (std::uint64_t number : olderFiles) {
    if (number > pieceCount)
      order.push_back(number);
  }
  order.push_back(1);
  return order;
}

} // namespace quorvel::staging
