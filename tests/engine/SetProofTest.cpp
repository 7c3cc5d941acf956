// A join says "done" only for a whole set that one split made, and a split that does not finish
// leaves no set that joins.

#include "engine/JoinRun.h"
#include "engine/SplitRun.h"
#include "engine/StagedFile.h"
#include "engine/TemporaryName.h"
#include "tests/engine/SplitJoinFixture.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <gmock/gmock.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/resource.h>
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

std::string Missing(const std::string &piecePath) {
  return "The piece " + piecePath + " is missing: the set cannot be joined.";
}
std::string Differs(const std::string &piecePath) {
  return "The piece " + piecePath +
         " differs from the set's checksum list: it is damaged or from another file.";
}

// Stops a run at the given piece, as the dialog's cancel will.
class StopAt final : public Progress {
public:
  explicit StopAt(std::uint64_t pieceNumber) : m_pieceNumber(pieceNumber) {}
  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t) override {
    return pieceNumber == m_pieceNumber ? Flow::stop : Flow::proceed;
  }

private:
  std::uint64_t m_pieceNumber;
};

class SetProof : public SplitJoin {
protected:
  // A 5,000,000-byte report.doc cut into pieces of 1.4M, 1.4M, 1.4M and 0.8M in pieces/.
  void SetUp() override {
    m_bytes = test::RandomBytes(5'000'000, 41);
    WriteFile(m_dir / "report.doc", m_bytes);
    fs::create_directory(m_pieces);
    ASSERT_TRUE(Done(Split(m_dir / "report.doc", m_pieces)));
  }

  std::string Piece(int pieceNumber) const {
    return test::Utf8Of(m_pieces / PieceSet("report.doc").PieceName(pieceNumber));
  }

  // Joins the pieces into a folder where a good file of the output's name waits; a refused join
  // leaves it as it was and nothing beside it. Returns what it said.
  std::string RefusedJoin() {
    TempDir out;
    WriteFile(out / "report.doc", "a good file");
    const Outcome join = Join(Piece(1), out.path());
    EXPECT_NE(join.kind, Outcome::Kind::done);
    EXPECT_EQ(ReadFile(out / "report.doc"), "a good file");
    EXPECT_THAT(NamesIn(out.path()), ElementsAre("report.doc"));
    return Said(join);
  }

  // Whether a join says done, and gives back the source.
  bool Joins(bool *sameBytes = nullptr) {
    TempDir out;
    const bool done = Join(Piece(1), out.path()).kind == Outcome::Kind::done;
    if (sameBytes)
      *sameBytes = done && ReadFile(out / "report.doc") == m_bytes;
    return done;
  }

  const fs::path m_pieces = m_dir.path() / "pieces";
  std::string m_bytes;
};

