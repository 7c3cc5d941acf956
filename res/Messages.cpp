#include "res/Messages.h"

#include "base/Text.h"

namespace quorvel::res {

const Catalogue &CatalogueOf(Language language) {
  return language == Language::chinese ? ChineseCatalogue() : EnglishCatalogue();
}

const Catalogue &Texts() { return CatalogueOf(UserLanguage()); }

std::string Fill(std::string_view text, std::initializer_list<std::string_view> values) {
  std::string filled;
  for (std::size_t index = 0; index < text.size(); ++index) {
    const char next = index + 1 < text.size() ? text[index + 1] : '\0';
    if (text[index] != '%' || next < '1' || next > '9') {
      filled += text[index];
      continue;
    }
    if (const auto value = static_cast<std::size_t>(next - '1'); value < values.size())
      filled += values.begin()[value];
    ++index;
  }
  return filled;
}

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

namespace {

std::string ListProblemText(const Catalogue &texts, const std::string &list,
                            const ListProblem &problem) {
  return Fill(texts.listFaults[problem.fault],
              {list, std::to_string(problem.line), problem.name, std::to_string(problem.number),
               std::to_string(problem.held)});
}

} // namespace

std::string RefusalText(const Outcome &outcome) {
  const Catalogue &texts = Texts();
  const std::string listProblem = outcome.refusal == Refusal::listInvalid
                                      ? ListProblemText(texts, outcome.subject, outcome.listProblem)
                                      : std::string{};
  return Fill(texts.refusals[outcome.refusal],
              {outcome.subject, std::to_string(outcome.length), GroupedDigits(outcome.length),
               GroupedDigits(outcome.room), std::to_string(outcome.limit), listProblem});
}

std::string FailureText(const FileException &failure, std::size_t bufferSize) {
  if (bufferSize == 0)
    return {};
  std::string text = Fill(Texts().fileCauses[failure.m_cause], {failure.m_strFileName});
  text.resize(Utf8PrefixLength(text, bufferSize - 1));
  return text;
}

} // namespace quorvel::res
