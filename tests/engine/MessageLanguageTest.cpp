#include "res/Messages.h"

#include <gtest/gtest.h>

#include <cerrno>

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
  const res::Catalogue &english = res::CatalogueOf(Language::english);
  const res::Catalogue &chinese = res::CatalogueOf(Language::chinese);
  for (std::size_t index = 1; index < kFileCauseCount; ++index) {
    const auto cause = static_cast<FileCause>(index);
    for (const res::Catalogue *texts : {&english, &chinese}) {
      const std::string_view text = texts->fileCauses[cause];
      const auto marker = text.find("%1");
      ASSERT_NE(marker, std::string_view::npos) << index;
      EXPECT_EQ(text.find("%1", marker + 1), std::string_view::npos) << index;
    }
    EXPECT_NE(english.fileCauses[cause], chinese.fileCauses[cause]);
  }
  EXPECT_EQ(english.aboutItem, chinese.aboutItem);
  EXPECT_EQ(english.refusals[Refusal::noSource], chinese.refusals[Refusal::noSource]);
}

TEST(MessageLanguage, AFailureNamesItsPathOnceAndIsCutWholeCharacters) {
  EXPECT_EQ(res::FailureText(FileException(FileCause::fileNotFound, ENOENT, "/a/%1.bin")),
            "没有找到 /a/%1.bin。");
  EXPECT_EQ(res::FailureText(FileException(FileCause::diskFull, ENOSPC, "/x"), 512),
            "在存取 /x 时磁盘已满。");
  EXPECT_EQ(res::FailureText(FileException()), "无错误发生。");

  // Each "文" is three bytes; the cut must not leave part of one behind.
  std::string longPath = "/";
  for (int i = 0; i < 400; ++i)
    longPath += "文";
  for (std::size_t buffer : {std::size_t{1024}, std::size_t{512}}) {
    const std::string text =
        res::FailureText(FileException(FileCause::accessDenied, EACCES, longPath), buffer);
    EXPECT_LE(text.size(), buffer - 1);
    EXPECT_GT(text.size(), buffer - 4);
    EXPECT_TRUE(text.starts_with("对 /文文"));
    EXPECT_EQ(text.size() % 3, (std::string_view{"对 /"}.size()) % 3) << "split a character";
  }
}

TEST(MessageLanguage, SizesInARefusalAreGrouped) {
  Outcome noRoom = Outcome::Refused(Refusal::noRoom, "/media/stick", 4'700'000'000);
  noRoom.room = 999;
  EXPECT_EQ(res::RefusalText(noRoom),
            "The pieces need 4,700,000,000 bytes, but /media/stick has room for 999. Nothing was "
            "changed.");
}

} // namespace
} // namespace quorvel
