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
using test::Done;
using test::NamesIn;
using test::PieceWatch;
using test::ReadFile;
using test::Said;
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
  ASSERT_TRUE(Done(Join(pieces / "1_src", dest)));
  EXPECT_EQ(ReadFile(pieces / "1_src"), "first,");
  EXPECT_FALSE(fs::is_symlink(dest / "src"));
  EXPECT_EQ(ReadFile(dest / "src"), "first,last");

  fs::remove(dest / "src");
  ASSERT_EQ(::mkfifo((dest / "src").c_str(), 0600), 0);
  EXPECT_EQ(Said(Join(pieces / "1_src", dest)), "对 " + (dest / "src").string() + " 的存取被拒绝。");
  EXPECT_TRUE(fs::is_fifo(dest / "src")) << "a name that is no file is never replaced";

  const std::string bytes = test::RandomBytes(3'000'000, 5);
  WriteFile(m_dir / "src", bytes);
  fs::create_symlink("1_src", dest / "3_src");
  ASSERT_TRUE(Done(Split(m_dir / "src", dest)));
  EXPECT_EQ(ReadFile(dest / "1_src"), bytes.substr(0, 1'400'000)) << "piece 3 went onto piece 1";
  EXPECT_EQ(ReadFile(dest / "3_src"), bytes.substr(2'800'000));
}
#endif

TEST_F(SafeOutput, NoRunWritesThroughAHardLinkOntoItsInputs) {
  const auto [pieces, dest] = TwoPiecesAndAFolder(m_dir.path());
  fs::create_hard_link(pieces / "1_src", dest / "src");
  ASSERT_TRUE(Done(Join(pieces / "1_src", dest)));
  EXPECT_EQ(ReadFile(pieces / "1_src"), "first,");
  EXPECT_EQ(ReadFile(dest / "src"), "first,last");

  const std::string bytes = test::RandomBytes(3'000'000, 5);
  WriteFile(m_dir / "src", bytes);
  WriteFile(dest / "1_src", "an earlier piece");
  fs::create_hard_link(dest / "1_src", dest / "3_src");
  ASSERT_TRUE(Done(Split(m_dir / "src", dest)));
  EXPECT_EQ(ReadFile(dest / "1_src"), bytes.substr(0, 1'400'000)) << "piece 3 went onto piece 1";
  EXPECT_EQ(ReadFile(dest / "3_src"), bytes.substr(2'800'000));

  // A piece name linked to the source itself is the split's own to replace where the system lets
  // a name go while its file is open; Windows does not, and the split says what the name is.
  fs::remove(dest / "2_src");
  fs::create_hard_link(m_dir / "src", dest / "2_src");
#ifdef _WIN32
  EXPECT_EQ(Said(Split(m_dir / "src", dest)),
            test::Utf8Of(dest / "2_src") + " 是正在分割的文件的另一个名称。");
  EXPECT_EQ(ReadFile(dest / "2_src"), bytes);
#else
  ASSERT_TRUE(Done(Split(m_dir / "src", dest)));
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
    return "在存取 " + path.string() + " 时发生共享违例。";
  };
  for (const test::Hold hold : {test::Hold::openOnly, test::Hold::posixLock}) {
    const test::LockHolder output(dest / "src", hold);
    EXPECT_EQ(Said(Join(pieces / "1_src", dest)), sharingViolation(dest / "src"));

    WriteFile(dest / "3_f", "stale");
    const test::LockHolder stalePiece(dest / "3_f", hold);
    EXPECT_EQ(Said(Split(m_dir / "f", dest)), sharingViolation(dest / "3_f"));
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

  ASSERT_TRUE(Done(Split(m_dir / "f", out)));
  EXPECT_THAT(NamesIn(out), ElementsAre("1_f", "2_f", "f.sha256")) << "whatever the gaps";
  TempDir joined;
  ASSERT_TRUE(Done(Join(out / "1_f", joined.path())));
  EXPECT_EQ(ReadFile(joined / "f"), bytes);

  // A folder under a name the set takes stops it: before it copies anything, or, when the folder
  // comes while it copies, as the set takes its names, which all go back.
  WriteFile(m_dir / "f", test::RandomBytes(3'000'000, 10));
  const auto before = test::ContentsOf(out);
  PieceWatch changed;
  changed.m_onPiece = [&](std::uint64_t pieceNumber) {
    if (pieceNumber == 1)
      fs::create_directories(out / "3_f");
  };
  const Outcome taken = Split(changed, m_dir / "f", out);
  EXPECT_EQ(taken.stage, Stage::copy) << "a folder was taken for a piece";
  EXPECT_EQ(Said(taken), "对 " + (out / "3_f").string() + " 的存取被拒绝。");
  auto withFolder = before;
  withFolder["3_f"] = "<folder>";
  EXPECT_EQ(test::ContentsOf(out), withFolder);

  const Outcome blocked = Split(m_dir / "f", out);
  EXPECT_EQ(blocked.stage, Stage::open);
  EXPECT_EQ(Said(blocked), "对 " + (out / "3_f").string() + " 的存取被拒绝。");
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
  const std::string held = "在存取 " + (out / "1_f").string() + " 时发生共享违例。";
  ASSERT_TRUE(Done(Split(m_dir / "b/f", out))) << "an older set, which a join could take meanwhile";

  PieceWatch first;
  first.m_onPiece = [&](std::uint64_t pieceNumber) {
    if (pieceNumber != 2)
      return;
    EXPECT_EQ(Said(Split(m_dir / "b/f", out)), held);
    EXPECT_EQ(Said(Join(out / "1_f", m_dir.path())), held);
  };
  ASSERT_TRUE(Done(Split(first, m_dir / "a/f", out)));
  ASSERT_TRUE(Done(Join(out / "1_f", m_dir.path()))) << "the set is free once the split ends";
  EXPECT_EQ(ReadFile(m_dir / "f"), bytes);
}

