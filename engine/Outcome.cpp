#include "engine/Outcome.h"

#include <utility>

namespace quorvel {
namespace {

// "1,400,000".
std::string GroupedDigits(std::uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t index = 0; index < digits.size(); ++index) {
    if (index > 0 && (digits.size() - index) % 3 == 0)
      grouped += ',';
    grouped += digits[index];
  }
  return grouped;
}

} // namespace

Outcome Outcome::Refused(Refusal refusal, std::string subject, std::uint64_t length) {
  Outcome outcome = Of(Kind::refused);
  outcome.refusal = refusal;
  outcome.subject = std::move(subject);
  outcome.length = length;
  return outcome;
}

Outcome Outcome::Failed(Stage stage, FileException failure) {
  Outcome outcome = Of(Kind::failed);
  outcome.stage = stage;
  outcome.failure = std::move(failure);
  return outcome;
}

std::string Outcome::RefusalText() const {
  switch (refusal) {
  case Refusal::noSource:
    return "Please select a file.";
  case Refusal::noDestination:
    return "Please select a folder to save.";
  case Refusal::tooShort:
    return "File length is " + std::to_string(length) + " byte, No need to split.";
  case Refusal::notFirstPiece:
    return "Source file name error...";
  case Refusal::pieceMissing:
    return "The piece " + subject + " is missing: the set cannot be joined.";
  case Refusal::pieceNotFile:
    return "The piece " + subject + " is not a file: the set cannot be joined.";
  case Refusal::pieceDiffers:
    return "The piece " + subject +
           " differs from the set's checksum list: it is damaged or "
           "from another file.";
  case Refusal::pieceLength:
    return "The piece " + subject +
           " is not as long as the first piece: it is damaged or from "
           "another file.";
  case Refusal::listInvalid:
    return subject + " is not the checksum list of this set.";
  case Refusal::noRoom:
    return "The pieces need " + GroupedDigits(length) + " bytes, but " + subject +
           " has room for " + GroupedDigits(room) + ". Nothing was changed.";
  }
  return {};
}

} // namespace quorvel
