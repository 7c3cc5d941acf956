// This program defines fsync, fcntl, getrlimit and the renames itself, so the engine's calls
// reach these and not the C library's: a test can see what is flushed, fail or hold a flush,
// refuse leases, act just before a join holds its set, and stop a run between two renames.

#include "engine/SplitRun.h"
#include "engine/StagedFile.h"
#include "tests/engine/SplitJoinFixture.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <functional>
#include <gmock/gmock.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// Never destroyed, as the flushes a stopped run left behind may still come while the process ends.
std::mutex &g_flushedMutex = *new std::mutex;
std::vector<std::string> &g_flushed = *new std::vector<std::string>;
std::atomic<bool> g_leasesRefused{false};
// Flushes of files whose path begins so fail with EIO, the one counted down to 0 alone.
std::string &g_failingFlushes = *new std::string;
std::atomic<int> g_flushesBeforeFailure{-1};
std::function<void()> g_beforeLimitRead;
// Flushes of staged files wait while this is set; the count of those waiting.
std::atomic<bool> g_flushesHeld{false};
std::atomic<int> g_heldFlushes{0};
std::atomic<int> g_heldFlushesEnded{0};
// The process sends itself the signal once this many renames are done; 0 never.
std::atomic<int> g_renamesBeforeSignal{0};
std::atomic<int> g_signal{SIGKILL};

