#include "base/Product.h"
#include "cli/ConsoleHost.h"
#include "engine/JoinRun.h"
#include "engine/SplitRun.h"
#include "engine/TemporaryName.h"
#include "tests/engine/TestSupport.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <pty.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

using test::ReadFile;
using test::TempDir;
using ::testing::ElementsAre;

struct CliRun {
  int exitCode;
  std::string out;
  std::string err;
};

#ifdef _WIN32
std::string WithoutCarriageReturns(std::string text) {
  std::erase(text, '\r');
  return text;
}
#endif

class Cli : public ::testing::Test {
protected:
  CliRun Run(const std::string &arguments, [[maybe_unused]] const std::string &shellPrefix = "") {
#ifdef _WIN32
    return RunIn("", arguments);
#else
    const std::string command = shellPrefix + QUORVEL_SPLIT_EXE + " " + arguments + " >" +
                                m_dir / "stdout" + " 2>" + m_dir / "stderr" + " </dev/null";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(m_dir / "stdout"),
            ReadFile(m_dir / "stderr")};
#endif
  }

  // Run from the folder, or from the tests' own when it is empty.
  CliRun RunIn(const std::string &folder, const std::string &arguments) {
#ifdef _WIN32
    const int exitCode =
        test::RunProcess(test::ProgramBeside("quorvel-split.exe") + " " + arguments,
                         m_dir / "stdout", m_dir / "stderr", folder);
    // Lines end in CR LF in a Windows program's text output.
    return {exitCode, WithoutCarriageReturns(ReadFile(m_dir / "stdout")),
            WithoutCarriageReturns(ReadFile(m_dir / "stderr"))};
#else
    return Run(arguments, folder.empty() ? "" : "cd " + folder + " && ");
#endif
  }

#ifndef _WIN32
  // The exit status of the tool run with its own redirections.
  int RunRedirected(const std::string &arguments, const std::string &redirections) {
    const std::string command = std::string{QUORVEL_SPLIT_EXE} + " " + arguments + " " +
                                redirections + " 2>" + m_dir / "stderr";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
#endif

  TempDir m_dir;
  int m_runs = 0;
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
  EXPECT_EQ(tooShort.err, "quorvel-split: File length is 5 byte, No need to split.\n");

  CliRun missing = Run("join " + m_dir / "1_x.bin" + " " + m_dir.path().string());
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "quorvel-split: 没有找到 " + m_dir / "1_x.bin" + "。\n");

  for (const char *name : {"small.bin", "1_"}) {
    test::WriteFile(m_dir / name, "12345");
    CliRun badName = Run("join " + m_dir / name + " " + m_dir.path().string());
    EXPECT_EQ(badName.exitCode, 1);
    EXPECT_EQ(badName.err, "quorvel-split: Source file name error...\n") << name;
  }
}

TEST_F(Cli, ASetThatIsNotWholeExitsOneNamingThePiece) {
  test::WriteFile(m_dir / "a.bin", test::RandomBytes(2'500'000, 4));
  test::fs::create_directory(m_dir / "pieces");
  ASSERT_EQ(Run("split " + m_dir / "a.bin" + " " + m_dir / "pieces").exitCode, 0);
  test::WriteFile(m_dir / "pieces/2_a.bin", "cut short");
  test::WriteFile(m_dir / "a.bin", "the file that was there");
  CliRun damaged = Run("join " + m_dir / "pieces/1_a.bin" + " " + m_dir.path().string());
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_EQ(damaged.out, "");
  EXPECT_EQ(damaged.err, "quorvel-split: The piece " + m_dir / "pieces/2_a.bin" +
                             " differs from the set's checksum list: it is damaged or from another "
                             "file.\n");
  EXPECT_EQ(ReadFile(m_dir / "a.bin"), "the file that was there");
}

