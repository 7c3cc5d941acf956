#include "tests/app/AppTestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace quorvel::test {
namespace {

using namespace std::chrono_literals;
constexpr auto kPatience = 30s;

// The real program, started with the lock folder of the test and no display.
class Copy {
public:
  Copy(const std::string &executable, const std::string &runtimeFolder) {
    std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen",
                                         "XDG_RUNTIME_DIR=" + runtimeFolder};
    for (char **entry = environ; *entry; ++entry) {
      const std::string_view variable(*entry);
      if (!variable.starts_with("QT_QPA_PLATFORM=") && !variable.starts_with("XDG_RUNTIME_DIR="))
        environment.emplace_back(variable);
    }
    std::vector<char *> envp;
    for (std::string &variable : environment)
      envp.push_back(variable.data());
    envp.push_back(nullptr);
    std::string program = executable;
    char *argv[] = {program.data(), nullptr};
    m_started = ::posix_spawn(&m_pid, executable.c_str(), nullptr, nullptr, argv, envp.data()) == 0;
  }
  ~Copy() {
    if (!m_exited && m_started) {
      ::kill(m_pid, SIGKILL);
      ::waitpid(m_pid, nullptr, 0);
    }
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

TEST(SingleInstanceTest, ASecondCopyUnderTheSameNameEndsSilentlyAndAnotherNameRuns) {
  TempFolder runtime;
  Copy first(QUORVEL_SPLITTER_EXE, runtime.path().string());
  ASSERT_TRUE(BecomesHeld(runtime / "quorvel-splitter"));

  Copy second(QUORVEL_SPLITTER_EXE, runtime.path().string());
  EXPECT_EQ(second.WaitForExit(), 0);
  EXPECT_TRUE(first.IsRunning());

  TempFolder programs;
  const std::string renamed = programs / "quorvel-splitter-copy";
  std::filesystem::copy_file(QUORVEL_SPLITTER_EXE, renamed);
  std::filesystem::permissions(renamed, std::filesystem::perms::owner_exec,
                               std::filesystem::perm_options::add);
  Copy other(renamed, runtime.path().string());
  EXPECT_TRUE(BecomesHeld(runtime / "quorvel-splitter-copy"));
  EXPECT_TRUE(other.IsRunning());
}

TEST(SingleInstanceTest, TheLockIsFreedWhenTheCopyHoldingItCrashes) {
  TempFolder runtime;
  {
    Copy crashing(QUORVEL_SPLITTER_EXE, runtime.path().string());
    ASSERT_TRUE(BecomesHeld(runtime / "quorvel-splitter"));
    crashing.Crash();
  }
  EXPECT_FALSE(IsHeld(runtime / "quorvel-splitter"));
  Copy next(QUORVEL_SPLITTER_EXE, runtime.path().string());
  EXPECT_TRUE(BecomesHeld(runtime / "quorvel-splitter"));
}

} // namespace
} // namespace quorvel::test
