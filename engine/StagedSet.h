#pragma once

#include "engine/File.h"
#include "engine/FileException.h"
#include "engine/PieceSet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quorvel {

// The pieces and checksum list of a split, written where no name of the set sees them and given
// their names together, once every one is whole and on its device. Until then an older set of the
// same name stays as it was; a set that does not reach its names leaves the folder as it was
// found, however the run stops: a failure, a cancel or a signal that ends the program.
//
// From Open on the set is held: another run into the same names, or a join of the older set,
// stops with a sharing violation naming the first piece.
class StagedSet {
public:
  // The list is written as number 0, piece n as number n.
  static constexpr std::uint64_t kList = 0;

  StagedSet(const PieceSet &set, std::uint64_t pieceCount);
  StagedSet(const StagedSet &) = delete;
  StagedSet &operator=(const StagedSet &) = delete;
  // A set never put in place leaves the folder as it was: a commit cut short is undone and every
  // staged file goes, without waiting for flushes still running on them.
  ~StagedSet();

  // Holds the set, removes what killed runs left in the folder (temporary files no running
  // program holds) and prepares the staging. Fills `error` naming the first piece's path when
  // another run holds the set, or the name that can never be replaced (a folder, a device, a file
  // another program has open).
  bool Open(std::string_view folder, FileException *error);

  // Removes the older set now, to make room; a stop after this leaves neither set. Fills `error`
  // naming a file that could not go.
  bool RemoveOlder(FileException *error);

  // Creates the file the piece or list `number` is written into; failures, now and while it is
  // written, name its final path. The caller flushes it before Commit.
  File Create(std::uint64_t number);

  // Gives every staged file its name, moves the older set's files aside and removes them once
  // every name is taken, and flushes the folder. The list takes its name first and the first piece
  // last, so that a run killed outright meanwhile leaves no set that joins. Throws FileException
  // naming the name that could not be taken; the folder is then as it was.
  void Commit();

private:
  struct State;
  std::unique_ptr<State> m_state;
};

} // namespace quorvel
