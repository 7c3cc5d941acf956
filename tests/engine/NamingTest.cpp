#include "engine/PieceNaming.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PieceNaming, SizeListIndexPicksPieceSizeAndReadBlock) {
  EXPECT_EQ(PieceSizeForIndex(0), 1'400'000u);
  EXPECT_EQ(PieceSizeForIndex(1), 1'200'000u);
  EXPECT_EQ(PieceSizeForIndex(2), 1'000'000u);
  EXPECT_EQ(PieceSizeForIndex(3), 800'000u);
  for (int other : {-1, 4, 100, -7})
    EXPECT_EQ(PieceSizeForIndex(other), 1'400'000u) << other;
  EXPECT_EQ(ReadBlockSize(1'400'000), 140'000u);
  EXPECT_EQ(ReadBlockSize(800'000), 80'000u);
}

TEST(PieceNaming, NumbersHaveNoLeadingZerosAndNamesAreNotSpecial) {
  EXPECT_EQ(PieceFileName(1, "report.doc"), "1_report.doc");
  EXPECT_EQ(PieceFileName(10, "a.bin"), "10_a.bin");
  EXPECT_EQ(PieceFileName(100, "a.bin"), "100_a.bin");
  EXPECT_EQ(PieceFileName(2, "1_a.bin"), "2_1_a.bin");
  EXPECT_EQ(JoinedFileName("1_1_a.bin"), "1_a.bin");
}

#ifdef _WIN32
TEST(PieceNaming, FoldersJoinWithExactlyOneBackslash) {
  EXPECT_EQ(SplitPiecePath("D:\\out", 1, "report.doc"), "D:\\out\\1_report.doc");
  EXPECT_EQ(SplitPiecePath("D:\\out\\", 1, "report.doc"), "D:\\out\\1_report.doc");
  EXPECT_EQ(SplitPiecePath("C:\\", 3, "name"), "C:\\3_name");
  EXPECT_EQ(JoinOutputPath("D:\\out", "a.bin"), "D:\\out\\a.bin");
  EXPECT_EQ(JoinPiecePath("D:\\in\\", 12, "a.bin"), "D:\\in\\12_a.bin");
}

TEST(PieceNaming, SourceNameFollowsTheLastBackslashSlashOrDrive) {
  EXPECT_EQ(SourceNameOf("C:\\Users\\u\\报告.doc"), "报告.doc");
  EXPECT_EQ(SourceNameOf("C:/Users/u/report.doc"), "report.doc");
  EXPECT_EQ(SourceNameOf("C:\\in/mixed\\a.bin"), "a.bin");
  EXPECT_EQ(SourceNameOf("C:report.doc"), "report.doc");
  EXPECT_EQ(SourceNameOf("report.doc"), "report.doc");
}
#else
TEST(PieceNaming, FoldersJoinWithExactlyOneSeparator) {
  EXPECT_EQ(SplitPiecePath("/out", 1, "report.doc"), "/out/1_report.doc");
  EXPECT_EQ(SplitPiecePath("/out/", 1, "report.doc"), "/out/1_report.doc");
  EXPECT_EQ(SplitPiecePath("/", 3, "name"), "/3_name");
  EXPECT_EQ(JoinOutputPath("/out", "a.bin"), "/out/a.bin");
  EXPECT_EQ(JoinOutputPath("/", "a.bin"), "/a.bin");
  EXPECT_EQ(JoinPiecePath("/in/", 12, "a.bin"), "/in/12_a.bin");
  EXPECT_EQ(JoinPiecePath("", 2, "a.bin"), "2_a.bin");
}

TEST(PieceNaming, SourceNameIsTheLastComponent) {
  EXPECT_EQ(SourceNameOf("/home/u/report.doc"), "report.doc");
  EXPECT_EQ(SourceNameOf("report.doc"), "report.doc");
  EXPECT_EQ(SourceNameOf("/home/u/"), "");
  // Only "/" separates on Linux: a colon or backslash is part of the name.
  EXPECT_EQ(SourceNameOf("/d/a:b\\c.txt"), "a:b\\c.txt");
}
#endif

} // namespace
} // namespace quorvel
