#pragma once

#include "engine/FileException.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

namespace quorvel {

// Why a run refused to go on, before or while it wrote: the inputs, or the set of pieces.
enum class Refusal : std::uint8_t {
  noSource,
  noDestination,
  // The source is not longer than one piece.
  tooShort,
  // The chosen file's name is not a first piece's.
  notFirstPiece,
  // A piece of the set is not there (the subject), though its set goes on or must.
  pieceMissing,
  // Something other than a file stands under a piece's name.
  pieceNotFile,
  // A piece's content is not the one its list gives.
  pieceDiffers,
  // A piece before the last is not as long as the first.
  pieceLength,
  // The list beside the first piece is refused; the outcome's listProblem says why.
  listInvalid,
  // A piece is not as it was when the set was first measured: another program or run changed it.
  pieceChanged,
  // The set has more pieces (the length) than the system lets a run hold open at once.
  tooManyPieces,
  // A piece follows the last one that a list without the whole file's length gives.
  pieceNotListed,
  // The set does not fit on the destination's medium, even once an older set of its name is gone:
  // it needs `length` bytes and the folder (the subject) has room for `room`.
  noRoom,
};
// One more than the last refusal.
inline constexpr std::size_t kRefusalCount = static_cast<std::size_t>(Refusal::noRoom) + 1;

// What is wrong with a checksum list that a join refuses.
enum class ListFault : std::uint8_t {
  // Not a line that sha256sum writes or checks.
  notAListLine,
  // The hash is not 64 hexadecimal digits.
  badHash,
  // The line names a file in another folder.
  outsideFolder,
  // The line names a file that is no piece of this set.
  notAPiece,
  // The first line gives the name and length of another file.
  otherFile,
  // A second line for the same piece.
  pieceRepeated,
  // No line for a piece before the last one listed.
  pieceNotListed,
  // The whole length the list gives is not what its pieces hold.
  wholeLength,
  // Far longer than the list of any set.
  tooLong,
  // A folder, a device or a FIFO stands under the list's name.
  notAFile,
};
// One more than the last fault.
inline constexpr std::size_t kListFaultCount = static_cast<std::size_t>(ListFault::notAFile) + 1;

struct ListProblem {
  ListProblem() = default;
  explicit ListProblem(ListFault fault, std::uint64_t line = 0, std::uint64_t number = 0,
                       std::uint64_t held = 0, std::string name = {})
      : fault(fault), line(line), number(number), held(held), name(std::move(name)) {}

  ListFault fault = ListFault::notAListLine;
  // The line at fault, from 1; 0 when no one line is.
  std::uint64_t line = 0;
  // The piece a line repeats or that has no line, or the whole length the list gives.
  std::uint64_t number = 0;
  // What the pieces hold, for wholeLength.
  std::uint64_t held = 0;
  // The name the line gives, as written.
  std::string name;
};

// Where a file failure happened: opening the chosen source or first piece; opening, creating or
// putting in place one of the files of the run; or moving the bytes.
enum class Stage : std::uint8_t { source, open, copy };

// How a split or join ended.
struct Outcome {
  enum class Kind : std::uint8_t { done, refused, failed, cancelled };

  static Outcome Done() { return {}; }
  static Outcome Cancelled() { return Of(Kind::cancelled); }
  static Outcome Refused(Refusal refusal, std::string subject = {}, std::uint64_t length = 0);
  static Outcome ListRefused(std::string listPath, ListProblem problem);
  static Outcome Failed(Stage stage, FileException failure);

  Kind kind = Kind::done;
  Refusal refusal = Refusal::noSource;
  // The piece or list a refusal is about, as a path.
  std::string subject;
  // The source's length, for tooShort; the room the set needs, for noRoom; the set's pieces, for
  // tooManyPieces.
  std::uint64_t length = 0;
  // The room the destination has, for noRoom.
  std::uint64_t room = 0;
  // The most pieces the run could hold, for tooManyPieces.
  std::uint64_t limit = 0;
  ListProblem listProblem;
  Stage stage = Stage::source;
  FileException failure;

private:
  static Outcome Of(Kind kind) {
    Outcome outcome;
    outcome.kind = kind;
    return outcome;
  }
};

} // namespace quorvel
