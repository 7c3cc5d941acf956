#include "tests/engine/SplitJoinFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = test::fs;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

class RoundTrip : public SplitJoin, public ::testing::WithParamInterface<int> {};

TEST_P(RoundTrip, JoinGivesBackEverySourceByteForByte) {
  const int sizeSelection = GetParam();
  const std::uint64_t pieceSize = PieceSizeForIndex(sizeSelection);
  for (std::uint64_t length :
       {pieceSize, pieceSize + 1, 2 * pieceSize, 3 * pieceSize - 1, pieceSize + 12'345}) {
    SCOPED_TRACE(length);
    TempDir pieces;
    TempDir joined;
    const std::string source = m_dir / "data.bin";
    const std::string bytes = test::RandomBytes(length, static_cast<unsigned>(length));
    WriteFile(source, bytes);

    RecordingHost splitter;
    ASSERT_EQ(Split(splitter, source, pieces.path().string(), sizeSelection), 0);
    const std::uint64_t pieceCount = length / pieceSize + 1;
    EXPECT_EQ(splitter.m_strStatus, std::to_string(pieceCount) + "Files created");
    EXPECT_EQ(splitter.m_rangeUpper, static_cast<int>(pieceCount));
    EXPECT_EQ(splitter.m_position, splitter.m_rangeUpper) << "the bar must end full";
    const PieceSet set("data.bin");
    for (std::uint64_t n = 1; n < pieceCount; ++n)
      EXPECT_EQ(fs::file_size(pieces / set.PieceName(n)), pieceSize);
    EXPECT_EQ(fs::file_size(pieces / set.PieceName(pieceCount)), length % pieceSize);
    EXPECT_FALSE(fs::exists(pieces / set.PieceName(pieceCount + 1)));
    EXPECT_TRUE(fs::exists(pieces / set.ListName()));

    RecordingHost joiner;
    ASSERT_EQ(Join(joiner, pieces / "1_data.bin", joined.path().string()), 0);
    EXPECT_EQ(ReadFile(joined / "data.bin"), bytes);
    EXPECT_TRUE(joiner.Messages().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(EverySize, RoundTrip, ::testing::Values(0, 1, 2, 3));

TEST_F(SplitJoin, ShorterThanOnePieceIsNotSplit) {
  for (std::uint64_t length : {std::uint64_t{0}, std::uint64_t{1'399'999}}) {
    WriteFile(m_dir / "a.bin", std::string(length, 'x'));
    RecordingHost host;
    EXPECT_EQ(Split(host, m_dir / "a.bin", m_dir.path().string()), 1);
    EXPECT_THAT(host.Messages(), ElementsAre(kNotice + "File length is " + std::to_string(length) +
                                             " byte, No need to split."));
    EXPECT_EQ(host.m_strSourcePath, "");
    EXPECT_EQ(host.m_strSourceName, "");
    EXPECT_EQ(host.m_events.back(), "UpdateData(false)");
    EXPECT_FALSE(fs::exists(m_dir / "1_a.bin"));
  }
  RecordingHost host;
  EXPECT_EQ(Split(host, m_dir / "a.bin", m_dir.path().string(), 1), 0) << "1.2M splits it";
  EXPECT_EQ(fs::file_size(m_dir / "2_a.bin"), 199'999u);
}

TEST_F(SplitJoin, SplitChecksComeInOrderAndLeaveTheFieldsAlone) {
  WriteFile(m_dir / "short.bin", "tiny");
  RecordingHost host;
  EXPECT_EQ(Split(host, "", ""), 1);
  EXPECT_THAT(host.Messages(), ElementsAre(kNotice + "Please select a file."));

  RecordingHost noDest;
  EXPECT_EQ(Split(noDest, m_dir / "short.bin", ""), 1);
  EXPECT_THAT(noDest.Messages(), ElementsAre(kNotice + "Please select a folder to save."))
      << "the destination is tested before the length";
  EXPECT_EQ(noDest.m_strSourcePath, m_dir / "short.bin");

  RecordingHost missing;
  missing.m_strStatus = "Status";
  EXPECT_EQ(Split(missing, m_dir / "gone.bin", ""), 1) << "the source is opened first";
  EXPECT_THAT(missing.m_events,
              ElementsAre("UpdateData(true)",
                          "box " + kFileError + "没有找到 " + m_dir / "gone.bin" + "。",
                          "FocusSourceField"));
  EXPECT_EQ(missing.m_strSourcePath, m_dir / "gone.bin");

  // The open's failure fills its whole buffer of 1024 bytes.
  std::string deep = m_dir.path().string();
  while (deep.size() < 1100)
    deep += "/" + std::string(100, 'd');
  RecordingHost longPath;
  EXPECT_EQ(Split(longPath, deep + "/f", ""), 1);
  ASSERT_EQ(longPath.Messages().size(), 1u);
  EXPECT_EQ(longPath.Messages()[0].size(), kFileError.size() + 1023);
}

TEST_F(SplitJoin, SplitReportsEachPieceInOrder) {
  WriteFile(m_dir / "a.bin", std::string(3'000'000, 'a'));
  // The source is shared: a program reading it does not stop the split.
  test::LockHolder reader(m_dir / "a.bin", test::Hold::shared);
  RecordingHost host;
  ASSERT_EQ(Split(host, m_dir / "a.bin", m_dir.path().string()), 0);
  std::vector<std::string> expected{"UpdateData(true)"};
  for (int n = 1; n <= 3; ++n) {
    const std::string status = std::to_string(n) + "Files created";
    expected.insert(expected.end(), {"SetRange 0 3", "SetPos " + std::to_string(n),
                                     "UpdateData(false)", "UpdateWindow status=" + status});
  }
  expected.push_back("UpdateData(false)");
  EXPECT_EQ(host.m_events, expected);
  EXPECT_EQ(host.m_strSourcePath, "");
  EXPECT_EQ(host.m_strSourceName, "");
  EXPECT_EQ(ReadFile(m_dir / "a.bin"), std::string(3'000'000, 'a')) << "source untouched";
}

TEST_F(SplitJoin, PieceNamesBeginningOneUnderscoreRoundTrip) {
  const std::string bytes = test::RandomBytes(2'000'000, 7);
  WriteFile(m_dir / "1_a.bin", bytes);
  ASSERT_EQ(Split(m_dir / "1_a.bin", m_dir.path().string() + "/"), 0);
  EXPECT_TRUE(fs::exists(m_dir / "1_1_a.bin"));
  EXPECT_TRUE(fs::exists(m_dir / "2_1_a.bin"));
  TempDir out;
  RecordingHost host;
  ASSERT_EQ(Join(host, m_dir / "1_1_a.bin", out.path().string()), 0);
  EXPECT_EQ(ReadFile(out / "1_a.bin"), bytes);
}

TEST_F(SplitJoin, PieceCreateFailuresNameThePieceAndStop) {
  WriteFile(m_dir / "a.bin", std::string(3'000'000, 'a'));
  const auto expectFileError = [&](const std::string &dest, const std::string &text) {
    RecordingHost host;
    host.m_strStatus = "before";
    EXPECT_EQ(Split(host, m_dir / "a.bin", dest), 1);
    EXPECT_THAT(host.Messages(), ElementsAre(kFileError + text));
    EXPECT_EQ(host.m_strSourcePath, m_dir / "a.bin");
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
  RecordingHost host;
  host.m_strStatus = "before";
  EXPECT_EQ(Split(host, m_dir / "a.bin", m_dir.path().string()), 1);
  EXPECT_THAT(host.Messages(),
              ElementsAre(kFileError + "在存取 " + m_dir / "3_a.bin" + " 时发生共享违例。"));
  EXPECT_EQ(host.m_strStatus, "before") << "refused before a piece was copied";
  EXPECT_THAT(test::NamesIn(m_dir.path()), ElementsAre("3_a.bin", "a.bin"));
  EXPECT_EQ(ReadFile(m_dir / "3_a.bin"), "older piece");
}

TEST_F(SplitJoin, JoinChecksComeInOrder) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "2");
  RecordingHost empty;
  EXPECT_EQ(Join(empty, "", m_dir.path().string()), 1);
  EXPECT_THAT(empty.Messages(), ElementsAre(kNotice + "Please select a file."));

  RecordingHost noDest;
  EXPECT_EQ(Join(noDest, m_dir / "2_a.bin", ""), 1);
  EXPECT_THAT(noDest.Messages(), ElementsAre(kNotice + "Please select a folder to save."))
      << "the destination is tested before the name";

  RecordingHost wrongName;
  EXPECT_EQ(Join(wrongName, m_dir / "2_a.bin", m_dir / "out"), 1);
  EXPECT_THAT(wrongName.Messages(), ElementsAre("app|16|Source file name error..."));
  EXPECT_FALSE(fs::exists(m_dir / "out"));

  RecordingHost missing;
  EXPECT_EQ(Join(missing, m_dir / "1_b.bin", m_dir.path().string()), 1);
  EXPECT_EQ(missing.m_events.back(), "FocusSourceField");

  RecordingHost noOutput;
  EXPECT_EQ(Join(noOutput, m_dir / "1_a.bin", m_dir / "missing"), 1);
  EXPECT_THAT(noOutput.Messages(),
              ElementsAre(kFileError + m_dir / "missing/a.bin" + " 中包含无效的路径。"));
  EXPECT_EQ(noOutput.m_strSourcePath, m_dir / "1_a.bin");
}

TEST_F(SplitJoin, JoinCountsItsPiecesSoTheBarFillsAsItGoes) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two,");
  WriteFile(m_dir / "3_a.bin", "3");
  TempDir out;
  RecordingHost host;
  ASSERT_EQ(Join(host, m_dir / "1_a.bin", out.path().string()), 0);
  std::vector<std::string> expected{"UpdateData(true)"};
  for (int n = 1; n <= 3; ++n) {
    expected.insert(expected.end(),
                    {"SetRange 0 3", "SetPos " + std::to_string(n), "UpdateData(false)",
                     "UpdateWindow status=" + std::to_string(n) + "files joined"});
  }
  expected.push_back("UpdateData(false)");
  EXPECT_EQ(host.m_events, expected) << "the fields are refreshed once more at the end";
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
  RecordingHost host;
  ASSERT_EQ(Join(host, m_dir / "1_a.bin", out.path().string()), 0);
  EXPECT_EQ(ReadFile(out / "a.bin"), expected);
  EXPECT_EQ(host.m_strStatus, "600files joined");
  EXPECT_EQ(host.m_strSourcePath, "");
}

TEST_F(SplitJoin, APieceThatExistsButCannotBeOpenedIsAnErrorNotTheEnd) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two,");
  WriteFile(m_dir / "3_a.bin", "3");
  TempDir out;
  test::LockHolder holder(m_dir / "2_a.bin", test::Hold::shared);
  RecordingHost host;
  EXPECT_EQ(Join(host, m_dir / "1_a.bin", out.path().string()), 1);
  EXPECT_THAT(host.Messages(),
              ElementsAre(kFileError + "在存取 " + m_dir / "2_a.bin" + " 时发生共享违例。"));
  // Every piece is held before any is joined.
  EXPECT_EQ(host.m_strStatus, "");
  EXPECT_EQ(host.m_strSourcePath, m_dir / "1_a.bin") << "the fields keep what they showed";
  EXPECT_THAT(test::NamesIn(out.path()), ElementsAre()) << "no partial output, no temporary";

  WriteFile(out / "a.bin", "the file that was there");
  EXPECT_EQ(Join(host, m_dir / "1_a.bin", out.path().string()), 1);
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
  ASSERT_EQ(Split(memory / "a.bin", m_dir.path().string()), 0);
  RecordingHost host;
  ASSERT_EQ(Join(host, m_dir / "1_a.bin", memory.path().string()), 0);
  EXPECT_EQ(ReadFile(memory / "a.bin"), bytes);
}
#endif

} // namespace
} // namespace quorvel
