#include "engine/PieceNaming.h"
#include "engine/PieceSet.h"
#include "engine/SplitRun.h"
#include "tests/engine/TestSupport.h"

#include <fstream>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

// Memory-backed when the machine has it, so the four gigabytes of pieces cost no disk. Under Wine
// the Linux file system is drive Z:.
test::fs::path ScratchParent() {
  for (const char *memory : {"/dev/shm", "Z:\\dev\\shm"})
    if (std::error_code unknown; test::fs::is_directory(memory, unknown))
      return memory;
  return test::fs::temp_directory_path();
}

TEST(LargeFile, ASourceOverFourGibibytesIsMeasuredAndSplitWhole) {
  test::TempDir dir(ScratchParent());
  const test::fs::path source = dir.path() / "big.bin";
  const std::uint64_t length = (std::uint64_t{4} << 30) + 1024;
  std::ofstream(source, std::ios::binary).close();
  test::fs::resize_file(source, length - 1);
  std::ofstream(source, std::ios::binary | std::ios::app) << 'E';
  ASSERT_EQ(test::fs::file_size(source), length);

  test::fs::create_directory(dir.path() / "pieces");
  test::PieceWatch watch;
  const std::uint64_t pieceSize = kDefaultPieceSize;
  ASSERT_TRUE(test::Done(RunSplit({test::Utf8Of(source), dir / "pieces", pieceSize}, watch)));

  const std::uint64_t pieceCount = length / pieceSize + 1;
  EXPECT_EQ(watch.m_pieces.back(), pieceCount);
  EXPECT_EQ(watch.m_pieceCount, pieceCount);
  const std::string lastPiece = dir / ("pieces/" + PieceSet("big.bin").PieceName(pieceCount));
  EXPECT_EQ(test::fs::file_size(test::PathOf(lastPiece)), length % pieceSize);
  EXPECT_EQ(test::ReadFile(lastPiece).back(), 'E');
  EXPECT_FALSE(test::fs::exists(
      test::PathOf(dir / ("pieces/" + PieceSet("big.bin").PieceName(pieceCount + 1)))));
  EXPECT_TRUE(test::fs::exists(test::PathOf(dir / "pieces/big.bin.sha256")));
}

} // namespace
} // namespace quorvel
