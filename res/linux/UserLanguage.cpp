#include "res/Language.h"

#include <clocale>
#include <cstdlib>
#include <string>

namespace quorvel::res {
namespace {

// The locale setlocale gives the messages category from the environment, asked without keeping
// it: the program's own categories stay as they were.
std::string MessagesLocaleName() {
  const char *current = std::setlocale(LC_MESSAGES, nullptr);
  const std::string previous = current ? current : "C";
  if (const char *chosen = std::setlocale(LC_MESSAGES, "")) {
    const std::string name = chosen;
    std::setlocale(LC_MESSAGES, previous.c_str());
    return name;
  }
  // A locale this system lacks still says which language the user reads.
  for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char *value = std::getenv(variable); value && *value)
      return value;
  return "C";
}

} // namespace

Language UserLanguage() {
  static const Language language = LanguageOfLocale(MessagesLocaleName());
  return language;
}

} // namespace quorvel::res