int Renamed(long result) {
  if (result == 0 && g_renamesBeforeSignal > 0 && --g_renamesBeforeSignal == 0)
    ::raise(g_signal);
  return static_cast<int>(result);
}

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
  const std::string flushed(path, length > 0 ? static_cast<std::size_t>(length) : 0);
  {
    const std::lock_guard lock(g_flushedMutex);
    g_flushed.push_back(flushed);
  }
  if (!g_failingFlushes.empty() && flushed.starts_with(g_failingFlushes) &&
      g_flushesBeforeFailure-- == 0) {
    errno = EIO;
    return -1;
  }
  // As a slow medium would, until the test lets it go, or for three seconds.
  if (g_flushesHeld && flushed.find("/.quorvel-") != std::string::npos) {
    ++g_heldFlushes;
    for (int waited = 0; g_flushesHeld && waited < 3000; ++waited)
      ::usleep(1000);
    --g_heldFlushes;
    ++g_heldFlushesEnded;
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int renameat2(int fromFolder, const char *from, int toFolder, const char *to,
                         unsigned flags) {
  return Renamed(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

extern "C" int renameat(int fromFolder, const char *from, int toFolder, const char *to) {
  return Renamed(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, 0));
}

// Set as the globals above are made: the address sanitizer asks for limits before it can check
// memory and before they are made.
bool g_globalsMade = false;
const struct MarkGlobalsMade {
  MarkGlobalsMade() { g_globalsMade = true; }
} g_markGlobalsMade;

void BeforeLimitRead() {
  if (const auto before = std::exchange(g_beforeLimitRead, nullptr))
    before();
}

// The join reads the open-file limit between its first look at the set and holding it.
extern "C" __attribute__((no_sanitize("address"))) int getrlimit(__rlimit_resource_t resource,
                                                                 struct rlimit *limit) {
  if (g_globalsMade)
    BeforeLimitRead();
  return static_cast<int>(::syscall(SYS_prlimit64, 0, resource, nullptr, limit));
}

namespace quorvel {
namespace {

using ::testing::AllOf;
using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::StartsWith;

namespace fs = test::fs;
using KernelSeam = SplitJoin;

TEST_F(KernelSeam, EveryFileIsFlushedBeforeItTakesItsNameAndTheFolderAtTheEnd) {
  test::WriteFile(m_dir / "a.bin", std::string(3'000'000, 'f'));
  test::TempDir out;
  g_flushed.clear();
  ASSERT_TRUE(test::Done(Split(m_dir / "a.bin", out.path())));
  // The pieces in any order, as they are flushed side by side, then the list, each under its
  // staged name, and the folder once they have their names.
  const std::string staged = out / ".quorvel-";
  ASSERT_EQ(g_flushed.size(), 5u);
  for (int index = 0; index < 3; ++index)
    EXPECT_THAT(g_flushed[index],
                AllOf(StartsWith(staged), AnyOf(EndsWith("/1"), EndsWith("/2"), EndsWith("/3"))));
  EXPECT_THAT(g_flushed[3], AllOf(StartsWith(staged), EndsWith("/0")));
  EXPECT_EQ(g_flushed[4], out.path().string());

  g_flushed.clear();
  ASSERT_TRUE(test::Done(Join(out / "1_a.bin", m_dir.path())));
  EXPECT_THAT(g_flushed, ElementsAre(StartsWith(m_dir / ".quorvel-"), m_dir.path().string()));
}

// A split killed outright between any two of the renames that give the set its names leaves no
// set that joins, whether or not the older set had a list; one ended by a signal it can handle
// puts every name back.
TEST_F(KernelSeam, NoStopWhileTheSetTakesItsNamesLeavesASetThatJoins) {
  const std::string older = test::RandomBytes(5'000'000, 7);
  const std::string newer = test::RandomBytes(3'000'000, 8);
  test::fs::create_directory(m_dir.path() / "older");
  test::WriteFile(m_dir / "older/a.bin", older);
  test::WriteFile(m_dir / "a.bin", newer);
  for (const int signalNumber : {SIGKILL, SIGTERM}) {
    for (const bool olderListed : {true, false}) {
      test::TempDir out;
      for (int renames = 1;; ++renames) {
        ASSERT_TRUE(test::Done(Split(m_dir / "older/a.bin", out.path())));
        if (!olderListed)
          test::fs::remove(out / "a.bin.sha256");
        const auto before = test::ContentsOf(out.path());
        const pid_t child = ::fork();
        if (child == 0) {
          RemoveTemporaryFilesOnInterrupt();
          g_signal = signalNumber;
          g_renamesBeforeSignal = renames;
          Split(m_dir / "a.bin", out.path());
          ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
          EXPECT_EQ(renames, 6) << "the list, pieces 3 and 2, piece 4 aside and piece 1";
          break;
        }
        if (signalNumber == SIGTERM) {
          EXPECT_EQ(test::ContentsOf(out.path()), before) << "after " << renames << " renames";
          continue;
        }
        test::TempDir joined;
        const bool joins = Join(out / "1_a.bin", joined.path()).kind == Outcome::Kind::done;
        EXPECT_EQ(joins, renames == 5) << "killed after " << renames << " renames";
        if (joins) {
          EXPECT_EQ(test::ReadFile(joined / "a.bin"), newer);
        }
      }
    }
  }
}

// Stops the run once the given piece is done, wherever it asks next.
class StopAfter final : public Progress {
public:
  explicit StopAfter(std::uint64_t pieceNumber) : m_pieceNumber(pieceNumber) {}
  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t) override {
    m_done = pieceNumber;
    return Flow::proceed;
  }
  Flow BytesDone(std::uint64_t, std::uint64_t) override {
    return m_done >= m_pieceNumber ? Flow::stop : Flow::proceed;
  }

private:
  std::uint64_t m_pieceNumber;
  std::uint64_t m_done = 0;
};

// A stop on a slow medium ends the run at once, the folder put back, while the flushes it
// started still wait for the device.
TEST_F(KernelSeam, AStopDoesNotWaitForTheFlushesInFlight) {
  test::WriteFile(m_dir / "a.bin", test::RandomBytes(1'500'000, 9));
  test::TempDir out;
  ASSERT_TRUE(test::Done(Split(m_dir / "a.bin", out.path())));
  const auto before = test::ContentsOf(out.path());
  test::WriteFile(m_dir / "a.bin", test::RandomBytes(1'500'000, 10));
  g_flushesHeld = true;
  // The 64 pieces after the first 64 wait for those to be flushed before they are handed on.
  StopAfter stop(128);
  const Outcome outcome = RunSplit({m_dir / "a.bin", test::Utf8Of(out.path()), 10'000}, stop);
  EXPECT_EQ(outcome.kind, Outcome::Kind::cancelled);
  EXPECT_GT(g_heldFlushes, 0);
  EXPECT_EQ(g_heldFlushesEnded, 0) << "the run waited for its flushes";
  EXPECT_EQ(test::ContentsOf(out.path()), before);
  g_flushesHeld = false;
  while (g_heldFlushes > 0)
    ::usleep(1000);
}

TEST_F(KernelSeam, WithoutLeasesAFileAnotherProgramHasOpenIsStillNotReplaced) {
  test::WriteFile(m_dir / "1_a.bin", "one,");
  test::WriteFile(m_dir / "2_a.bin", "two");
  test::TempDir out;
  test::WriteFile(out / "a.bin", "another program's");
  g_leasesRefused = true;
  {
    const test::LockHolder holder(out / "a.bin", test::Hold::openOnly);
    EXPECT_EQ(Join(m_dir / "1_a.bin", out.path()).kind, Outcome::Kind::failed);
    EXPECT_EQ(test::ReadFile(out / "a.bin"), "another program's");
  }
  EXPECT_TRUE(test::Done(Join(m_dir / "1_a.bin", out.path()))) << "closed, it is replaced";
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
    EXPECT_TRUE(test::Done(Join(m_dir / "1_a.bin", out.path()))) << "a program that only reads it";
  }
  fs::remove(out / "a.bin");
  {
    const test::LockHolder writer(m_dir / "2_a.bin", test::Hold::writing);
    EXPECT_EQ(test::Said(Join(m_dir / "1_a.bin", out.path())),
              "在存取 " + m_dir / "2_a.bin" + " 时发生共享违例。");
  }
  g_leasesRefused = false;
  EXPECT_THAT(test::NamesIn(out.path()), IsEmpty());
}

TEST_F(KernelSeam, ASetReplacedBeforeTheJoinHoldsItIsRefused) {
  test::WriteFile(m_dir / "report.doc", test::RandomBytes(5'000'000, 45));
  fs::create_directory(m_dir.path() / "other");
  test::WriteFile(m_dir / "other/report.doc", test::RandomBytes(5'000'000, 46));
  test::TempDir pieces;
  ASSERT_TRUE(test::Done(Split(m_dir / "report.doc", pieces.path())));
  fs::remove(pieces / "report.doc.sha256");
  // Pieces of 1.2M, where the join has measured those of 1.4M.
  g_beforeLimitRead = [&] {
    ASSERT_TRUE(test::Done(Split(m_dir / "other/report.doc", pieces.path(), 1'200'000)));
  };
  test::TempDir out;
  EXPECT_EQ(test::Said(Join(pieces / "1_report.doc", out.path())),
            pieces / "1_report.doc" +
                " changed while the set was being joined (another program or split wrote it): "
                "the set cannot be joined.");
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
    const Outcome join = Join(pieces / "1_a.bin", out.path());
    EXPECT_EQ(join.stage, Stage::copy)
        << "joined, the flush after " << flushesBefore << " others failing";
    EXPECT_EQ(join.failure.m_cause, FileCause::hardIO);
    EXPECT_EQ(join.failure.m_strFileName, out / "a.bin");
    EXPECT_THAT(test::NamesIn(out.path()), IsEmpty());
  }
  g_failingFlushes.clear();
}

} // namespace
} // namespace quorvel