TEST_F(SetProof, AListedSetProvesEveryPieceBeforeItSaysDone) {
  bool sameBytes = false;
  ASSERT_TRUE(Joins(&sameBytes));
  EXPECT_TRUE(sameBytes);
  fs::rename(Piece(4), m_dir / "held back");
  EXPECT_EQ(RefusedJoin(), (Missing(Piece(4))));
  fs::rename(m_dir / "held back", Piece(4));
  const std::string last = ReadFile(Piece(4));
  WriteFile(Piece(4), "X" + last.substr(1));
  EXPECT_EQ(RefusedJoin(), (Differs(Piece(4))));
  WriteFile(Piece(4), last);

  const std::string second = ReadFile(Piece(2));
  fs::rename(Piece(2), m_dir / "held back");
  EXPECT_EQ(RefusedJoin(), (Missing(Piece(2))));
  WriteFile(Piece(2), second.substr(0, second.size() / 2));
  EXPECT_EQ(RefusedJoin(), (Differs(Piece(2))));
  WriteFile(Piece(2), "");
  EXPECT_EQ(RefusedJoin(), (Differs(Piece(2))));
  std::string damaged = second;
  damaged[700'000] ^= 1;
  WriteFile(Piece(2), damaged);
  EXPECT_EQ(RefusedJoin(), (Differs(Piece(2))));
#ifndef _WIN32
  fs::remove(Piece(2));
  ASSERT_EQ(::mkfifo(Piece(2).c_str(), 0600), 0);
  EXPECT_EQ(RefusedJoin(), ("The piece " + Piece(2) +
                                         " is not a file: the set cannot be joined."));
  fs::remove(Piece(2));
#endif
  WriteFile(Piece(2), second);

  // A list that lost its last line still lists a set, a shorter one: its first line tells.
  const std::string listPath = test::Utf8Of(m_pieces / "report.doc.sha256");
  const std::string list = ReadFile(listPath);
  const std::string lastLineLost = list.substr(0, list.rfind('\n', list.size() - 2) + 1);
  WriteFile(listPath, lastLineLost);
  EXPECT_EQ(RefusedJoin(), (listPath +
                                         ", line 1, gives a whole length of 5000000 bytes, but "
                                         "the listed pieces hold 4200000: the set cannot be "
                                         "joined."));
  WriteFile(listPath, lastLineLost.substr(lastLineLost.find('\n') + 1));
  EXPECT_EQ(RefusedJoin(), ("The piece " + Piece(4) +
                                         " is not in the set's checksum list: the set cannot be "
                                         "joined."));
  WriteFile(listPath, "# report.doc: 5000000 bytes\n");
  EXPECT_EQ(RefusedJoin(), (listPath +
                                         " has no line for piece 1: the set cannot be joined."));
  WriteFile(listPath, list);
  EXPECT_TRUE(Joins());
}

TEST_F(SetProof, WithoutAListTheSetMustBeWhatASplitMakes) {
  fs::remove(m_pieces / "report.doc.sha256");
  bool sameBytes = false;
  ASSERT_TRUE(Joins(&sameBytes)) << "an intact set of an earlier version";
  EXPECT_TRUE(sameBytes);

  WriteFile(m_pieces / "6_report.doc", "after a gap");
  EXPECT_EQ(RefusedJoin(), (Missing(Piece(5)))) << "a gap, and a piece after it";
  fs::remove(m_pieces / "6_report.doc");
  WriteFile(Piece(3), ReadFile(Piece(3)).substr(1));
  EXPECT_THAT(
      RefusedJoin(),
      ("The piece " + Piece(3) +
                  " is not as long as the first piece: it is damaged or from another file."));
  fs::remove(Piece(3));
  fs::remove(Piece(4));
  EXPECT_EQ(RefusedJoin(), (Missing(Piece(3)))) << "ends with a piece as long";
  fs::remove(Piece(2));
  EXPECT_EQ(RefusedJoin(), (Missing(Piece(2)))) << "a lone first piece";
}

TEST_F(SetProof, AFirstPieceIsOneUnderscoreAndAName) {
  fs::copy_file(Piece(1), m_pieces / "10_report.doc");
  EXPECT_EQ(Join(m_pieces / "10_report.doc", m_dir.path()).refusal, Refusal::notFirstPiece);
  EXPECT_FALSE(fs::exists(m_dir.path() / "_report.doc"));
}

TEST_F(SetProof, AStoppedSplitLeavesTheFolderAsItFoundIt) {
  WriteFile(m_dir / "report.doc", test::RandomBytes(5'000'000, 42));
  const auto before = test::ContentsOf(m_pieces);
  StopAt stop(2);
  EXPECT_EQ(RunSplit({m_dir / "report.doc", test::Utf8Of(m_pieces), 1'400'000}, stop).kind,
            Outcome::Kind::cancelled);
  EXPECT_EQ(test::ContentsOf(m_pieces), before) << "the older set as it was, nothing beside it";

#ifdef _WIN32
  // Killed outright once the first piece is copied: its temporary files go with the process.
  test::ChildProcess split(test::ProgramBeside("quorvel_test_helper.exe") + " split " +
                           m_dir / "report.doc" + " " + test::Utf8Of(m_pieces));
  ASSERT_EQ(split.ReadByte(), 'r');
  split.Kill(143);
  EXPECT_EQ(test::ContentsOf(m_pieces), before);
#else
  // Ended by a signal, or killed outright, once every piece is copied.
  for (int signalNumber : {SIGTERM, SIGKILL}) {
    const pid_t child = ::fork();
    if (child == 0) {
      RemoveTemporaryFilesOnInterrupt();
      PieceWatch watch;
      watch.m_onPiece = [&](std::uint64_t pieceNumber) {
        if (pieceNumber == 4)
          ::raise(signalNumber);
      };
      Split(watch, m_dir / "report.doc", m_pieces);
      ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(signalNumber == SIGKILL ? WIFSIGNALED(status) : WEXITSTATUS(status) == 143);
    if (signalNumber == SIGTERM) {
      EXPECT_EQ(test::ContentsOf(m_pieces), before);
    }
    bool sameBytes = false;
    EXPECT_TRUE(Joins(&sameBytes) && sameBytes) << "the older set still joins " << signalNumber;
  }
  EXPECT_EQ(NamesIn(m_pieces).size(), before.size() + 1) << "what the kill left";
#endif
  // The next split clears what a kill left, a killed join's file too, and replaces the older set
  // whole.
  WriteFile(m_pieces / RandomTemporaryName(), "a killed join's");
  ASSERT_TRUE(Done(Split(m_dir / "report.doc", m_pieces)));
  EXPECT_THAT(NamesIn(m_pieces), ElementsAre("1_report.doc", "2_report.doc", "3_report.doc",
                                             "4_report.doc", "report.doc.sha256"));
}

TEST_F(SetProof, AStoppedJoinLeavesTheFileThatWasThere) {
  TempDir out;
  WriteFile(out / "report.doc", "a good file");
  StopAt stop(2);
  EXPECT_EQ(RunJoin({Piece(1), test::Utf8Of(out.path())}, stop).kind, Outcome::Kind::cancelled);
  EXPECT_THAT(NamesIn(out.path()), ElementsAre("report.doc"));
  EXPECT_EQ(ReadFile(out / "report.doc"), "a good file");
}

TEST_F(SetProof, AJoinHoldsItsSetForItsWholeRun) {
  TempDir out;
  PieceWatch joiner;
  const std::string sharingViolation = "在存取 " + Piece(1) + " 时发生共享违例。";
  joiner.m_onPiece = [&](std::uint64_t pieceNumber) {
    if (pieceNumber != 2)
      return;
#ifdef _WIN32
    EXPECT_EQ(Said(Split(m_dir / "report.doc", m_pieces, 1'200'000)), sharingViolation);
#else
    // From another process: on Linux a run may replace what its own process reads, as a piece
    // name linked to its source.
    const pid_t child = ::fork();
    if (child == 0) {
      const bool refused =
          Said(Split(m_dir / "report.doc", m_pieces, 1'200'000)) == sharingViolation;
      ::_exit(refused ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the split was not refused";
#endif
  };
  ASSERT_TRUE(Done(Join(joiner, Piece(1), out.path())));
  EXPECT_EQ(ReadFile(out / "report.doc"), m_bytes);
}

// Another program writing a piece may take no lock that the join would meet: the system tells.
TEST_F(SetProof, APieceAnotherProgramHasOpenForWritingIsRefusedNamingIt) {
  fs::remove(m_pieces / "report.doc.sha256");
#ifdef _WIN32
  const test::LockHolder other(Piece(4), test::Hold::shared);
#else
  {
    const test::LockHolder reader(Piece(4), test::Hold::openOnly);
    EXPECT_TRUE(Joins()) << "a program that only reads it";
  }
  const test::LockHolder other(Piece(4), test::Hold::writing);
#endif
  EXPECT_EQ(RefusedJoin(), ("在存取 " + Piece(4) + " 时发生共享违例。"));
}

#ifndef _WIN32
// Once the set is held, a program that opens a piece for writing waits, or fails when it will not
// wait; the join then knows the piece for one that may have changed.
TEST_F(SetProof, APieceOpenedForWritingWhileTheSetIsJoinedIsRefused) {
  TempDir out;
  PieceWatch joiner;
  joiner.m_onPiece = [&](std::uint64_t pieceNumber) {
    if (pieceNumber == 1) {
      EXPECT_EQ(::open(Piece(3).c_str(), O_WRONLY | O_NONBLOCK), -1);
    }
  };
  EXPECT_EQ(Said(Join(joiner, Piece(1), out.path())),
            Piece(3) + " changed while the set was being joined (another program or split wrote "
                       "it): the set cannot be joined.");
  EXPECT_THAT(NamesIn(out.path()), ElementsAre());
}
#endif

TEST_F(SetProof, ASplitWhoseLastNameCannotExistWritesNothing) {
  // 1_ to 9_ of a 253-byte name make names of 255 bytes, the longest there are.
  const std::string name(253, 'n');
  WriteFile(m_dir / name, std::string(10 * 800'000 + 5, 'x'));
  TempDir out;
  EXPECT_EQ(Said(Split(m_dir / name, out.path(), 800'000)),
            out / ("11_" + name) + " 中包含无效的路径。");
  EXPECT_THAT(NamesIn(out.path()), ElementsAre());

  // The list's name is the longest of a set of nine.
  const std::string longest(248, 'l');
  WriteFile(m_dir / longest, std::string(8 * 800'000 + 5, 'y'));
  WriteFile(m_dir / (longest + "x"), std::string(8 * 800'000 + 5, 'y'));
  EXPECT_EQ(Said(Split(m_dir / (longest + "x"), out.path(), 800'000)),
            out / (longest + "x.sha256") + " 中包含无效的路径。");
  ASSERT_TRUE(Done(Split(m_dir / longest, out.path(), 800'000)));
  TempDir joined;
  PieceWatch joiner;
  ASSERT_TRUE(Done(Join(joiner, out / ("1_" + longest), joined.path())));
  EXPECT_EQ(joiner.m_pieces.back(), 9u);
}

#ifndef _WIN32
// The join finds and opens its pieces relative to their folder, as the split writes them: a piece
// whose full path is longer than the system takes is still there.
TEST_F(SetProof, PiecesBeyondThePathLimitJoin) {
  std::string deep = test::Utf8Of(m_dir.path());
  while (deep.size() < 3800)
    deep += "/" + std::string(200, 'd');
  fs::create_directories(deep);
  // The first piece's path is the longest there is; the tenth's is one longer.
  const std::string name(4092 - deep.size(), 'f');
  const std::string bytes = test::RandomBytes(95, 43);
  WriteFile(m_dir / name, bytes);
  ASSERT_TRUE(Done(Split(m_dir / name, deep, 10)));
  TempDir out;
  ASSERT_TRUE(Done(Join(deep + "/1_" + name, out.path())));
  EXPECT_EQ(ReadFile(out / name), bytes);
}
// Every piece is held at once: the open-file limit is raised as far as the system lets it be, and
// a set beyond that is refused, saying so.
TEST_F(SetProof, ASetOfMorePiecesThanTheOpenFileLimitIsRefusedSayingSo) {
  const PieceSet many("many.bin");
  std::string bytes;
  for (int pieceNumber = 1; pieceNumber <= 300; ++pieceNumber) {
    const std::string piece = test::RandomBytes(pieceNumber < 300 ? 10 : 5, pieceNumber);
    WriteFile(m_pieces / many.PieceName(pieceNumber), piece);
    bytes += piece;
  }
  const std::string first = test::Utf8Of(m_pieces / many.PieceName(1));
  const auto joinWithin = [&](rlim_t soft, rlim_t hard) {
    const pid_t child = ::fork();
    if (child == 0) {
      const rlimit limit{soft, hard};
      ::setrlimit(RLIMIT_NOFILE, &limit);
      const Outcome joined = Join(first, m_dir.path());
      const bool saysSo =
          joined.kind == Outcome::Kind::refused &&
          Said(joined).starts_with(
              "The set of " + first +
              " has 300 pieces, but the limit of open files lets the program hold only ");
      ::_exit(joined.kind == Outcome::Kind::done ? 0 : saysSo ? 2 : 3);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(joinWithin(100, 100), 2);
  EXPECT_FALSE(fs::exists(m_dir / "many.bin"));
  EXPECT_EQ(joinWithin(100, 1000), 0);
  EXPECT_EQ(ReadFile(m_dir / "many.bin"), bytes);
}

// sha256sum may have listed the pieces in any order and form, and the program's # line may be
// gone: the list still proves the set.
TEST_F(SetProof, EveryListSha256sumWritesForTheSetJoins) {
  for (const std::string list :
       {"sha256sum 4_report.doc 2_report.doc 3_report.doc 1_report.doc",
        "sha256sum -b --tag *_report.doc | sed 's/$/\\r/'",
        "printf '\\357\\273\\277' && sha256sum -b ./*_report.doc | sed -E 's/^[0-9a-f]+/\\U&/'"}) {
    const std::string command = "cd " + test::Utf8Of(m_pieces) + " && (" + list + ") >list && " +
                                "mv list report.doc.sha256";
    ASSERT_EQ(std::system(command.c_str()), 0) << list;
    bool sameBytes = false;
    EXPECT_TRUE(Joins(&sameBytes)) << list;
    EXPECT_TRUE(sameBytes) << list;
  }
}
#endif

TEST(ChecksumListOnDisk, IsTheSameOnBothBuildsAndSha256sumChecksIt) {
  TempDir dir;
  std::string bytes(3'000'000, '\0');
  for (std::size_t index = 0; index < bytes.size(); ++index)
    bytes[index] = static_cast<char>(index % 251);
  WriteFile(dir / "报告.doc", bytes);
  fs::create_directory(dir.path() / "p");
  PieceWatch watch;
  ASSERT_TRUE(Done(RunSplit({dir / "报告.doc", dir / "p", kDefaultPieceSize}, watch)));
  EXPECT_EQ(ReadFile(dir / "p/报告.doc.sha256"),
            "# 报告.doc: 3000000 bytes\n"
            "280142c3588830b5987d1cb74fe759d5755998e7047bb27fb0df6a0484422b10  1_报告.doc\n"
            "a6bb41ad7f8b62bec57e385ee2156198cd693d1e998fa37e5f94fa4582a158e9  2_报告.doc\n"
            "1efe0fe02100ab1e24e4ce55eb8704736f1a7e0b4ccc01f353b35bfc12ba6fd7  3_报告.doc\n");
#ifndef _WIN32
  const std::string check = "cd " + dir / "p" + " && sha256sum --strict --quiet -c 报告.doc.sha256";
  EXPECT_EQ(std::system(check.c_str()), 0);

  // A name sha256sum escapes: it writes the same lines, and checks the list.
  const std::string odd = "a\\b\nc\rd";
  WriteFile(dir / odd, bytes);
  fs::create_directory(dir.path() / "q");
  ASSERT_TRUE(Done(RunSplit({dir / odd, dir / "q", kDefaultPieceSize}, watch)));
  const std::string inQ = "cd " + dir / "q" + " && ";
  ASSERT_EQ(std::system((inQ + "sha256sum [0-9]_* >../q.sha256").c_str()), 0);
  const std::string list = ReadFile(dir / ("q/" + odd + ".sha256"));
  EXPECT_EQ(list.substr(list.find('\n') + 1), ReadFile(dir / "q.sha256"));
  EXPECT_EQ(std::system((inQ + "sha256sum --strict --quiet -c *.sha256").c_str()), 0);
#endif
}

} // namespace
} // namespace quorvel
