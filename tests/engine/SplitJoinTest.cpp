#include "engine/SizePresets.h"
#include "tests/engine/SplitJoinFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = test::fs;
using test::Done;
using test::PieceWatch;
using test::ReadFile;
using test::Said;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

class RoundTrip : public SplitJoin, public ::testing::WithParamInterface<std::uint64_t> {};

TEST_P(RoundTrip, JoinGivesBackEverySourceByteForByte) {
  const std::uint64_t pieceSize = GetParam();
  for (std::uint64_t length :
       {pieceSize, pieceSize + 1, 2 * pieceSize, 3 * pieceSize - 1, pieceSize + 12'345}) {
    SCOPED_TRACE(length);
    TempDir pieces;
    TempDir joined;
    const std::string source = m_dir / "data.bin";
    const std::string bytes = test::RandomBytes(length, static_cast<unsigned>(length));
    WriteFile(source, bytes);

    PieceWatch splitter;
    ASSERT_TRUE(Done(Split(splitter, source, pieces.path().string(), pieceSize)));
    const std::uint64_t pieceCount = length / pieceSize + 1;
    EXPECT_EQ(splitter.m_pieces.back(), pieceCount);
    EXPECT_EQ(splitter.m_pieceCount, pieceCount);
    const PieceSet set("data.bin");
    for (std::uint64_t n = 1; n < pieceCount; ++n)
      EXPECT_EQ(fs::file_size(pieces / set.PieceName(n)), pieceSize);
    EXPECT_EQ(fs::file_size(pieces / set.PieceName(pieceCount)), length % pieceSize);
    EXPECT_FALSE(fs::exists(pieces / set.PieceName(pieceCount + 1)));
    EXPECT_TRUE(fs::exists(pieces / set.ListName()));

    ASSERT_TRUE(Done(Join(pieces / "1_data.bin", joined.path().string())));
    EXPECT_EQ(ReadFile(joined / "data.bin"), bytes);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFloppySize, RoundTrip,
                         ::testing::Values(kSizePresets[0].bytes, kSizePresets[1].bytes,
                                           kSizePresets[2].bytes, kSizePresets[3].bytes));

TEST_F(SplitJoin, ShorterThanOnePieceIsNotSplit) {
  for (std::uint64_t length : {std::uint64_t{0}, std::uint64_t{1'399'999}}) {
    WriteFile(m_dir / "a.bin", std::string(length, 'x'));
    const Outcome split = Split(m_dir / "a.bin", m_dir.path().string());
    EXPECT_EQ(split.refusal, Refusal::tooShort);
    EXPECT_EQ(Said(split), "File length is " + std::to_string(length) + " byte, No need to split.");
    EXPECT_FALSE(fs::exists(m_dir / "1_a.bin"));
  }
  EXPECT_TRUE(Done(Split(m_dir / "a.bin", m_dir.path().string(), 1'200'000)));
  EXPECT_EQ(fs::file_size(m_dir / "2_a.bin"), 199'999u);
}

TEST_F(SplitJoin, SplitChecksComeInOrder) {
  WriteFile(m_dir / "short.bin", "tiny");
  EXPECT_EQ(Said(Split("", "")), "Please select a file.");
  EXPECT_EQ(Said(Split(m_dir / "short.bin", "")), "Please select a folder to save.")
      << "the destination is tested before the length";

  const Outcome missing = Split(m_dir / "gone.bin", "");
  EXPECT_EQ(missing.stage, Stage::source) << "the source is opened first";
  EXPECT_EQ(Said(missing), "没有找到 " + m_dir / "gone.bin" + "。");
}

TEST_F(SplitJoin, SplitReportsEachPieceInOrder) {
  WriteFile(m_dir / "a.bin", std::string(3'000'000, 'a'));
  // The source is shared: a program reading it does not stop the split.
  test::LockHolder reader(m_dir / "a.bin", test::Hold::shared);
  PieceWatch watch;
  ASSERT_TRUE(Done(Split(watch, m_dir / "a.bin", m_dir.path().string())));
  EXPECT_THAT(watch.m_pieces, ElementsAre(1, 2, 3));
  EXPECT_EQ(watch.m_pieceCount, 3u);
  EXPECT_EQ(ReadFile(m_dir / "a.bin"), std::string(3'000'000, 'a')) << "source untouched";
}

TEST_F(SplitJoin, PieceNamesBeginningOneUnderscoreRoundTrip) {
  const std::string bytes = test::RandomBytes(2'000'000, 7);
  WriteFile(m_dir / "1_a.bin", bytes);
  ASSERT_TRUE(Done(Split(m_dir / "1_a.bin", m_dir.path().string() + "/")));
  EXPECT_TRUE(fs::exists(m_dir / "1_1_a.bin"));
  EXPECT_TRUE(fs::exists(m_dir / "2_1_a.bin"));
  TempDir out;
  ASSERT_TRUE(Done(Join(m_dir / "1_1_a.bin", out.path().string())));
  EXPECT_EQ(ReadFile(out / "1_a.bin"), bytes);
}

TEST_F(SplitJoin, PieceCreateFailuresNameThePieceAndStop) {
  WriteFile(m_dir / "a.bin", std::string(3'000'000, 'a'));
  const auto expectFileError = [&](const std::string &dest, const std::string &text) {
    const Outcome split = Split(m_dir / "a.bin", dest);
    EXPECT_EQ(split.stage, Stage::open);
    EXPECT_EQ(Said(split), text);
  };
  expectFileError(m_dir / "missing", m_dir / "missing/1_a.bin 中包含无效的路径。");
#ifndef _WIN32
  if (fs::is_directory("/sys"))
    expectFileError("/sys", "对 /sys/1_a.bin 的存取被拒绝。");
#endif
  fs::create_directory(m_dir / "out");
  fs::create_directory(m_dir / "out/2_a.bin");
  expectFileError(m_dir / "out", "对 " + m_dir / "out/2_a.bin" + " 的存取被拒绝。");
  EXPECT_THAT(test::NamesIn(m_dir / "out"), ElementsAre("2_a.bin")) << "nothing of the split stays";
}

TEST_F(SplitJoin, APieceHeldByAnotherProgramIsNotOverwritten) {
  WriteFile(m_dir / "a.bin", std::string(3'000'000, 'a'));
  WriteFile(m_dir / "3_a.bin", "older piece");
  test::LockHolder holder(m_dir / "3_a.bin", test::Hold::shared);
  PieceWatch watch;
  EXPECT_EQ(Said(Split(watch, m_dir / "a.bin", m_dir.path().string())),
            "在存取 " + m_dir / "3_a.bin" + " 时发生共享违例。");
  EXPECT_THAT(watch.m_pieces, ElementsAre()) << "refused before a piece was copied";
  EXPECT_THAT(test::NamesIn(m_dir.path()), ElementsAre("3_a.bin", "a.bin"));
  EXPECT_EQ(ReadFile(m_dir / "3_a.bin"), "older piece");
}

TEST_F(SplitJoin, JoinChecksComeInOrder) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "2");
  EXPECT_EQ(Said(Join("", m_dir.path().string())), "Please select a file.");
  EXPECT_EQ(Said(Join(m_dir / "2_a.bin", "")), "Please select a folder to save.")
      << "the destination is tested before the name";

  EXPECT_EQ(Said(Join(m_dir / "2_a.bin", m_dir / "out")), "Source file name error...");
  EXPECT_FALSE(fs::exists(m_dir / "out"));
  EXPECT_EQ(Join(m_dir / "1_b.bin", m_dir.path().string()).stage, Stage::source);

  const Outcome noOutput = Join(m_dir / "1_a.bin", m_dir / "missing");
  EXPECT_EQ(noOutput.stage, Stage::open);
  EXPECT_EQ(Said(noOutput), m_dir / "missing/a.bin" + " 中包含无效的路径。");
}

TEST_F(SplitJoin, JoinCountsItsPiecesSoTheBarFillsAsItGoes) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two,");
  WriteFile(m_dir / "3_a.bin", "3");
  TempDir out;
  PieceWatch watch;
  ASSERT_TRUE(Done(Join(watch, m_dir / "1_a.bin", out.path().string())));
  EXPECT_THAT(watch.m_pieces, ElementsAre(1, 2, 3));
  EXPECT_EQ(watch.m_pieceCount, 3u);
}

