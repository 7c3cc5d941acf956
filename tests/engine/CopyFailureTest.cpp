#include "engine/JoinRun.h"
#include "engine/PieceNaming.h"
#include "engine/SplitRun.h"
#include "tests/engine/TestSupport.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::PieceWatch;
using test::TempDir;

constexpr int kFailedCopying = 3;

struct ChildOutcome {
  int exitCode = -1;
  std::string report;
};

// Runs the operation in a child process whose files may not grow past `fileSizeLimit`, and
// brings back what it said of a failure while copying and the last piece it reported.
ChildOutcome RunWithFileSizeLimit(rlim_t fileSizeLimit,
                                  const std::function<Outcome(Progress &)> &operation) {
  int channel[2];
  if (::pipe(channel) != 0)
    return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    PieceWatch watch;
    const Outcome outcome = operation(watch);
    std::string report;
    if (outcome.kind == Outcome::Kind::failed && outcome.stage == Stage::copy)
      report = test::Said(outcome) + "|" +
               (watch.m_pieces.empty() ? "" : std::to_string(watch.m_pieces.back()));
    (void)!::write(channel[1], report.data(), report.size());
    ::_exit(report.empty() ? static_cast<int>(outcome.kind) : kFailedCopying);
  }
  ::close(channel[1]);
  ChildOutcome outcome;
  char buffer[4096];
  for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
    outcome.report.append(buffer, static_cast<std::size_t>(got));
  ::close(channel[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

TEST(CopyFailure, AWriteFailureWhileSplittingIsNeverSuccess) {
  TempDir dir;
  test::WriteFile(dir / "a.bin", std::string(3'000'000, 's'));
  const auto split = [&dir](Progress &progress) {
    return RunSplit({dir / "a.bin", dir.path().string(), kDefaultPieceSize}, progress);
  };
  // The source is longer than the limit, so the limit bites on a piece, not on the source.
  EXPECT_EQ(RunWithFileSizeLimit(2'000'000, split).exitCode, 0) << "pieces of 1.4M fit under 2M";

  const ChildOutcome limited = RunWithFileSizeLimit(1'000'000, split);
  EXPECT_EQ(limited.exitCode, kFailedCopying);
  EXPECT_EQ(limited.report, dir / "1_a.bin" + " 超出了其介质或系统所允许的文件大小。|");
  EXPECT_EQ(test::NamesIn(dir.path()),
            (std::vector<std::string>{"1_a.bin", "2_a.bin", "3_a.bin", "a.bin", "a.bin.sha256"}))
      << "the older set as it was, and no temporary";
}

TEST(CopyFailure, AWriteFailureWhileJoiningNamesTheOutputPath) {
  TempDir dir;
  test::WriteFile(dir / "1_a.bin", std::string(600'000, 'x'));
  test::WriteFile(dir / "2_a.bin", std::string(500'000, 'y'));
  TempDir out;
  const ChildOutcome outcome = RunWithFileSizeLimit(1'000'000, [&](Progress &progress) {
    return RunJoin({dir / "1_a.bin", out.path().string()}, progress);
  });
  EXPECT_EQ(outcome.exitCode, kFailedCopying);
  EXPECT_EQ(outcome.report, out / "a.bin" + " 超出了其介质或系统所允许的文件大小。|1");
  EXPECT_TRUE(test::NamesIn(out.path()).empty()) << "no partial output, no temporary";
}

} // namespace
} // namespace quorvel
