#pragma once

#include <cstdint>
#include <string_view>

namespace quorvel::res {

// The languages the system's own texts are shown in.
enum class Language : std::uint8_t { english, chinese };

// The language the user's system shows its messages in, decided once per run: on Windows the
// user's interface language, elsewhere the message locale that LC_ALL, LC_MESSAGES and LANG give
// it. English unless that is Chinese.
Language UserLanguage();

// "zh_CN.UTF-8", "zh_TW" or "zh" is Chinese; any other name, "C" and "POSIX" among them, English.
Language LanguageOfLocale(std::string_view localeName);
// By the primary language, the low ten bits of a Windows language identifier.
Language LanguageOfLangId(std::uint16_t langId);

} // namespace quorvel::res