// Names outside any one code page, which Windows passes on only as UTF-16.
TEST_F(Cli, NamesInAnyScriptSplitAndJoin) {
  const std::string bytes = test::RandomBytes(1'500'000, 8);
  const std::string joined = m_dir / "joined";
  test::fs::create_directory(test::PathOf(joined));
  for (const std::string name : {"报告.doc", "Ångström.txt"}) {
    test::WriteFile(m_dir / name, bytes);
    EXPECT_EQ(Run("split " + m_dir / name + " " + test::Utf8Of(m_dir.path())).exitCode, 0) << name;
    const CliRun join = Run("join " + m_dir / ("1_" + name) + " " + joined);
    EXPECT_EQ(join.out, "Joined successfully\n") << join.err;
    EXPECT_EQ(ReadFile(m_dir / ("joined/" + name)), bytes);
  }
  const CliRun missing = Run("join " + m_dir / "1_报告.txt" + " " + joined);
  EXPECT_EQ(missing.err, "quorvel-split: 没有找到 " + m_dir / "1_报告.txt" + "。\n");
}

#ifndef _WIN32
// Windows has no file-size limit to set on a process, nor sockets among files.
TEST_F(Cli, AFileSizeLimitAndASocketAreReportedAsWhatTheyAre) {
  test::WriteFile(m_dir / "a.bin", std::string(1'500'000, 'q'));
  // ulimit -f counts blocks of 1024 bytes: the first piece cannot be written whole.
  CliRun run = Run("split " + m_dir / "a.bin" + " " + m_dir.path().string(), "ulimit -f 1000; ");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err,
            "quorvel-split: " + m_dir / "1_a.bin" + " 超出了其介质或系统所允许的文件大小。\n");
  EXPECT_FALSE(test::fs::exists(m_dir / "1_a.bin")) << "no partial piece";

  const std::string socketPath = m_dir / "socket";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
  const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
  run = Run("split " + socketPath + " " + m_dir.path().string());
  ::close(listening);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "quorvel-split: " + socketPath + " 不是一个文件。\n");
}
#endif

TEST_F(Cli, UsageErrorsExitTwoWithOneLineAndAPointerToHelp) {
  for (const char *arguments :
       {"", "split onlyone", "join a b c", "split a b --size 2m", "split a b --size 0",
        "split a b --size 0.0M", "split a b --size 1e6", "split a b --size +5",
        "split a b --size -5", "split a b --size 1.5", "split a b --size 12x",
        "join a b --size 1.4M", "frobnicate a b", "split a b --fast"}) {
    CliRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_TRUE(run.err.starts_with("quorvel-split: ")) << arguments;
    EXPECT_TRUE(run.err.ends_with("\nTry 'quorvel-split --help' for more information.\n"))
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2) << run.err;
  }
  for (const char *arguments : {"--help", "split --help", "join a --help"}) {
    CliRun help = Run(arguments);
    EXPECT_EQ(help.exitCode, 0) << arguments;
    EXPECT_TRUE(help.out.starts_with("Usage:")) << arguments;
  }
  // The options each command takes, and which size each medium needs.
  const std::string help = Run("--help").out;
  EXPECT_TRUE(help.starts_with("Usage: quorvel-split split [--size SIZE] [--] SOURCE DEST_FOLDER\n"
                               "       quorvel-split join [--] FIRST_PIECE DEST_FOLDER\n"
                               "       quorvel-split --help | --version\n\n"))
      << help;
  for (const char *line :
       {"  mail    10M         10,000,000 bytes\n", "  CD      700M        700,000,000 bytes\n",
        "  DVD     4.6G        4,600,000,000 bytes\n",
        "  FAT32   4294967295  4,294,967,295 bytes\n"})
    EXPECT_NE(help.find(line), std::string::npos) << line << help;
  EXPECT_EQ(Run("--version").out, "quorvel-split " + std::string{kProductVersion} + "\n");
}

