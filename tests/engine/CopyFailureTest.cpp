#include "engine/FileException.h"
#include "engine/JoinFiles.h"
#include "engine/SplitFile.h"
#include "tests/engine/TestSupport.h"

#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::RecordingHost;
using test::TempDir;

constexpr int kEscaped = 3;

struct ChildOutcome {
  int exitCode = -1;
  std::string report;
};

// Runs the operation in a child process whose files may not grow past `fileSizeLimit`, and
// brings back what escaped it.
ChildOutcome RunWithFileSizeLimit(rlim_t fileSizeLimit,
                                  const std::function<int(RecordingHost &)> &operation,
                                  RecordingHost &host) {
  int channel[2];
  if (::pipe(channel) != 0)
    return {};
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(channel[0]);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{fileSizeLimit, fileSizeLimit};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    int code = 0;
    std::string report;
    try {
      code = operation(host);
    } catch (const FileException &failure) {
      code = kEscaped;
      report =
          failure.GetErrorMessage(FileException::kFailureReportBufferSize) + "|" + host.m_strStatus;
    }
    (void)!::write(channel[1], report.data(), report.size());
    ::_exit(code);
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

TEST(CopyFailure, AWriteFailureWhileSplittingEscapesAndIsNeverSuccess) {
  TempDir dir;
  test::WriteFile(dir / "a.bin", std::string(3'000'000, 's'));
  RecordingHost host;
  host.m_strSourcePath = dir / "a.bin";
  host.m_strDestFolder = dir.path().string();
  const ChildOutcome outcome = RunWithFileSizeLimit(2'000'000, SplitFile, host);
  // The source is longer than the limit, so the limit bites on a piece, not on the source.
  EXPECT_EQ(outcome.exitCode, 0) << "pieces of 1.4M fit under a 2M limit";

  const ChildOutcome limited = RunWithFileSizeLimit(1'000'000, SplitFile, host);
  EXPECT_EQ(limited.exitCode, kEscaped);
  EXPECT_EQ(limited.report, dir / "1_a.bin" + " 超出了其介质或系统所允许的文件大小。|");
  EXPECT_EQ(test::NamesIn(dir.path()),
            (std::vector<std::string>{"1_a.bin", "2_a.bin", "3_a.bin", "a.bin", "a.bin.sha256"}))
      << "the older set as it was, and no temporary";
}

TEST(CopyFailure, AWriteFailureWhileJoiningEscapesWithTheOutputPath) {
  TempDir dir;
  test::WriteFile(dir / "1_a.bin", std::string(600'000, 'x'));
  test::WriteFile(dir / "2_a.bin", std::string(500'000, 'y'));
  TempDir out;
  RecordingHost host;
  host.m_strSourcePath = dir / "1_a.bin";
  host.m_strDestFolder = out.path().string();
  const ChildOutcome outcome = RunWithFileSizeLimit(1'000'000, JoinFiles, host);
  EXPECT_EQ(outcome.exitCode, kEscaped);
  EXPECT_EQ(outcome.report, out / "a.bin" + " 超出了其介质或系统所允许的文件大小。|1files joined");
  EXPECT_TRUE(test::NamesIn(out.path()).empty()) << "no partial output, no temporary";
}

} // namespace
} // namespace quorvel
