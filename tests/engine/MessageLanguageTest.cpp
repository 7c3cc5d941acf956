#include "res/StringTable.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

using res::Language;

TEST(MessageLanguage, ChineseLocalesAndLanguageIdsAreChineseAllOthersEnglish) {
  for (std::string_view name : {"zh_CN.UTF-8", "zh_TW.Big5", "zh", "zh_SG@stroke"})
    EXPECT_EQ(res::LanguageOfLocale(name), Language::chinese) << name;
  for (std::string_view name : {"C", "POSIX", "C.UTF-8", "en_US.UTF-8", "de_DE@euro", "", "zhx"})
    EXPECT_EQ(res::LanguageOfLocale(name), Language::english) << name;
  // Chinese of China, Taiwan, Hong Kong and Singapore; English, German, Japanese and neutral.
  for (std::uint16_t langId : {0x0804, 0x0404, 0x0C04, 0x1004})
    EXPECT_EQ(res::LanguageOfLangId(langId), Language::chinese) << langId;
  for (std::uint16_t langId : {0x0409, 0x0407, 0x0411, 0x0000})
    EXPECT_EQ(res::LanguageOfLangId(langId), Language::english) << langId;
}

TEST(MessageLanguage, EveryCauseReadsInBothLanguagesNamingTheFileOnce) {
  for (unsigned id = res::IDS_FILE_CAUSE_FIRST + 1; id <= res::IDS_FILE_CAUSE_LAST; ++id) {
    for (Language language : {Language::english, Language::chinese}) {
      const std::string_view text = res::FindString(id, language);
      const auto marker = text.find("%1");
      ASSERT_NE(marker, std::string_view::npos) << id;
      EXPECT_EQ(text.find("%1", marker + 1), std::string_view::npos) << id;
    }
    EXPECT_NE(res::FindString(id, Language::english), res::FindString(id, Language::chinese));
  }
  EXPECT_EQ(res::FindString(res::IDS_ABOUTBOX, Language::english),
            res::FindString(res::IDS_ABOUTBOX, Language::chinese));
}

} // namespace
} // namespace quorvel
