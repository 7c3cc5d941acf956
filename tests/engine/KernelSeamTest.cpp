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

using ::testing::ElementsAre;
using ::testing::StartsWith;

using KernelSeam = SplitJoin;

TEST_F(KernelSeam, EveryFileIsFlushedBeforeItTakesItsNameAndTheFolderAtTheEnd) {
  test::WriteFile(m_dir / "a.bin", std::string(3'000'000, 'f'));
  test::TempDir out;
  g_flushed.clear();
  ASSERT_EQ(Split(m_dir / "a.bin", out.path()), 0);
  // Each file is flushed under its temporary name, and the folder after the old set is gone,
  // before the first piece takes its name, and at the end: the empty first piece that holds the
  // set, the pieces 2 and 3, the list, the first piece.
  const std::string temporary = out / ".quorvel-";
  const std::string folder = out.path().string();
  EXPECT_THAT(g_flushed, ElementsAre(StartsWith(temporary), folder, StartsWith(temporary),
                                     StartsWith(temporary), StartsWith(temporary), folder,
                                     StartsWith(temporary), folder));

  g_flushed.clear();
  test::RecordingHost joiner;
  ASSERT_EQ(Join(joiner, out / "1_a.bin", m_dir.path()), 0);
  EXPECT_THAT(g_flushed, ElementsAre(StartsWith(m_dir / ".quorvel-"), m_dir.path().string()));
}

} // namespace
} // namespace quorvel