TEST_F(Cli, SizesAreWrittenAsInTheListOrNamedByTheirMediumAndDoubleDashEndsTheOptions) {
  test::WriteFile(m_dir / "-a.bin", std::string(2'500'000, 'z'));
  const auto firstPieceSize = [&](const std::string &sizeOption) {
    const std::string out = m_dir / ("out" + std::to_string(m_runs++));
    test::fs::create_directory(out);
    EXPECT_EQ(RunIn(m_dir.path().string(), "split " + sizeOption + " -- -a.bin " + out).exitCode,
              0);
    return test::fs::file_size(out + "/1_-a.bin");
  };
  EXPECT_EQ(firstPieceSize(""), 1'400'000u);
  EXPECT_EQ(firstPieceSize("--size 1.4M"), 1'400'000u);
  EXPECT_EQ(firstPieceSize("--size 1.2M"), 1'200'000u);
  EXPECT_EQ(firstPieceSize("--size=1.0M"), 1'000'000u);
  EXPECT_EQ(firstPieceSize("--size 0.8M"), 800'000u);
  EXPECT_EQ(firstPieceSize("--size 650000"), 650'000u);
  EXPECT_EQ(firstPieceSize("--size 1.5KiB"), 1'536u);
  EXPECT_EQ(firstPieceSize("--size 2MB"), 2'000'000u);

  // Pieces of 4 GiB and more are taken; the file is shorter than one.
  for (const char *size : {"fat32", "DVD", "4GiB", "5G"}) {
    const CliRun run = RunIn(m_dir.path().string(), std::string{"split --size "} + size +
                                                        " -- -a.bin " + m_dir.path().string());
    EXPECT_EQ(run.exitCode, 1) << size;
    EXPECT_EQ(run.err, "quorvel-split: File length is 2500000 byte, No need to split.\n") << size;
  }
}

TEST_F(Cli, AMissingDestinationAndAFolderAsSourceAreSaidAsWhatTheyAre) {
  test::WriteFile(m_dir / "a.bin", std::string(1'500'000, 'c'));
  test::fs::create_directory(test::PathOf(m_dir / "1_set"));
  struct Expected {
    std::string arguments;
    std::string message;
  };
  for (const auto &[arguments, message] : {
           Expected{"split " + m_dir / "a.bin" + " " + m_dir / "missing",
                    "the destination folder " + m_dir / "missing" + " does not exist."},
           Expected{"join " + m_dir / "1_set" + " " + m_dir / "missing",
                    m_dir / "1_set" + " is a folder, not a file."},
           Expected{"split " + m_dir / "1_set" + " " + m_dir / "",
                    m_dir / "1_set" + " is a folder, not a file."},
           Expected{"split " + m_dir / "a.bin" + " " + m_dir / "a.bin",
                    "the destination " + m_dir / "a.bin" + " is not a folder."},
       }) {
    const CliRun run = Run(arguments);
    EXPECT_EQ(run.exitCode, 1) << arguments;
    EXPECT_EQ(run.err, "quorvel-split: " + message + "\n");
  }
}

#ifndef _WIN32
// A full device and a closed descriptor as the shell makes them; on Windows files are handles,
// which no standard stream can share.
TEST_F(Cli, StandardStreamsThatFailOrAreClosed) {
  EXPECT_EQ(RunRedirected("--help", ">/dev/full"), 1) << "a lost write is a failure";
  EXPECT_NE(ReadFile(m_dir / "stderr").find("cannot write to standard output"), std::string::npos);

  test::WriteFile(m_dir / "a.bin", std::string(1'500'000, 'c'));
  test::fs::create_directory(m_dir / "pieces");
  EXPECT_EQ(RunRedirected("split " + m_dir / "a.bin" + " " + m_dir / "pieces", ">&-"), 0)
      << "a closed stdout takes none of the files' descriptors";
  EXPECT_EQ(test::ReadFile(m_dir / "pieces/1_a.bin"), std::string(1'400'000, 'c'));
}
#endif

#ifdef _WIN32
// What a console of its own showed when the tool ran there with these arguments.
std::string ShownOnConsole(const std::string &arguments, int &status) {
  test::ChildProcess console(test::ProgramBeside("quorvel_test_helper.exe") + " console \"" +
                                 test::ProgramBeside("quorvel-split.exe") + " " + arguments + "\"",
                             true);
  std::string shown;
  for (char byte; (byte = console.ReadByte()) != '\0';)
    shown += byte;
  status = console.Wait();
  return WithoutCarriageReturns(shown);
}

// Characters, not UTF-8 bytes in the console's code page, and the progress line redrawn in place.
TEST_F(Cli, OnAConsoleTheToolWritesCharacters) {
  test::WriteFile(m_dir / "报告.doc", std::string(1'500'000, 'c'));
  int status = -1;
  std::string shown = ShownOnConsole("split " + m_dir / "报告.doc" + " " + m_dir / "", status);
  EXPECT_EQ(status, 0);
  const std::size_t last = shown.rfind("pieces: 2  100 %  1.5 of 1.5 MB  ");
  EXPECT_NE(last, std::string::npos) << shown;
  EXPECT_NE(shown.find(" MB/s", last), std::string::npos) << shown;
  EXPECT_NE(shown.find("\nSplitted successfully\n", last), std::string::npos) << shown;

  shown = ShownOnConsole("split " + m_dir / "Ångström.txt" + " " + m_dir / "", status);
  EXPECT_EQ(status, 1);
  EXPECT_NE(shown.find("quorvel-split: 没有找到 " + m_dir / "Ångström.txt" + "。"),
            std::string::npos)
      << shown;
}

TEST_F(Cli, CtrlCAndCtrlBreakEndTheToolWith130) {
  // CTRL_C_EVENT and CTRL_BREAK_EVENT.
  constexpr unsigned kCtrlC = 0;
  constexpr unsigned kCtrlBreak = 1;
  test::WriteFile(m_dir / "big.bin", "");
  test::fs::resize_file(test::PathOf(m_dir / "big.bin"), 64 << 20);
  for (const unsigned event : {kCtrlC, kCtrlBreak}) {
    const std::string out = m_dir / ("out" + std::to_string(event));
    test::fs::create_directory(test::PathOf(out));
    test::WriteFile(out + "\\1_big.bin", "an older set");
    test::WriteFile(out + "\\2_big.bin", "of two pieces");
    const auto before = test::ContentsOf(test::PathOf(out));
    // A thousand pieces: the split is still running when the event comes, once it holds the set.
    EXPECT_EQ(test::RunAndSendConsoleEvent(test::ProgramBeside("quorvel-split.exe") +
                                               " split --size 65536 " + m_dir / "big.bin" + " " +
                                               out,
                                           out + "\\" + TemporaryNameFor("big.bin"), event),
              130)
        << event;
    EXPECT_EQ(test::ContentsOf(test::PathOf(out)), before) << event;
  }
}

// Started with no standard output, as from a program that gives none: the output is lost, not the
// run.
TEST_F(Cli, AClosedStandardOutputFailsNoRun) {
  test::WriteFile(m_dir / "a.bin", std::string(1'500'000, 'c'));
  test::fs::create_directory(test::PathOf(m_dir / "pieces"));
  const std::string split = test::ProgramBeside("quorvel-split.exe") + " split " + m_dir / "a.bin" +
                            " " + m_dir / "pieces";
  EXPECT_EQ(test::RunProcess(split, "", m_dir / "stderr"), 0) << ReadFile(m_dir / "stderr");
  EXPECT_EQ(ReadFile(m_dir / "pieces/1_a.bin"), std::string(1'400'000, 'c'));
}
#endif

#ifndef _WIN32
// The exit status of the tool run with `stream` a pipe whose reader is gone.
int RunIntoClosedPipe(int stream, const char *argument) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0)
    return -1;
  ::close(pipeEnds[0]);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipeEnds[1], stream);
    ::execl(QUORVEL_SPLIT_EXE, "quorvel-split", argument, nullptr);
    ::_exit(127);
  }
  ::close(pipeEnds[1]);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(Cli, AClosedPipeAsOutputIsAFailureNotAKill) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(RunIntoClosedPipe(STDOUT_FILENO, "--version"), 1);
  EXPECT_THAT(testing::internal::GetCapturedStderr(),
              testing::StartsWith("quorvel-split: cannot write to standard output"));
  EXPECT_EQ(RunIntoClosedPipe(STDERR_FILENO, "--bad"), 1);
}
#endif

