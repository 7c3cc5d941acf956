#include "res/Language.h"

namespace quorvel::res {

Language LanguageOfLocale(std::string_view localeName) {
  const std::string_view language = localeName.substr(0, localeName.find_first_of("_.@-"));
  return language == "zh" ? Language::chinese : Language::english;
}

Language LanguageOfLangId(std::uint16_t langId) {
  constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;
  constexpr std::uint16_t kLangChinese = 0x04;
  return (langId & kPrimaryLanguageMask) == kLangChinese ? Language::chinese : Language::english;
}

} // namespace quorvel::res
