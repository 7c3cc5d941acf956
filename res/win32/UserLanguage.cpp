#include "res/Language.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace quorvel::res {

Language UserLanguage() {
  static const Language language = LanguageOfLangId(::GetUserDefaultUILanguage());
  return language;
}

} // namespace quorvel::res
