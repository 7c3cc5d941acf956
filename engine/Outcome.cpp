#include "engine/Outcome.h"

#include <utility>

namespace quorvel {

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

} // namespace quorvel