#ifndef _WIN32
// Runs the tool on the arguments until it has begun its hidden files in `folder`, then sends it the
// signal; returns its exit status.
int InterruptOnceBegun(const std::vector<std::string> &arguments, const test::fs::path &folder,
                       int signalNumber) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::freopen("/dev/null", "w", stdout);
    std::vector<char *> argv{const_cast<char *>("quorvel-split")};
    for (const std::string &argument : arguments)
      argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(QUORVEL_SPLIT_EXE, argv.data());
    ::_exit(127);
  }
  bool begun = false;
  for (int wait = 0; wait < 100'000 && !begun; ++wait) {
    for (const std::string &name : test::NamesIn(folder))
      begun |= name.starts_with(".quorvel-");
    if (!begun)
      ::usleep(100);
  }
  ::kill(child, signalNumber);
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(begun) << "the run never began its hidden files";
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// On Windows a console's Ctrl+C cannot be sent under Wine; SafeOutput kills a join outright.
TEST_F(Cli, AnInterruptedRunLeavesTheFolderAsItWasAndExitsWithTheSignal) {
  // In memory, and long enough that the run is still going when the signal comes.
  TempDir memory(test::fs::is_directory("/dev/shm") ? "/dev/shm" : test::fs::temp_directory_path());
  for (const char *name : {"1_big.bin", "2_big.bin"}) {
    test::WriteFile(memory / name, "");
    test::fs::resize_file(memory / name, name[0] == '1' ? 256 << 20 : 255 << 20);
  }
  test::fs::create_directory(memory / "out");
  EXPECT_EQ(InterruptOnceBegun({"join", memory / "1_big.bin", memory / "out"}, memory / "out",
                               SIGTERM),
            128 + SIGTERM);
  EXPECT_TRUE(test::NamesIn(memory / "out").empty());

  test::WriteFile(memory / "out/1_big.bin", "an older set");
  test::WriteFile(memory / "out/2_big.bin", "of two pieces");
  const auto before = test::ContentsOf(memory / "out");
  EXPECT_EQ(InterruptOnceBegun({"split", "--size", "65536", memory / "1_big.bin", memory / "out"},
                               memory / "out", SIGHUP),
            128 + SIGHUP);
  EXPECT_EQ(test::ContentsOf(memory / "out"), before);
}
#endif

