#include "engine/PieceNaming.h"
#include "engine/SplitFile.h"
#include "tests/engine/TestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace quorvel {
namespace {

// Memory-backed when the machine has it, so the four gigabytes of pieces cost no disk.
test::fs::path ScratchParent() {
  return test::fs::is_directory("/dev/shm") ? "/dev/shm" : test::fs::temp_directory_path();
}

TEST(LargeFile, ASourceOverFourGibibytesIsMeasuredAndSplitWhole) {
  test::TempDir dir(ScratchParent());
  const std::string source = dir / "big.bin";
  const std::uint64_t length = (std::uint64_t{4} << 30) + 1024;
  const int fd = ::open(source.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(length - 1)), 0);
  ASSERT_EQ(::pwrite(fd, "E", 1, static_cast<off_t>(length - 1)), 1);
  ::close(fd);

  test::RecordingHost host;
  host.m_strSourcePath = source;
  host.m_strDestFolder = (dir.path() / "pieces").string();
  test::fs::create_directory(host.m_strDestFolder);
  ASSERT_EQ(SplitFile(host), 0);

  const std::uint64_t pieceSize = PieceSizeForIndex(0);
  const std::uint64_t pieceCount = length / pieceSize + 1;
  EXPECT_EQ(host.m_strStatus, std::to_string(pieceCount) + "Files created");
  EXPECT_EQ(host.m_rangeUpper, static_cast<int>(pieceCount));
  const std::string lastPiece = host.m_strDestFolder + "/" + PieceFileName(pieceCount, "big.bin");
  EXPECT_EQ(test::fs::file_size(lastPiece), length % pieceSize);
  EXPECT_EQ(test::ReadFile(lastPiece).back(), 'E');
  EXPECT_FALSE(
      test::fs::exists(host.m_strDestFolder + "/" + PieceFileName(pieceCount + 1, "big.bin")));
}

} // namespace
} // namespace quorvel
