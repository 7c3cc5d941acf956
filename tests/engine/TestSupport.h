#pragma once

#include "engine/Outcome.h"
#include "engine/Progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::test {

namespace fs = std::filesystem;

// Paths are UTF-8 in the engine; a narrow std::filesystem path is in the ANSI code page on Windows.
fs::path PathOf(std::string_view utf8);
std::string Utf8Of(const fs::path &path);

// A path as the engine takes it, from UTF-8 text or a std::filesystem path.
class PathText {
public:
  PathText(std::string text) : m_text(std::move(text)) {}
  PathText(const char *text) : m_text(text) {}
  PathText(const fs::path &path) : m_text(Utf8Of(path)) {}
  operator const std::string &() const { return m_text; }
  const std::string &str() const { return m_text; }

private:
  std::string m_text;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
  explicit TempDir(const fs::path &parent = fs::temp_directory_path());
  ~TempDir();
  const fs::path &path() const { return m_path; }
  // The UTF-8 path of `name` (which may hold "/") in the folder, with the platform's separators.
  std::string operator/(std::string_view name) const;

private:
  fs::path m_path;
};

std::string RandomBytes(std::size_t count, unsigned seed);
void WriteFile(const PathText &path, std::string_view bytes);
std::string ReadFile(const PathText &path);
// The names in a folder, sorted: what a run left behind.
std::vector<std::string> NamesIn(const fs::path &folder);
// Each name in a folder with its file's bytes ("<folder>" for a folder): what a run must leave as
// it found it.
std::map<std::string, std::string> ContentsOf(const fs::path &folder);

#ifdef _WIN32
// A Windows process started from a command line (UTF-8) whose standard input and output are pipes
// to this one, on a console of its own if asked. Destroying it closes its input and waits for it.
class ChildProcess {
public:
  explicit ChildProcess(const std::string &commandLine, bool ownConsole = false);
  ChildProcess(const ChildProcess &) = delete;
  ChildProcess &operator=(const ChildProcess &) = delete;
  ~ChildProcess();

  // The next byte of its output; '\0' at its end.
  char ReadByte();
  // Ends it at once, as the task manager would, and waits for it.
  void Kill(unsigned status);
  // Closes its input, waits for it to end and returns its exit status.
  int Wait();

private:
  void *m_process = nullptr;
  void *m_input = nullptr;
  void *m_output = nullptr;
};

// The program of that name beside the test program.
std::string ProgramBeside(std::string_view name);
// Runs a command line (UTF-8) in the folder (the current one when empty), with stdin from NUL and
// stdout and stderr into the given files, stdout closed when its path is empty; returns its exit
// status.
int RunProcess(const std::string &commandLine, const std::string &outPath,
               const std::string &errPath, const std::string &folder = "");
// Runs a command line and, once `startedPath` exists, sends it a console control event
// (CTRL_C_EVENT or CTRL_BREAK_EVENT) as Windows does: on a thread of its own at kernelbase's
// CtrlRoutine. Wine's consoles send no Ctrl+Break at all. Returns its exit status.
int RunAndSendConsoleEvent(const std::string &commandLine, const std::string &startedPath,
                           unsigned event);
#endif

enum class Hold {
  // A reader that lets others read and write: flock's shared lock, or share mode read and write.
  shared,
  // No other opener at all: flock's exclusive lock, or share mode 0.
  exclusive,
#ifndef _WIN32
  // Open for reading with no lock at all, as most programs keep a file.
  openOnly,
  // A POSIX read lock over the whole file, as office programs take.
  posixLock,
  // Open for writing with no lock at all, as a program still writing the file keeps it.
  writing,
#endif
};

// A separate process that holds a file open until destroyed, as another program would. On
// Windows it is a Windows process, as share modes conflict only among those under Wine.
class LockHolder {
public:
  LockHolder(const PathText &path, Hold hold);
  ~LockHolder();

private:
#ifdef _WIN32
  std::unique_ptr<ChildProcess> m_holder;
#else
  pid_t m_child = -1;
  int m_release = -1;
#endif
};

// Keeps the pieces a run reports, and acts at each where a test acts while a run goes on.
class PieceWatch final : public Progress {
public:
  Flow PieceDone(std::uint64_t pieceNumber, std::uint64_t pieceCount) override;

  std::function<void(std::uint64_t pieceNumber)> m_onPiece;
  std::vector<std::uint64_t> m_pieces;
  std::uint64_t m_pieceCount = 0;
};

// What the user reads of how a run stopped: why it was refused or the cause of its failure;
// empty when it was done or cancelled.
std::string Said(const Outcome &outcome);
// Done, or what the run said instead.
::testing::AssertionResult Done(const Outcome &outcome);

} // namespace quorvel::test
