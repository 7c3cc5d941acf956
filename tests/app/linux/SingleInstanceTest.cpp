#include "framework/RunningCopy.h"
#include "framework/WinApp.h"
#include "framework/linux/LinuxMutex.h"
#include "tests/app/AppTestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 30s;

// The real program under a name of this test's own, so that its lock is apart from the locks
// of the user's copies and of other tests.
class Program {
public:
  Program() {
    static int made = 0;
    m_name = "quorvel-splitter-test-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
    std::filesystem::copy_file(QUORVEL_SPLITTER_EXE, path());
    std::filesystem::permissions(path(), std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
  }
  ~Program() {
    std::error_code ignored;
    std::filesystem::remove(LockFile(), ignored);
    std::filesystem::remove(fw::UserLockFolder() / fw::AnswerSocketName(m_name), ignored);
  }
  std::string path() const { return m_folder / m_name; }
  std::string LockFile() const { return fw::UserLockFolder() / fw::LockFileName(m_name); }

private:
  TempFolder m_folder;
  std::string m_name;
};

// A copy of the program started with no display, through env(1) with `environment`'s arguments
// to change the test's environment for it.
class Copy {
public:
  explicit Copy(const Program &program, std::vector<std::string> environment = {}) {
    environment.insert(environment.begin(), "env");
    environment.push_back("QT_QPA_PLATFORM=offscreen");
    environment.push_back(program.path());
    std::vector<char *> argv;
    for (std::string &argument : environment)
      argv.push_back(argument.data());
    argv.push_back(nullptr);
    m_started = ::posix_spawnp(&m_pid, "env", nullptr, nullptr, argv.data(), environ) == 0;
  }
  ~Copy() {
    if (!m_exited && m_started)
      Crash();
  }

  // The exit status once the copy has ended by itself within the patience, or -1.
  int WaitForExit() {
    for (auto waited = 0ms; waited < kPatience; waited += 20ms) {
      int status = 0;
      if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
        m_exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      }
      std::this_thread::sleep_for(20ms);
    }
    return -1;
  }
  bool IsRunning() {
    int status = 0;
    return !m_exited && ::waitpid(m_pid, &status, WNOHANG) == 0;
  }
  void Crash() {
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_exited = true;
  }

private:
  pid_t m_pid = -1;
  bool m_started = false;
  bool m_exited = false;
};

bool IsHeld(const std::string &lockFile) {
  const int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return false;
  const bool held = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return held;
}

bool BecomesHeld(const std::string &lockFile) {
  for (auto waited = 0ms; waited < kPatience; waited += 20ms) {
    if (IsHeld(lockFile))
      return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

TEST(SingleInstanceTest, ASecondCopyEndsSilentlyWhateverItsEnvironmentAndAnotherNameRuns) {
  TempFolder runtime;
  Program program;
  Copy first(program, {"XDG_RUNTIME_DIR=" + runtime.path().string()});
  ASSERT_TRUE(BecomesHeld(program.LockFile()));

  Copy second(program, {"-u", "XDG_RUNTIME_DIR", "HOME=/nonexistent"});
  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_TRUE(first.IsRunning());

  Program other;
  Copy third(other);
  EXPECT_TRUE(BecomesHeld(other.LockFile()));
  EXPECT_TRUE(third.IsRunning());
}

TEST(SingleInstanceTest, TheLockIsFreedWhenTheCopyHoldingItCrashes) {
  Program program;
  {
    Copy crashing(program);
    ASSERT_TRUE(BecomesHeld(program.LockFile()));
    crashing.Crash();
  }
  EXPECT_FALSE(IsHeld(program.LockFile()));
  Copy next(program);
  EXPECT_TRUE(BecomesHeld(program.LockFile()));
}

// The application's own dialog, which a later start of the program asks to come back.
TEST(RunningCopyTest, ALaterStartBringsTheWindowBackRestored) {
  SplitterDialog &dialog = ApplicationDialog();
  dialog.SendMessage(WM_SYSCOMMAND, SC_MINIMIZE);
  ASSERT_TRUE(dialog.IsIconic());
  EXPECT_TRUE(fw::BringRunningCopyToFront(fw::AfxGetApp()->m_pszAppName));
  for (int turn = 0; turn < 500 && dialog.IsIconic(); ++turn) {
    HandlePostedMessages();
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(dialog.IsIconic());
  EXPECT_TRUE(IsShown(dialog.m_hWnd));
  EXPECT_FALSE(fw::BringRunningCopyToFront("quorvel-splitter-elsewhere")) << "no such copy runs";
}

TEST(LockFolderTest, OnlyAFolderOfTheUsersOwnThatNoOneElseMayWriteToHoldsLocks) {
  TempFolder folder;
  EXPECT_TRUE(fw::IsPrivateFolder(folder.path(), ::geteuid()));
  EXPECT_FALSE(fw::IsPrivateFolder(folder.path(), ::geteuid() + 1)) << "another user's";
  const std::filesystem::path link = folder.path() / "link";
  std::filesystem::create_directory_symlink(folder.path(), link);
  EXPECT_FALSE(fw::IsPrivateFolder(link, ::geteuid()));
  ::chmod(folder.path().c_str(), 0770);
  EXPECT_FALSE(fw::IsPrivateFolder(folder.path(), ::geteuid())) << "writable by its group";
}

} // namespace
} // namespace quorvel::test
