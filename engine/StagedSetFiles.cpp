#include "engine/StagedSetFiles.h"

#include "engine/StagedSet.h"

#include <algorithm>

namespace quorvel::staging {

std::string FinalName(const PieceSet &set, std::uint64_t number) {
  return number == StagedSet::kList ? set.ListName() : set.PieceName(number);
}

std::vector<std::uint64_t> OlderFiles(const Folder &folder, const PieceSet &set) {
  std::vector<std::uint64_t> numbers;
  const std::string listName = set.ListName();
  folder.ForEachName([&](std::string_view name) {
    if (name == listName)
      numbers.push_back(StagedSet::kList);
    else if (const std::uint64_t number = set.NumberOf(name); number > 0)
      numbers.push_back(number);
  });
  std::ranges::sort(numbers);
  std::ranges::stable_partition(numbers, [](std::uint64_t number) { return number == 1; });
  return numbers;
}

CommitOrder::CommitOrder(std::uint64_t pieceCount, std::vector<std::uint64_t> olderFiles)
    : m_pieceCount(pieceCount), m_beyond(std::move(olderFiles)) {
  std::erase_if(m_beyond, [pieceCount](std::uint64_t number) { return number <= pieceCount; });
  m_beyond.shrink_to_fit();
}

std::uint64_t CommitOrder::operator[](std::size_t step) const noexcept {
  if (step == 0)
    return StagedSet::kList;
  if (step < m_pieceCount)
    return m_pieceCount + 1 - step;
  if (step - m_pieceCount < m_beyond.size())
    return m_beyond[step - m_pieceCount];
  return 1;
}

} // namespace quorvel::staging
