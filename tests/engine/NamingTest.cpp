#include "engine/ChecksumList.h"
#include "engine/File.h"
#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/SizeNotation.h"
#include "tests/engine/TestSupport.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PieceNaming, EveryPresetsLabelReadsAsItsSize) {
  for (const SizePreset &preset : kSizePresets) {
    const std::string_view size = preset.label.substr(0, preset.label.find(' '));
    if (size != preset.medium) {
      EXPECT_EQ(ParsePieceSize(size), preset.bytes) << preset.label;
    }
  }
}

TEST(SizeNotation, ReadsDecimalAndBinaryUnitsAndNothingElse) {
  struct Accepted {
    const char *text;
    std::uint64_t bytes;
  };
  for (const auto &[text, bytes] : {
           Accepted{"1.4M", 1'400'000},
           Accepted{"0.8M", 800'000},
           Accepted{"2MB", 2'000'000},
           Accepted{"1.50K", 1'500},
           Accepted{"4.6G", 4'600'000'000},
           Accepted{"1.5KiB", 1'536},
           Accepted{"4GiB", std::uint64_t{4} << 30},
           Accepted{"650000", 650'000},
           Accepted{"18446744073709551615", ~std::uint64_t{0}},
       })
    EXPECT_EQ(ParsePieceSize(text), bytes) << text;
  for (const char *text : {"",
                           "M",
                           "1.4m",
                           "1.4 M",
                           " 1.4M",
                           "1e6",
                           "+5",
                           "-5",
                           "0",
                           "0.0M",
                           ".5M",
                           "5.M",
                           "1.5",
                           "0.0001K",
                           "1.4.5M",
                           "1Ki",
                           "1KIB",
                           "1kB",
                           "1MiBB",
                           "18446744073709551616",
                           "20000000000G",
                           "FAT32"})
    EXPECT_EQ(ParsePieceSize(text), std::nullopt) << text;
}

TEST(PieceSet, NumbersHaveNoLeadingZerosAndNamesAreNotSpecial) {
  EXPECT_EQ(PieceSet("report.doc").PieceName(1), "1_report.doc");
  EXPECT_EQ(PieceSet("a.bin").PieceName(10), "10_a.bin");
  EXPECT_EQ(PieceSet("a.bin").PieceName(100), "100_a.bin");
  EXPECT_EQ(PieceSet("1_a.bin").PieceName(2), "2_1_a.bin");
  EXPECT_EQ(PieceSet::OfFirstPiece("1_1_a.bin")->Name(), "1_a.bin");
  EXPECT_EQ(PieceSet("a.bin").ListName(), "a.bin.sha256");
  EXPECT_EQ(PieceSet("a.bin").NumberOf("12_a.bin"), 12u);
  for (const char *other : {"a.bin", "_a.bin", "012_a.bin", "1_a.bin2", "x1_a.bin", "1-a.bin"})
    EXPECT_EQ(PieceSet("a.bin").NumberOf(other), 0u) << other;
}

TEST(PieceSet, OnlyOneUnderscoreAndANameMakeAFirstPiece) {
  for (const char *name : {"1_report.doc", "1_1_a.bin", "1_x"})
    EXPECT_TRUE(PieceSet::OfFirstPiece(name)) << name;
  for (const char *name : {"10_report.doc", "11_a", "2_a.bin", "1_", "1", "_1_a", "1a_b", ""})
    EXPECT_FALSE(PieceSet::OfFirstPiece(name)) << name;
}

#ifdef _WIN32
TEST(PieceNaming, FoldersJoinWithExactlyOneBackslash) {
  EXPECT_EQ(JoinFolder("D:\\out", "1_report.doc"), "D:\\out\\1_report.doc");
  EXPECT_EQ(JoinFolder("D:\\out\\", "1_report.doc"), "D:\\out\\1_report.doc");
  EXPECT_EQ(JoinFolder("C:\\", "3_name"), "C:\\3_name");
}

TEST(PieceNaming, SourceNameFollowsTheLastBackslashSlashOrDrive) {
  EXPECT_EQ(SourceNameOf("C:\\Users\\u\\报告.doc"), "报告.doc");
  EXPECT_EQ(SourceNameOf("C:/Users/u/report.doc"), "report.doc");
  EXPECT_EQ(SourceNameOf("C:\\in/mixed\\a.bin"), "a.bin");
  EXPECT_EQ(SourceNameOf("C:report.doc"), "report.doc");
  EXPECT_EQ(FolderOf("C:report.doc"), "C:");
  EXPECT_EQ(FolderOf("D:\\in\\1_a.bin"), "D:\\in\\");
  EXPECT_EQ(SourceNameOf("report.doc"), "report.doc");
}
#else
TEST(PieceNaming, FoldersJoinWithExactlyOneSeparator) {
  EXPECT_EQ(JoinFolder("/out", "1_report.doc"), "/out/1_report.doc");
  EXPECT_EQ(JoinFolder("/out/", "1_report.doc"), "/out/1_report.doc");
  EXPECT_EQ(JoinFolder("/", "a.bin"), "/a.bin");
}

TEST(PieceNaming, SourceNameIsTheLastComponentAndTheFolderTheRest) {
  EXPECT_EQ(SourceNameOf("/home/u/report.doc"), "report.doc");
  EXPECT_EQ(FolderOf("/home/u/report.doc"), "/home/u/");
  EXPECT_EQ(SourceNameOf("report.doc"), "report.doc");
  EXPECT_EQ(FolderOf("report.doc"), "");
  EXPECT_EQ(SourceNameOf("/home/u/"), "");
  // Only "/" separates on Linux: a colon or backslash is part of the name.
  EXPECT_EQ(SourceNameOf("/d/a:b\\c.txt"), "a:b\\c.txt");
}
#endif

Sha256::Digest DigestOfByte(std::uint8_t byte) {
  Sha256::Digest digest{};
  digest.fill(byte);
  return digest;
}

// Reads a list's text as the join reads the file; the refusal, if any.
std::optional<ListProblem> ReadList(std::string_view text, const PieceSet &set,
                                    ListedSet *listed = nullptr) {
  test::TempDir dir;
  test::WriteFile(dir / "list", text);
  File file;
  EXPECT_TRUE(file.Open(dir / "list", File::kReadShared));
  ListedSet own(set);
  ListedSet &list = listed ? *listed : own;
  return list.Read(file, text.size());
}

TEST(ChecksumList, IsWhatSha256sumWritesAfterAHeaderLine) {
  const PieceSet set("报告.doc");
  ChecksumListWriter list(set, 3'000'000);
  list.Add(DigestOfByte(0x01));
  list.Add(DigestOfByte(0xab));
  const std::string text = list.Take();
  EXPECT_EQ(text, "# 报告.doc: 3000000 bytes\n"
                  "0101010101010101010101010101010101010101010101010101010101010101  1_报告.doc\n"
                  "abababababababababababababababababababababababababababababababab  2_报告.doc\n");
  ListedSet read(set);
  ASSERT_EQ(ReadList(text, set, &read), std::nullopt);
  EXPECT_EQ(read.WholeLength(), 3'000'000u);
  EXPECT_EQ(read.PieceCount(), 2u);
}

TEST(ChecksumList, ANameWithABackslashOrLineBreakIsEscapedAsSha256sumDoes) {
  const PieceSet set("a\\b\nc\rd");
  ChecksumListWriter list(set, 7);
  list.Add(DigestOfByte(0x10));
  list.Add(DigestOfByte(0x20));
  const std::string text = list.Take();
  EXPECT_EQ(
      text,
      "# a\\\\b\\nc\\rd: 7 bytes\n"
      "\\1010101010101010101010101010101010101010101010101010101010101010  1_a\\\\b\\nc\\rd\n"
      "\\2020202020202020202020202020202020202020202020202020202020202020  2_a\\\\b\\nc\\rd\n");
#ifndef _WIN32
  // Windows names have none of these, and there the backslash separates folders.
  EXPECT_EQ(ReadList(text, set), std::nullopt);
#endif
}

TEST(ChecksumList, EveryFormSha256sumChecksIsReadAndABadLineIsNamed) {
  const PieceSet set("a.bin");
  const std::string hex1(64, '1');
  const std::string hex2(64, 'e');
  const std::string line1 = hex1 + "  1_a.bin\n";
  const std::string line2 = hex2 + "  2_a.bin\n";
  for (const std::string &good :
       {"# a.bin: 9 bytes\n" + line1 + line2, line1 + line2.substr(0, line2.size() - 1),
        "\xEF\xBB\xBF" + line2 + "\n# a comment\n" + hex1 + " *1_a.bin\r\n",
        "SHA256 (1_a.bin) = " + hex1 + "\n \t\\SHA256 (2_a.bin) = " + std::string(64, 'E'),
        hex1 + " ./1_a.bin\n" + hex2 + "\t2_a.bin\n"})
    EXPECT_EQ(ReadList(good, set), std::nullopt) << good;

  struct Bad {
    std::string text;
    ListFault fault;
    std::uint64_t line;
    std::string name = {};
  };
  for (const Bad &bad : std::initializer_list<Bad>{
           {"", ListFault::pieceNotListed, 0},
           {"# a.bin: 9 bytes\n", ListFault::pieceNotListed, 0},
           {line1 + hex2 + "  3_a.bin\n", ListFault::pieceNotListed, 0},
           {line1 + hex2 + "  99999999999_a.bin\n", ListFault::pieceNotListed, 0},
           {"# b.bin: 9 bytes\n" + line1 + line2, ListFault::otherFile, 1, "b.bin"},
           {line1 + line2 + line1, ListFault::pieceRepeated, 3},
           {line1 + "\n" + hex2 + "e  2_a.bin\n", ListFault::badHash, 3},
           {line1 + hex2.substr(1) + "g  2_a.bin\n", ListFault::badHash, 2},
           {line1 + hex2 + "  ../2_a.bin\n", ListFault::outsideFolder, 2, "../2_a.bin"},
           {line1 + hex2 + "  2_b.bin\n", ListFault::notAPiece, 2, "2_b.bin"},
           {line1 + hex2 + "  02_a.bin\n", ListFault::notAPiece, 2, "02_a.bin"},
           {line1 + hex2 + "\n", ListFault::notAListLine, 2},
           {line1 + "\\" + hex2 + "  2_a.bin\\t\n", ListFault::notAListLine, 2},
           {line1 + "SHA256 (2_a.bin " + hex2 + "\n", ListFault::notAListLine, 2}}) {
    const auto problem = ReadList(bad.text, set);
    ASSERT_TRUE(problem) << bad.text;
    EXPECT_EQ(problem->fault, bad.fault) << bad.text;
    EXPECT_EQ(problem->line, bad.line) << bad.text;
    EXPECT_EQ(problem->name, bad.name) << bad.text;
  }
}

} // namespace
} // namespace quorvel
