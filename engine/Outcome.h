#pragma once

#include "engine/FileException.h"

#include <cstdint>
#include <string>

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
  // The list beside the first piece is not one of this set, or the pieces make another length.
  listInvalid,
  // The set does not fit on the destination's medium, even once an older set of its name is gone:
  // it needs `length` bytes and the folder (the subject) has room for `room`.
  noRoom,
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
  static Outcome Failed(Stage stage, FileException failure);

  // The message that tells the user why a refused run stopped.
  std::string RefusalText() const;

  Kind kind = Kind::done;
  Refusal refusal = Refusal::noSource;
  // The piece or list a refusal is about, as a path.
  std::string subject;
  // The source's length, for tooShort; the room the set needs, for noRoom.
  std::uint64_t length = 0;
  // The room the destination has, for noRoom.
  std::uint64_t room = 0;
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
