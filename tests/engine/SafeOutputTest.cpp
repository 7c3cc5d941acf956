#include "engine/PieceSet.h"
#include "engine/StagedFile.h"
#include "tests/engine/SplitJoinFixture.h"

#include <csignal>
#include <fstream>
#include <gmock/gmock.h>
#include <memory>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quorvel {
namespace {

namespace fs = test::fs;
using test::NamesIn;
using test::ReadFile;
using test::RecordingHost;
using test::TempDir;
using test::WriteFile;
using ::testing::ElementsAre;

using SafeOutput = SplitJoin;

struct PiecesAndFolder {
  fs::path pieces;
  fs::path dest;
};

// Pieces "first," and "last" of `src` in p/, and an empty folder d/ to join them into.
PiecesAndFolder TwoPiecesAndAFolder(const fs::path &parent) {
  const PiecesAndFolder made{parent / "p", parent / "d"};
  fs::create_directories(made.pieces);
  fs::create_directories(made.dest);
  WriteFile(made.pieces / "1_src", "first,");
  WriteFile(made.pieces / "2_src", "last");
  return made;
}

#ifndef _WIN32
// Symbolic links need an administrator on Windows.
TEST_F(SafeOutput, NoRunWritesThroughASymbolicLinkOrIntoAFifo) {
  const auto [pieces, dest] = TwoPiecesAndAFolder(m_dir.path());

  fs::create_symlink("../p/1_src", dest / "src");
  RecordingHost viaSymlink;
  ASSERT_EQ(Join(viaSymlink, pieces / "1_src", dest), 0);
  EXPECT_EQ(ReadFile(pieces / "1_src"), "first,");
  EXPECT_FALSE(fs::is_symlink(dest / "src"));
  EXPECT_EQ(ReadFile(dest / "src"), "first,last");

  fs::remove(dest / "src");
  ASSERT_EQ(::mkfifo((dest / "src").c_str(), 0600), 0);
  RecordingHost ontoFifo;
  EXPECT_EQ(Join(ontoFifo, pieces / "1_src", dest), 1);
  EXPECT_THAT(ontoFifo.Messages(),
              ElementsAre(kFileError + "对 " + (dest / "src").string() + " 的存取被拒绝。"));
  EXPECT_TRUE(fs::is_fifo(dest / "src")) << "a name that is no file is never replaced";

  const std::string bytes = test::RandomBytes(3'000'000, 5);
  WriteFile(m_dir / "src", bytes);
  fs::create_symlink("1_src", dest / "3_src");
  ASSERT_EQ(Split(m_dir / "src", dest), 0);
  EXPECT_EQ(ReadFile(dest / "1_src"), bytes.substr(0, 1'400'000)) << "piece 3 went onto piece 1";
  EXPECT_EQ(ReadFile(dest / "3_src"), bytes.substr(2'800'000));
}
#endif

TEST_F(SafeOutput, NoRunWritesThroughAHardLinkOntoItsInputs) {
  const auto [pieces, dest] = TwoPiecesAndAFolder(m_dir.path());
  fs::create_hard_link(pieces / "1_src", dest / "src");
  RecordingHost join;
  ASSERT_EQ(Join(join, pieces / "1_src", dest), 0);
  EXPECT_EQ(ReadFile(pieces / "1_src"), "first,");
  EXPECT_EQ(ReadFile(dest / "src"), "first,last");

  const std::string bytes = test::RandomBytes(3'000'000, 5);
  WriteFile(m_dir / "src", bytes);
  WriteFile(dest / "1_src", "an earlier piece");
  fs::create_hard_link(dest / "1_src", dest / "3_src");
  ASSERT_EQ(Split(m_dir / "src", dest), 0);
  EXPECT_EQ(ReadFile(dest / "1_src"), bytes.substr(0, 1'400'000)) << "piece 3 went onto piece 1";
  EXPECT_EQ(ReadFile(dest / "3_src"), bytes.substr(2'800'000));

  // A piece name linked to the source itself is the split's own to replace where the system lets
  // a name go while its file is open; Windows does not, and the split says what the name is.
  fs::remove(dest / "2_src");
  fs::create_hard_link(m_dir / "src", dest / "2_src");
  RecordingHost split;
#ifdef _WIN32
  EXPECT_EQ(Split(split, m_dir / "src", dest), 1);
  EXPECT_THAT(split.Messages(), ElementsAre(kFileError + test::Utf8Of(dest / "2_src") +
                                            " 是正在分割的文件的另一个名称。"));
  EXPECT_EQ(ReadFile(dest / "2_src"), bytes);
#else
  ASSERT_EQ(Split(split, m_dir / "src", dest), 0) << testing::PrintToString(split.Messages());
  EXPECT_EQ(ReadFile(dest / "2_src"), bytes.substr(1'400'000, 1'400'000));
#endif
  EXPECT_EQ(ReadFile(m_dir / "src"), bytes);
}

#ifndef _WIN32
// Most programs take no flock: a file one of them has open, locked or not, is neither replaced by
// a join nor removed as a split's stale piece.
TEST_F(SafeOutput, AFileAnotherProgramHasOpenIsNeverReplacedOrRemoved) {
  const auto [pieces, dest] = TwoPiecesAndAFolder(m_dir.path());
  WriteFile(dest / "src", "another program's");
  WriteFile(m_dir / "f", test::RandomBytes(1'500'000, 4));
  const auto sharingViolation = [](const fs::path &path) {
    return kFileError + "在存取 " + path.string() + " 时发生共享违例。";
  };
  for (const test::Hold hold : {test::Hold::openOnly, test::Hold::posixLock}) {
    const test::LockHolder output(dest / "src", hold);
    RecordingHost join;
    EXPECT_EQ(Join(join, pieces / "1_src", dest), 1);
    EXPECT_THAT(join.Messages(), ElementsAre(sharingViolation(dest / "src")));

    WriteFile(dest / "3_f", "stale");
    const test::LockHolder stalePiece(dest / "3_f", hold);
    RecordingHost split;
    EXPECT_EQ(Split(split, m_dir / "f", dest), 1);
    EXPECT_THAT(split.Messages(), ElementsAre(sharingViolation(dest / "3_f")));
  }
  EXPECT_EQ(ReadFile(dest / "src"), "another program's");
  EXPECT_EQ(ReadFile(dest / "3_f"), "stale");
}
#endif

TEST_F(SafeOutput, ASplitRemovesTheContinuationAnEarlierLongerSplitLeft) {
  const std::string bytes = test::RandomBytes(2'000'000, 9);
  WriteFile(m_dir / "f", bytes);
  const fs::path out = m_dir.path() / "o";
  fs::create_directories(out);
  for (int n = 3; n <= 6; ++n)
    WriteFile(out / PieceSet("f").PieceName(n), "stale");
  WriteFile(out / "8_f", "after a gap");

  ASSERT_EQ(Split(m_dir / "f", out), 0);
  EXPECT_THAT(NamesIn(out), ElementsAre("1_f", "2_f", "f.sha256")) << "whatever the gaps";
  TempDir joined;
  RecordingHost joiner;
  ASSERT_EQ(Join(joiner, out / "1_f", joined.path()), 0);
  EXPECT_EQ(ReadFile(joined / "f"), bytes);

  // A folder under a name the set takes stops it: before it copies anything, or, when the folder
  // comes while it copies, as the set takes its names, which all go back.
  WriteFile(m_dir / "f", test::RandomBytes(3'000'000, 10));
  const auto before = test::ContentsOf(out);
  RecordingHost changed;
  changed.m_onRepaint = [&] {
    if (changed.m_strStatus == "1Files created")
      fs::create_directories(out / "3_f");
  };
  try {
    Split(changed, m_dir / "f", out);
    ADD_FAILURE() << "a folder was taken for a piece";
  } catch (const FileException &failure) {
    EXPECT_EQ(failure.GetErrorMessage(), "对 " + (out / "3_f").string() + " 的存取被拒绝。");
  }
  auto withFolder = before;
  withFolder["3_f"] = "<folder>";
  EXPECT_EQ(test::ContentsOf(out), withFolder);

  RecordingHost blocked;
  EXPECT_EQ(Split(blocked, m_dir / "f", out), 1);
  EXPECT_THAT(blocked.Messages(),
              ElementsAre(kFileError + "对 " + (out / "3_f").string() + " 的存取被拒绝。"));
  EXPECT_EQ(test::ContentsOf(out), withFolder);
}

TEST_F(SafeOutput, ASetIsHeldWhileItIsWritten) {
  fs::create_directories(m_dir.path() / "a");
  fs::create_directories(m_dir.path() / "b");
  const std::string bytes = test::RandomBytes(3'000'000, 21);
  WriteFile(m_dir / "a/f", bytes);
  WriteFile(m_dir / "b/f", test::RandomBytes(3'000'000, 22));
  const fs::path out = m_dir.path() / "o";
  fs::create_directories(out);
  const std::string held = kFileError + "在存取 " + (out / "1_f").string() + " 时发生共享违例。";
  ASSERT_EQ(Split(m_dir / "b/f", out), 0) << "an older set, which a join could take meanwhile";

  RecordingHost first;
  RecordingHost second;
  RecordingHost joiner;
  first.m_onRepaint = [&] {
    if (first.m_strStatus != "2Files created")
      return;
    EXPECT_EQ(Split(second, m_dir / "b/f", out), 1);
    EXPECT_EQ(Join(joiner, out / "1_f", m_dir.path()), 1);
  };
  ASSERT_EQ(Split(first, m_dir / "a/f", out), 0);
  EXPECT_THAT(second.Messages(), ElementsAre(held));
  EXPECT_THAT(joiner.Messages(), ElementsAre(held));

  RecordingHost after;
  ASSERT_EQ(Join(after, out / "1_f", m_dir.path()), 0) << "the set is free once the split ends";
  EXPECT_EQ(ReadFile(m_dir / "f"), bytes);
}

TEST_F(SafeOutput, OnlyTheLengthMeasuredAtTheStartIsCut) {
  const std::string source = m_dir / "log";
  const std::string bytes = test::RandomBytes(3'000'000, 13);
  WriteFile(source, bytes);
  TempDir grown;
  RecordingHost growing;
  growing.m_onRepaint = [&] {
    std::ofstream(source, std::ios::app | std::ios::binary) << std::string(2'000'000, 'g');
  };
  ASSERT_EQ(Split(growing, source, grown.path()), 0);
  EXPECT_EQ(growing.m_strStatus, "3Files created");
  RecordingHost joiner;
  ASSERT_EQ(Join(joiner, grown / "1_log", m_dir.path()), 0);
  EXPECT_EQ(ReadFile(m_dir / "log"), bytes);

  TempDir shrunk;
  RecordingHost shrinking;
  shrinking.m_onRepaint = [&] { fs::resize_file(source, 2'000'000); };
  try {
    Split(shrinking, source, shrunk.path());
    ADD_FAILURE() << "a source that ends early passed for a whole one";
  } catch (const FileException &failure) {
    EXPECT_EQ(failure.GetErrorMessage(), "试图越过其尾端对 " + source + " 进行读写。");
  }
  EXPECT_THAT(NamesIn(shrunk.path()), ElementsAre()) << "nothing that joins";
}

TEST_F(SafeOutput, AnOutputNameTakenDuringTheJoinIsLeftToItsHolder) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two");
  TempDir out;
  std::unique_ptr<test::LockHolder> holder;
  RecordingHost host;
  host.m_onRepaint = [&] {
    if (holder)
      return;
    WriteFile(out / "a.bin", "another program's");
    holder = std::make_unique<test::LockHolder>(out / "a.bin", test::Hold::shared);
  };
  try {
    Join(host, m_dir / "1_a.bin", out.path());
    ADD_FAILURE() << "the join replaced a file another program holds";
  } catch (const FileException &failure) {
    EXPECT_EQ(failure.m_cause, FileCause::sharingViolation);
  }
  holder.reset();
  EXPECT_EQ(ReadFile(out / "a.bin"), "another program's");
  EXPECT_THAT(NamesIn(out.path()), ElementsAre("a.bin"));
}

