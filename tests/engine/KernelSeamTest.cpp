// This program defines fsync itself, so the engine's calls reach it and not the C library's: a test
// can see what is flushed.

#include "tests/engine/SplitJoinFixture.h"

#include <gmock/gmock.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> g_flushed;

} // namespace

extern "C" int fsync(int fd) {
  char path[4096];
  const ssize_t length =
      ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  g_flushed.emplace_back(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace quorvel {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::StartsWith;

using KernelSeam = SplitJoin;

TEST_F(KernelSeam, EveryFileIsFlushedBeforeItTakesItsNameAndTheFolderAtTheEnd) {
  test::WriteFile(m_dir / "a.bin", std::string(3'000'000, 'f'));
  test::TempDir out;
  g_flushed.clear();
  ASSERT_EQ(Split(m_dir / "a.bin", out.path()), 0);
  // The empty first piece that holds the set, the pieces 2 and 3, the list, the first piece.
  ASSERT_EQ(g_flushed.size(), 6u);
  EXPECT_THAT(std::vector(g_flushed.begin(), g_flushed.end() - 1),
              Each(StartsWith(out / ".quorvel-")))
      << "each file is flushed while it still has its temporary name";
  EXPECT_EQ(g_flushed.back(), out.path().string());

  g_flushed.clear();
  test::RecordingHost joiner;
  ASSERT_EQ(Join(joiner, out / "1_a.bin", m_dir.path()), 0);
  EXPECT_THAT(g_flushed, ElementsAre(StartsWith(m_dir / ".quorvel-"), m_dir.path().string()));
}

} // namespace
} // namespace quorvel