TEST_F(SafeOutput, OnlyTheLengthMeasuredAtTheStartIsCut) {
  const std::string source = m_dir / "log";
  const std::string bytes = test::RandomBytes(3'000'000, 13);
  WriteFile(source, bytes);
  TempDir grown;
  PieceWatch growing;
  growing.m_onPiece = [&](std::uint64_t) {
    std::ofstream(source, std::ios::app | std::ios::binary) << std::string(2'000'000, 'g');
  };
  ASSERT_TRUE(Done(Split(growing, source, grown.path())));
  EXPECT_EQ(growing.m_pieces.back(), 3u);
  ASSERT_TRUE(Done(Join(grown / "1_log", m_dir.path())));
  EXPECT_EQ(ReadFile(m_dir / "log"), bytes);

  TempDir shrunk;
  PieceWatch shrinking;
  shrinking.m_onPiece = [&](std::uint64_t) { fs::resize_file(source, 2'000'000); };
  const Outcome cutShort = Split(shrinking, source, shrunk.path());
  EXPECT_EQ(cutShort.stage, Stage::copy) << "a source that ends early passed for a whole one";
  EXPECT_EQ(Said(cutShort), "试图越过其尾端对 " + source + " 进行读写。");
  EXPECT_THAT(NamesIn(shrunk.path()), ElementsAre()) << "nothing that joins";
}

TEST_F(SafeOutput, AnOutputNameTakenDuringTheJoinIsLeftToItsHolder) {
  WriteFile(m_dir / "1_a.bin", "one,");
  WriteFile(m_dir / "2_a.bin", "two");
  TempDir out;
  std::unique_ptr<test::LockHolder> holder;
  PieceWatch watch;
  watch.m_onPiece = [&](std::uint64_t) {
    if (holder)
      return;
    WriteFile(out / "a.bin", "another program's");
    holder = std::make_unique<test::LockHolder>(out / "a.bin", test::Hold::shared);
  };
  const Outcome join = Join(watch, m_dir / "1_a.bin", out.path());
  EXPECT_EQ(join.stage, Stage::copy) << "the join replaced a file another program holds";
  EXPECT_EQ(join.failure.m_cause, FileCause::sharingViolation);
  holder.reset();
  EXPECT_EQ(ReadFile(out / "a.bin"), "another program's");
  EXPECT_THAT(NamesIn(out.path()), ElementsAre("a.bin"));
}

#ifdef _WIN32
// CON, NUL, COM1 and the like are devices in every folder and with any extension.
TEST_F(SafeOutput, ADeviceNameIsRefusedAsTheJoinedFile) {
  WriteFile(m_dir / "1_nul.txt", "piece");
  TempDir out;
  EXPECT_EQ(Said(Join(m_dir / "1_nul.txt", out.path())), "对 " + out / "nul.txt" + " 的存取被拒绝。");
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
  ASSERT_TRUE(Done(Split(m_dir / "older/f", out.path())));
  const auto before = test::ContentsOf(out.path());
  std::vector<int> endingSignals{SIGHUP,  SIGINT,    SIGQUIT, SIGTERM, SIGUSR1, SIGUSR2,  SIGALRM,
                                 SIGXCPU, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSTKFLT};
  for (int realTime = SIGRTMIN; realTime <= SIGRTMAX; ++realTime)
    endingSignals.push_back(realTime);
  for (int signalNumber : endingSignals) {
    const pid_t child = ::fork();
    if (child == 0) {
      RemoveTemporaryFilesOnInterrupt();
      PieceWatch watch;
      watch.m_onPiece = [&](std::uint64_t pieceNumber) {
        if (pieceNumber == 2)
          ::raise(signalNumber);
      };
      Split(watch, m_dir / "f", out.path());
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
    PieceWatch watch;
    watch.m_onPiece = [](std::uint64_t) { ::raise(SIGHUP); };
    ::_exit(Done(Split(watch, m_dir / "f", out.path())) ? 0 : 1);
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
    PieceWatch watch;
    watch.m_onPiece = [](std::uint64_t) { ::raise(SIGTERM); };
    Join(watch, m_dir / "1_a.bin", out.path());
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
