// This program defines fsync, fcntl and getrlimit itself, so the engine's calls reach these and
// not the C library's: a test can see what is flushed, fail a flush, refuse leases, and act just
// before a join holds its set.

#include "tests/engine/SplitJoinFixture.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <fcntl.h>
#include <functional>
#include <gmock/gmock.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> g_flushed;
std::atomic<bool> g_leasesRefused{false};
// Flushes of files whose path begins so fail with EIO, the one counted down to 0 alone.
std::string g_failingFlushes;
std::atomic<int> g_flushesBeforeFailure{-1};
std::function<void()> g_beforeLimitRead;

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

extern "C" int fsync(int fd) {
  char path[4096];
  const ssize_t length =
      ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  g_flushed.emplace_back(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  if (!g_failingFlushes.empty() && g_flushed.back().starts_with(g_failingFlushes) &&
      g_flushesBeforeFailure-- == 0) {
    errno = EIO;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

// The join reads the open-file limit between its first look at the set and holding it.
extern "C" int getrlimit(__rlimit_resource_t resource, struct rlimit *limit) {
  if (const auto before = std::exchange(g_beforeLimitRead, nullptr))
    before();
  return static_cast<int>(::syscall(SYS_prlimit64, 0, resource, nullptr, limit));
}

namespace quorvel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace fs = test::fs;
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

TEST_F(KernelSeam, WithoutLeasesAPieceAnotherProgramWritesIsStillRefused) {
  test::WriteFile(m_dir / "1_a.bin", "one,");
  test::WriteFile(m_dir / "2_a.bin", "two");
  test::TempDir out;
  g_leasesRefused = true;
  {
    const test::LockHolder reader(m_dir / "2_a.bin", test::Hold::openOnly);
    test::RecordingHost joiner;
    EXPECT_EQ(Join(joiner, m_dir / "1_a.bin", out.path()), 0) << "a program that only reads it";
  }
  fs::remove(out / "a.bin");
  {
    const test::LockHolder writer(m_dir / "2_a.bin", test::Hold::writing);
    test::RecordingHost joiner;
    EXPECT_EQ(Join(joiner, m_dir / "1_a.bin", out.path()), 1);
    EXPECT_THAT(joiner.Messages(),
                ElementsAre(kFileError + "在存取 " + m_dir / "2_a.bin" + " 时发生共享违例。"));
  }
  g_leasesRefused = false;
  EXPECT_THAT(test::NamesIn(out.path()), IsEmpty());
}

TEST_F(KernelSeam, ASetReplacedBeforeTheJoinHoldsItIsRefused) {
  test::WriteFile(m_dir / "report.doc", test::RandomBytes(5'000'000, 45));
  fs::create_directory(m_dir.path() / "other");
  test::WriteFile(m_dir / "other/report.doc", test::RandomBytes(5'000'000, 46));
  test::TempDir pieces;
  ASSERT_EQ(Split(m_dir / "report.doc", pieces.path()), 0);
  fs::remove(pieces / "report.doc.sha256");
  // Pieces of 1.2M, where the join has measured those of 1.4M.
  g_beforeLimitRead = [&] { ASSERT_EQ(Split(m_dir / "other/report.doc", pieces.path(), 1), 0); };
  test::TempDir out;
  test::RecordingHost joiner;
  EXPECT_EQ(Join(joiner, pieces / "1_report.doc", out.path()), 1);
  EXPECT_THAT(joiner.Messages(), ElementsAre("app|16|" + pieces / "1_report.doc" +
                                             " changed while the set was being joined (another "
                                             "program or split wrote it): the set cannot be "
                                             "joined."));
  EXPECT_THAT(test::NamesIn(out.path()), IsEmpty());
}

TEST_F(KernelSeam, AFlushBehindTheJoinsCopyThatFailsFailsTheJoin) {
  // Flushes start behind the copy at 32 and at 64 MiB, each once the one before has ended, which
  // in memory is at once; the end waits for the last.
  const fs::path memory = fs::exists("/dev/shm") ? "/dev/shm" : fs::temp_directory_path();
  const test::TempDir pieces(memory);
  const test::TempDir out(memory);
  test::WriteFile(pieces / "1_a.bin", std::string(std::size_t{40} << 20, 'a'));
  test::WriteFile(pieces / "2_a.bin", std::string(std::size_t{30} << 20, 'b'));
  for (int flushesBefore : {0, 1}) {
    g_failingFlushes = out / ".quorvel-";
    g_flushesBeforeFailure = flushesBefore;
    test::RecordingHost joiner;
    try {
      Join(joiner, pieces / "1_a.bin", out.path());
      ADD_FAILURE() << "joined, the flush after " << flushesBefore << " others failing";
    } catch (const FileException &failure) {
      EXPECT_EQ(failure.m_cause, FileCause::hardIO);
      EXPECT_EQ(failure.m_strFileName, out / "a.bin");
    }
    EXPECT_THAT(test::NamesIn(out.path()), IsEmpty());
  }
  g_failingFlushes.clear();
}

} // namespace
} // namespace quorvel