#ifdef _WIN32
// CON, NUL, COM1 and the like are devices in every folder and with any extension.
TEST_F(SafeOutput, ADeviceNameIsRefusedAsTheJoinedFile) {
  WriteFile(m_dir / "1_nul.txt", "piece");
  TempDir out;
  RecordingHost host;
  EXPECT_EQ(Join(host, m_dir / "1_nul.txt", out.path()), 1);
  EXPECT_THAT(host.Messages(),
              ElementsAre(kFileError + "对 " + out / "nul.txt" + " 的存取被拒绝。"));
  EXPECT_THAT(NamesIn(out.path()), ElementsAre());
}
#endif

#ifndef _WIN32
// Every signal whose default action ends the program puts back the folder a split writes into,
// and one that was ignored when the run started leaves the run going.
TEST_F(SafeOutput, EverySignalThatEndsTheRunLeavesTheFolderAsItWas) {
  fs::create_directory(m_dir.path() / "older");
  WriteFile(m_dir / "older/f", test::RandomBytes(3'000'000, 11));
  WriteFile(m_dir / "f", test::RandomBytes(3'000'000, 12));
  TempDir out;
  ASSERT_EQ(Split(m_dir / "older/f", out.path()), 0);
  const auto before = test::ContentsOf(out.path());
  std::vector<int> endingSignals{SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,  SIGALRM,
                                 SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};
  for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime)
    endingSignals.push_back(realTime);
  for (int signalNumber : endingSignals) {
    const pid_t child = ::fork();
    if (child == 0) {
      RemoveTemporaryFilesOnInterrupt();
      RecordingHost host;
      host.m_onRepaint = [&] {
        if (host.m_strStatus == "2Files created")
          ::raise(signalNumber);
      };
      host.m_strSourcePath = m_dir / "f";
      host.m_strDestFolder = out.path();
      SplitFile(host);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "signal " << signalNumber;
    EXPECT_EQ(WEXITSTATUS(status), 128 + signalNumber);
    EXPECT_EQ(test::ContentsOf(out.path()), before) << "signal " << signalNumber;
  }

  const pid_t child = ::fork();
  if (child == 0) {
    std::signal(SIGHUP, SIG_IGN);
    RemoveTemporaryFilesOnInterrupt();
    RecordingHost host;
    host.m_onRepaint = [] { ::raise(SIGHUP); };
    host.m_strSourcePath = m_dir / "f";
    host.m_strDestFolder = out.path();
    ::_exit(SplitFile(host));
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "an ignored hang-up stays so";
  EXPECT_EQ(ReadFile(out / "1_f"), ReadFile(m_dir / "f").substr(0, 1'400'000));
}
#endif

#ifndef _WIN32
// The dialog and the hash run threads of their own: a signal one of them takes while another
// creates a temporary file still finds that file.
TEST_F(SafeOutput, ASignalTakenByAnotherThreadRemovesTheTemporaryBeingCreated) {
  TempDir out;
  for (int attempt = 0; attempt < 40; ++attempt) {
    const pid_t child = ::fork();
    if (child == 0) {
      RemoveTemporaryFilesOnInterrupt();
      std::thread creator([&] {
        for (;;) {
          StagedFile piece;
          piece.Open(out / "1_f", nullptr);
        }
      });
      creator.detach();
      ::usleep(2000 + 97 * attempt);
      ::raise(SIGTERM);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + SIGTERM);
    ASSERT_THAT(NamesIn(out.path()), ElementsAre()) << "attempt " << attempt;
  }
}
#endif

TEST_F(SafeOutput, AnInterruptedJoinLeavesTheFileThatWasThere) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two");
  TempDir out;
  WriteFile(out / "a.bin", "before");
#ifdef _WIN32
  // Killed outright while its output is half written: nothing of the program's own runs then.
  test::ChildProcess join(test::ProgramBeside("quorvel_test_helper.exe") + " join " +
                          m_dir / "1_a.bin" + " " + test::Utf8Of(out.path()));
  ASSERT_EQ(join.ReadByte(), 'r');
  join.Kill(143);
#else
  const pid_t child = ::fork();
  if (child == 0) {
    RemoveTemporaryFilesOnInterrupt();
    RecordingHost host;
    host.m_onRepaint = [] { ::raise(SIGTERM); };
    host.m_strSourcePath = m_dir / "1_a.bin";
    host.m_strDestFolder = out.path();
    JoinFiles(host);
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM);
#endif
  EXPECT_THAT(NamesIn(out.path()), ElementsAre("a.bin")) << "the temporary file was removed";
  EXPECT_EQ(ReadFile(out / "a.bin"), "before");
}

} // namespace
} // namespace quorvel