TEST_F(SplitJoin, JoinGoesPastFourHundredNinetyNinePieces) {
  std::string expected;
  for (int n = 1; n <= 600; ++n) {
    // Pieces as long as the first, but the last.
    const std::string bytes =
        n == 600 ? "end" : std::string(3 - std::to_string(n).size(), '0') + std::to_string(n) + ";";
    WriteFile(m_dir / PieceSet("a.bin").PieceName(n), bytes);
    expected += bytes;
  }
  TempDir out;
  PieceWatch watch;
  ASSERT_TRUE(Done(Join(watch, m_dir / "1_a.bin", out.path().string())));
  EXPECT_EQ(ReadFile(out / "a.bin"), expected);
  EXPECT_EQ(watch.m_pieces.back(), 600u);
}

TEST_F(SplitJoin, APieceThatExistsButCannotBeOpenedIsAnErrorNotTheEnd) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two,");
  WriteFile(m_dir / "3_a.bin", "3");
  TempDir out;
  test::LockHolder holder(m_dir / "2_a.bin", test::Hold::shared);
  PieceWatch watch;
  EXPECT_EQ(Said(Join(watch, m_dir / "1_a.bin", out.path().string())),
            "在存取 " + m_dir / "2_a.bin" + " 时发生共享违例。");
  EXPECT_THAT(watch.m_pieces, ElementsAre()) << "every piece is held before any is joined";
  EXPECT_THAT(test::NamesIn(out.path()), ElementsAre()) << "no partial output, no temporary";

  WriteFile(out / "a.bin", "the file that was there");
  EXPECT_EQ(Join(m_dir / "1_a.bin", out.path().string()).kind, Outcome::Kind::failed);
  EXPECT_EQ(ReadFile(out / "a.bin"), "the file that was there");
  EXPECT_THAT(test::NamesIn(out.path()), ElementsAre("a.bin"));
}

#ifndef _WIN32
// Between file systems the kernel refuses its in-kernel copy, and the bytes go through the buffer,
// the only path on Windows.
TEST_F(SplitJoin, RoundTripsAcrossFileSystems) {
  if (!fs::is_directory("/dev/shm"))
    GTEST_SKIP() << "no second file system";
  TempDir memory("/dev/shm");
  const std::string bytes = test::RandomBytes(2'900'000, 11);
  WriteFile(memory / "a.bin", bytes);
  ASSERT_TRUE(Done(Split(memory / "a.bin", m_dir.path().string())));
  ASSERT_TRUE(Done(Join(m_dir / "1_a.bin", memory.path().string())));
  EXPECT_EQ(ReadFile(memory / "a.bin"), bytes);
}
#endif

} // namespace
} // namespace quorvel
