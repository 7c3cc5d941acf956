#include "engine/StagedSetFiles.h"

#include "engine/StagedSet.h"
#include "engine/TemporaryName.h"

#include <algorithm>

namespace quorvel::staging {

std::string FinalName(const PieceSet &set, std::uint64_t number) {
  return number == StagedSet::kList ? set.ListName() : set.PieceName(number);
}

std::vector<std::string> OtherTemporaries(const Folder &folder, std::string_view ownName) {
  std::vector<std::string> temporaries;
  folder.ForEachName([&](std::string_view name) {
    if (IsTemporaryName(name) && name != ownName)
      temporaries.emplace_back(name);
  });
  return temporaries;
}

bool ForEachOlderFile(const Folder &folder, const PieceSet &set,
                      const std::function<bool(std::uint64_t number)> &visit) {
  const bool firstVisited = folder.Look(set.PieceName(1)) != Folder::Entry::absent;
  if (firstVisited && !visit(1))
    return false;
  const std::string listName = set.ListName();
  bool going = true;
  folder.ForEachName([&](std::string_view name) {
    if (!going)
      return;
    if (name == listName)
      going = visit(StagedSet::kList);
    else if (const std::uint64_t number = set.NumberOf(name);
             number > 1 || (number == 1 && !firstVisited))
      going = visit(number);
  });
  return going;
}

CommitOrder::CommitOrder(std::uint64_t pieceCount, const Folder &folder, const PieceSet &set)
    : m_pieceCount(pieceCount) {
  std::uint64_t last = pieceCount;
  ForEachOlderFile(folder, set, [&](std::uint64_t number) {
    if (number > pieceCount) {
      ++m_beyondCount;
      last = std::max(last, number);
    }
    return true;
  });
  if (last - pieceCount == m_beyondCount)
    return;
  m_scattered.reserve(m_beyondCount);
  ForEachOlderFile(folder, set, [&](std::uint64_t number) {
    if (number > pieceCount && m_scattered.size() < m_beyondCount)
      m_scattered.push_back(number);
    return true;
  });
  m_beyondCount = m_scattered.size();
  std::ranges::sort(m_scattered);
}

std::uint64_t CommitOrder::operator[](std::size_t step) const noexcept {
  if (step == 0)
    return StagedSet::kList;
  if (step < m_pieceCount)
    return m_pieceCount + 1 - step;
  const std::uint64_t beyond = step - m_pieceCount;
  if (beyond >= m_beyondCount)
    return 1;
  return m_scattered.empty() ? m_pieceCount + 1 + beyond : m_scattered[beyond];
}

} // namespace quorvel::staging
