// This program defines copy_file_range, fsync and fcntl itself, so the engine's calls reach these
// and not the C library's: a test can make the kernel's copy stop short, see what is flushed and
// refuse leases.

#include "tests/engine/SplitJoinFixture.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<bool> g_copyStopsShort{false};
std::vector<std::string> g_flushed;
std::atomic<bool> g_leasesRefused{false};

int FcntlCall(int fd, int command, void *argument) {
  // As a file system without leases, or for a file of another owner without CAP_LEASE.
  if (g_leasesRefused && command == F_SETLEASE) {
    errno = EINVAL;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_fcntl, fd, command, argument));
}

} // namespace

// Either name, as the headers may call it by the one of 64-bit offsets.
extern "C" int fcntl(int fd, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  void *argument = va_arg(arguments, void *);
  va_end(arguments);
  return FcntlCall(fd, command, argument);
}

extern "C" int fcntl64(int fd, int command, ...) {
  va_list arguments;
  va_start(arguments, command);
  void *argument = va_arg(arguments, void *);
  va_end(arguments);
  return FcntlCall(fd, command, argument);
}

// Stopping short: every other call reports nothing copied, as some file systems do before the end.
extern "C" ssize_t copy_file_range(int in, loff_t *inOffset, int out, loff_t *outOffset,
                                   size_t count, unsigned flags) {
  static std::atomic<unsigned> calls{0};
  if (g_copyStopsShort && calls++ % 2 == 0)
    return 0;
  return ::syscall(SYS_copy_file_range, in, inOffset, out, outOffset, count, flags);
}

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

TEST_F(KernelSeam, AKernelCopyThatStopsShortIsNotTheEnd) {
  const std::string bytes = test::RandomBytes(3'000'000, 31);
  test::WriteFile(m_dir / "a.bin", bytes);
  test::TempDir out;
  g_copyStopsShort = true;
  ASSERT_EQ(Split(m_dir / "a.bin", out.path()), 0);
  test::TempDir joined;
  test::RecordingHost joiner;
  ASSERT_EQ(Join(joiner, out / "1_a.bin", joined.path()), 0);
  g_copyStopsShort = false;
  EXPECT_EQ(test::fs::file_size(out / "1_a.bin"), 1'400'000u);
  EXPECT_EQ(test::ReadFile(joined / "a.bin"), bytes);
}

TEST_F(KernelSeam, EveryFileIsFlushedBeforeItTakesItsNameAndTheFolderAtTheEnd) {
  test::WriteFile(m_dir / "a.bin", std::string(3'000'000, 'f'));
  test::TempDir out;
  g_flushed.clear();
  ASSERT_EQ(Split(m_dir / "a.bin", out.path()), 0);
  ASSERT_EQ(g_flushed.size(), 4u);
  EXPECT_THAT(std::vector(g_flushed.begin(), g_flushed.end() - 1),
              Each(StartsWith(out / ".quorvel-")))
      << "each piece is flushed while it still has its temporary name";
  EXPECT_EQ(g_flushed.back(), out.path().string());

  g_flushed.clear();
  test::RecordingHost joiner;
  ASSERT_EQ(Join(joiner, out / "1_a.bin", m_dir.path()), 0);
  EXPECT_THAT(g_flushed, ElementsAre(StartsWith(m_dir / ".quorvel-"), m_dir.path().string()));
}

TEST_F(KernelSeam, WithoutLeasesAFileAnotherProgramHasOpenIsStillNotReplaced) {
  test::WriteFile(m_dir / "1_a.bin", "one,");
  test::WriteFile(m_dir / "2_a.bin", "two");
  test::TempDir out;
  test::WriteFile(out / "a.bin", "another program's");
  g_leasesRefused = true;
  {
    const test::LockHolder holder(out / "a.bin", test::Hold::openOnly);
    test::RecordingHost joiner;
    EXPECT_EQ(Join(joiner, m_dir / "1_a.bin", out.path()), 1);
    EXPECT_EQ(test::ReadFile(out / "a.bin"), "another program's");
  }
  test::RecordingHost joiner;
  EXPECT_EQ(Join(joiner, m_dir / "1_a.bin", out.path()), 0) << "closed, it is replaced";
  g_leasesRefused = false;
  EXPECT_EQ(test::ReadFile(out / "a.bin"), "one,two");
}

} // namespace
} // namespace quorvel