#ifndef _WIN32
// The shell's prompt, which follows, starts on a line of its own.
TEST_F(Cli, AnInterruptOnATerminalEndsTheProgressLineFirst) {
  test::WriteFile(m_dir / "big.bin", "");
  test::fs::resize_file(m_dir / "big.bin", 64 << 20);
  test::fs::create_directory(m_dir / "out");
  int terminal = -1;
  const pid_t child = ::forkpty(&terminal, nullptr, nullptr, nullptr);
  if (child == 0) {
    // A thousand pieces, each flushed: the split is still running when the signal comes.
    ::execl(QUORVEL_SPLIT_EXE, "quorvel-split", "split", "--size", "64KiB",
            (m_dir / "big.bin").c_str(), (m_dir / "out").c_str(), nullptr);
    ::_exit(127);
  }
  ASSERT_GT(child, 0);
  std::string shown;
  char buffer[512];
  ssize_t count = 0;
  while (shown.find(" MB/s") == std::string::npos &&
         (count = ::read(terminal, buffer, sizeof buffer)) > 0)
    shown.append(buffer, static_cast<std::size_t>(count));
  ::kill(child, SIGINT);
  // Until the terminal's other end has closed.
  while ((count = ::read(terminal, buffer, sizeof buffer)) > 0)
    shown.append(buffer, static_cast<std::size_t>(count));
  ::close(terminal);
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
  EXPECT_NE(shown.find("pieces: "), std::string::npos) << shown;
  EXPECT_TRUE(shown.ends_with("\r\n")) << shown;
}
#endif

