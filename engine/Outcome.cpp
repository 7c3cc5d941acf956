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

Outcome Outcome::ListRefused(std::string listPath, ListProblem problem) {
  Outcome outcome = Refused(Refusal::listInvalid, std::move(listPath));
  outcome.listProblem = std::move(problem);
  return outcome;
}

Outcome Outcome::Failed(Stage stage, FileException failure) {
  Outcome outcome = Of(Kind::failed);
  outcome.stage = stage;
  outcome.failure = std::move(failure);
  return outcome;
}

namespace {

constexpr std::string_view kNotJoined = ": the set cannot be joined.";

std::string ListProblemText(const std::string &list, const ListProblem &problem) {
  const std::string line = list + ", line " + std::to_string(problem.line) + ",";
  switch (problem.fault) {
  case ListFault::notAListLine:
    return line + " is not a line of a SHA-256 checksum list";
  case ListFault::badHash:
    return line + " gives a hash that is not 64 hexadecimal digits";
  case ListFault::outsideFolder:
    return line + " names " + problem.name + ", outside the list's folder";
  case ListFault::notAPiece:
    return line + " names " + problem.name + ", which is no piece of this set";
  case ListFault::otherFile:
    return line + " is the list of another file, " + problem.name;
  case ListFault::pieceRepeated:
    return line + " lists piece " + std::to_string(problem.number) + " a second time";
  case ListFault::pieceNotListed:
    return list + " has no line for piece " + std::to_string(problem.number);
  case ListFault::wholeLength:
    return line + " gives a whole length of " + std::to_string(problem.number) +
           " bytes, but the listed pieces hold " + std::to_string(problem.held);
  case ListFault::tooLong:
    return list + " is too long to be a checksum list";
  case ListFault::notAFile:
    return list + " is not a file";
  }
  return list;
}

} // namespace

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
    return ListProblemText(subject, listProblem).append(kNotJoined);
  case Refusal::pieceChanged:
    return subject + " changed while the set was being joined (another program or split wrote it)" +
           std::string{kNotJoined};
  case Refusal::tooManyPieces:
    return "The set of " + subject + " has " + std::to_string(length) +
           " pieces, but the limit of open files lets the program hold only " +
           std::to_string(limit) + " of them at once" + std::string{kNotJoined};
  case Refusal::pieceNotListed:
    return "The piece " + subject + " is not in the set's checksum list" + std::string{kNotJoined};
  case Refusal::noRoom:
    return "The pieces need " + GroupedDigits(length) + " bytes, but " + subject +
           " has room for " + GroupedDigits(room) + ". Nothing was changed.";
  }
  return {};
}

} // namespace quorvel
