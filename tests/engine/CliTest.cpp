#include "tests/engine/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace quorvel {
namespace {

using test::ReadFile;
using test::TempDir;

struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

class Cli : public ::testing::Test {
protected:
  CliRun Run(const std::string &arguments, const std::string &shellPrefix = "") {
    const std::string command = shellPrefix + QUORVEL_SPLIT_EXE + " " + arguments + " >" +
                                m_dir / "stdout" + " 2>" + m_dir / "stderr" + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_dir / "stdout"),
            ReadFile(m_dir / "stderr")};
  }

  TempDir m_dir;
};

TEST_F(Cli, SplitsAndJoinsWithTheEngineTexts) {
  const std::string bytes = test::RandomBytes(2'500'000, 3);
  test::WriteFile(m_dir / "a.bin", bytes);
  test::fs::create_directory(m_dir / "pieces");

  CliRun split = Run("split " + m_dir / "a.bin" + " " + m_dir / "pieces" + " --size 0.8M");
  EXPECT_EQ(split.exitCode, 0);
  EXPECT_EQ(split.out, "Splitted successfully\n");
  EXPECT_EQ(split.err, "") << "no progress line on a pipe";
  EXPECT_EQ(test::fs::file_size(m_dir / "pieces/1_a.bin"), 800'000u);
  EXPECT_EQ(test::fs::file_size(m_dir / "pieces/4_a.bin"), 100'000u);

  CliRun join = Run("join " + m_dir / "pieces/1_a.bin" + " " + m_dir / "pieces");
  EXPECT_EQ(join.exitCode, 0);
  EXPECT_EQ(join.out, "Joined successfully\n");
  EXPECT_EQ(ReadFile(m_dir / "pieces/a.bin"), bytes);
}

TEST_F(Cli, StopsAndFailuresExitOneWithTheMessageOnStderr) {
  test::WriteFile(m_dir / "small.bin", "12345");
  CliRun tooShort = Run("split " + m_dir / "small.bin" + " " + m_dir.path().string());
  EXPECT_EQ(tooShort.exitCode, 1);
  EXPECT_EQ(tooShort.out, "");
  EXPECT_EQ(tooShort.err, "File length is 5 byte, No need to split.\n");

  CliRun missing = Run("join " + m_dir / "1_x.bin" + " " + m_dir.path().string());
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "没有找到 " + m_dir / "1_x.bin" + "。\n");

  CliRun badName = Run("join " + m_dir / "small.bin" + " " + m_dir.path().string());
  EXPECT_EQ(badName.exitCode, 1);
  EXPECT_EQ(badName.err, "Source file name error...\n");
}

TEST_F(Cli, AWritePastTheFileSizeLimitIsReportedNotFatal) {
  test::WriteFile(m_dir / "a.bin", std::string(1'500'000, 'q'));
  // ulimit -f counts blocks of 1024 bytes: the first piece cannot be written whole.
  CliRun run = Run("split " + m_dir / "a.bin" + " " + m_dir.path().string(), "ulimit -f 1000; ");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "在存取 " + m_dir / "1_a.bin" + " 时磁盘已满。\n");
}

TEST_F(Cli, UsageErrorsExitTwo) {
  for (const char *arguments : {"", "split onlyone", "join a b c", "split a b --size 2M",
                                "join a b --size 1.4M", "frobnicate a b", "split a b --fast"}) {
    CliRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_NE(run.err.find("Usage: quorvel-split split SOURCE DEST_FOLDER"), std::string::npos)
        << arguments;
  }
  CliRun help = Run("--help");
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(help.out.starts_with("Usage:"));
  EXPECT_EQ(Run("--version").out, "quorvel-split 1.0.0\n");
}

} // namespace
} // namespace quorvel