// The lines a terminal shows: each redrawing, without the padding over a longer one before.
std::vector<std::string> LinesOf(std::FILE *terminal) {
  std::rewind(terminal);
  std::vector<std::string> lines;
  std::string line;
  for (int c; (c = std::fgetc(terminal)) != EOF;) {
    if (c != '\r' && c != '\n') {
      line += static_cast<char>(c);
    } else if (!line.empty()) {
      lines.push_back(line.substr(0, line.find_last_not_of(' ') + 1));
      line.clear();
    }
  }
  std::fclose(terminal);
  return lines;
}

TEST(ConsoleProgress, RedrawsAtMostFourTimesASecondAndEndsOnTheLastUpdate) {
  using namespace std::chrono_literals;
  const cli::ProgressLine::Clock::time_point start;
  std::FILE *terminal = std::tmpfile();
  {
    // 2.5 MB at 1 MB a second, told every 0.1 s.
    cli::ProgressLine line(terminal, start);
    for (std::uint64_t step = 1; step <= 25; ++step)
      line.Update(step / 10, step * 100'000, 2'500'000, start + step * 100ms);
  }
  const std::vector<std::string> lines = LinesOf(terminal);
  ASSERT_EQ(lines.size(), 9u) << "at 0.1 s, then every 0.3 s up to 2.5 s";
  EXPECT_EQ(lines.front(), "pieces: 0    4 %  0.1 of 2.5 MB  1.0 MB/s") << "no time left yet";
  EXPECT_EQ(lines[1], "pieces: 0   16 %  0.4 of 2.5 MB  1.0 MB/s  0:02 left");
  EXPECT_EQ(lines.back(), "pieces: 2  100 %  2.5 of 2.5 MB  1.0 MB/s  0:00 left");

  terminal = std::tmpfile();
  {
    // Gigabytes, hours, and a last update too soon after the drawing before.
    cli::ProgressLine line(terminal, start);
    line.Update(1, 1'000'000'000, 50'000'000'000, start + 100s);
    line.Update(2, 2'000'000'000, 50'000'000'000, start + 100s + 100ms);
  }
  EXPECT_THAT(LinesOf(terminal),
              ElementsAre("pieces: 1    2 %  1.00 of 50.00 GB  10.0 MB/s  1:21:40 left",
                          "pieces: 2    4 %  2.00 of 50.00 GB  20.0 MB/s  40:02 left"));
}

TEST(ConsoleProgress, AFewLinesForManyPiecesAndTheLastShowsTheWhole) {
  TempDir dir;
  test::WriteFile(dir / "a.bin", std::string(1'000'000, 'p'));
  std::FILE *terminal = std::tmpfile();
  const auto start = std::chrono::steady_clock::now();
  {
    cli::ConsoleHost host(terminal);
    EXPECT_EQ(host.Report(RunSplit({dir / "a.bin", dir.path().string(), 5'000}, host)), 0);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const std::vector<std::string> lines = LinesOf(terminal);
  ASSERT_FALSE(lines.empty());
  EXPECT_LE(static_cast<double>(lines.size()), 2 + took.count() * 4) << "201 pieces";
  EXPECT_TRUE(lines.back().starts_with("pieces: 201  100 %  1.0 of 1.0 MB  ")) << lines.back();
}

} // namespace
} // namespace quorvel
