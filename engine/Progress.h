#pragma once

#include <cstdint>

namespace quorvel {

enum class Flow : std::uint8_t { proceed, stop };

// What a split or join tells of its way while it runs, and where it can be asked to stop. A run
// asked to stop ends as "cancelled" and leaves what a failed run leaves.
class Progress {
public:
  // After each piece is complete: copied for a split, joined for a join.
  virtual Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) = 0;
  // As the bytes pass, several times a piece: those copied so far of all there are.
  virtual Flow BytesDone(std::uint64_t done, std::uint64_t total) {
    static_cast<void>(done);
    static_cast<void>(total);
    return Flow::proceed;
  }

  // Before a split removes the older set of its name, for want of room to keep it until the new
  // one is whole; a stop after this leaves neither.
  virtual void RemovingOlderSet() {}

protected:
  ~Progress() = default;
};

} // namespace quorvel
